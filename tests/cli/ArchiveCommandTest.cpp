// tallyvault-cli archive complete on generated cards, with its exit statuses.
#include <gtest/gtest.h>

#include <cstdio>
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

TEST_F(CliTest, ZT4CardsArchiveWithTheirLogAndItsWarnings) {
    const std::string data = "--data-dir " + DataFolder() + " ";
    ASSERT_EQ(Cli(data + "make-card --family zt4 --out " + TempPath("zt4") + " --days 3 --start 2016-02-08").status, 0);
    const std::string archives = TempPath("archives");
    std::filesystem::create_directories(archives);
    const std::string card = data + "--card-image F=" + TempPath("zt4") + " ";

    CliRun r = Cli(card + "identify --card F --purpose archive");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("ZT4 Archive.log none"), std::string::npos) << r.out;
    r = Cli(card + "archive complete --card F --to " + archives);
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find(".xml\tSuccess\t"), std::string::npos) << r.out;
    r = Cli(card + "identify --card F --purpose archive");
    EXPECT_NE(r.out.find("ZT4 Archive.log found"), std::string::npos) << r.out;
    EXPECT_EQ(Cli(data + "validate " + TempPath("zt4") + "/Archive.log").status, 0);

    // A log of another card: message 275 when the card is chosen, 277 when it is set aside.
    std::filesystem::remove(TempPath("zt4") + "/Archive.log");
    {
        std::FILE* f = std::fopen((TempPath("zt4") + "/Archive.log").c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("[00112233445566778899AABBCCDDEEFF]\r\n", f);
        std::fclose(f);
    }
    r = Cli(card + "identify --card F --purpose archive");
    EXPECT_NE(r.out.find("ZT4 Archive.log incorrect"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("Incorrect Archive.log in SMC open area."), std::string::npos) << r.err;
    r = Cli(card + "--yes archive complete --card F --to " + archives);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.err.find("It will be renamed to"), std::string::npos) << r.err;
    EXPECT_EQ(Cli(data + "validate " + TempPath("zt4") + "/Archive.log").status, 0);
}

}  // namespace tv::test
