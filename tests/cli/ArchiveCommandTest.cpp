// tallyvault-cli archive complete on generated cards, with its exit statuses.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRunner.h"

namespace tv::test {

TEST_F(CliTest, CompleteArchiveFromTheCommandLine) {
    const std::string data = "--data-dir " + DataFolder() + " ";
    ASSERT_EQ(Cli(data + "make-card --family dx --out " + TempPath("dx") + " --days 3").status, 0);
    ASSERT_EQ(Cli(data + "make-card --family dx --out " + TempPath("tail") + " --days 3 --unclosed-tail --seed 9").status, 0);
    const std::string archives = TempPath("archives");
    std::filesystem::create_directories(archives);
    const std::string card = data + "--card-image E=" + TempPath("dx") + " ";

    CliRun r = Cli(card + "archive complete --card E --to " + archives);
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("\tSuccess\t"), std::string::npos);
    EXPECT_NE(r.out.find("Archive(s) created successfully.\n"), std::string::npos);
    r = Cli(card + "verify " + archives + " --card E");
    EXPECT_EQ(r.status, 0) << r.out;

    r = Cli(card + "--no archive complete --card E --to " + archives);
    EXPECT_EQ(r.status, 7);
    EXPECT_NE(r.out.find("File already exists."), std::string::npos);
    EXPECT_EQ(Cli(card + "--yes archive complete --card E --to " + archives).status, 0);

    const std::string tail = data + "--card-image E=" + TempPath("tail") + " ";
    r = Cli(tail + "--no archive complete --card E --to " + archives);
    EXPECT_EQ(r.status, 4);
    EXPECT_NE(r.out.find("Closure not found! Do closure before archiving."), std::string::npos);
    EXPECT_EQ(Cli(tail + "--yes archive complete --card E --to " + archives).status, 0);

    EXPECT_EQ(Cli(card + "archive complete --card Q --to " + archives).status, 9);
    EXPECT_EQ(Cli(card + "archive complete --card E --to " + TempPath("none")).status, 8);
    EXPECT_EQ(Cli(card + "archive complete").status, 64);
    EXPECT_EQ(Cli(card + "archive partial --card E").status, 64);
}

}  // namespace tv::test
