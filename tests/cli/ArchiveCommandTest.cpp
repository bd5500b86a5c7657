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
    // A folder too long for the names of a dX run (184 characters at most without backup).
    std::string deep = TempPath("d");
    deep += std::string(185 - deep.size(), 'x');
    std::filesystem::create_directories(deep);
    r = Cli(card + "archive complete --card E --to " + deep);
    EXPECT_EQ(r.status, 10);
    EXPECT_NE(r.out.find("Archive path too long. Please shorten the path."), std::string::npos);
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
    EXPECT_EQ(Cli(data + "validate " + Join(TempPath("zt4"), "Archive.log")).status, 0);

    // A log of another card: message 275 when the card is chosen, 277 when it is set aside.
    std::filesystem::remove(Join(TempPath("zt4"), "Archive.log"));
    {
        std::FILE* f = std::fopen((Join(TempPath("zt4"), "Archive.log")).c_str(), "wb");
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
    EXPECT_EQ(Cli(data + "validate " + Join(TempPath("zt4"), "Archive.log")).status, 0);
}

TEST_F(CliTest, ContinueAndDateBasedArchivesFromTheCommandLine) {
    const std::string data = "--data-dir " + DataFolder() + " ";
    const std::string image = TempPath("dx");
    ASSERT_EQ(Cli(data + "make-card --family dx --out " + image + " --days 3 --receipts-per-day 5").status, 0);
    const std::string card = data + "--card-image E=" + image + " ";
    const std::string first = TempPath("first");
    const std::string second = TempPath("second");
    const std::string dated = TempPath("dated");
    for (const auto& f : {first, second, dated}) std::filesystem::create_directories(f);

    CliRun r = Cli(card + "profile --card E");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("No previous archive of this card"), std::string::npos);
    // Without an archive there is nothing to continue from.
    EXPECT_EQ(Cli(card + "archive continue --card E --to " + second).status, 11);

    ASSERT_EQ(Cli(card + "archive complete --card E --to " + first).status, 0);
    r = Cli(card + "profile --card E");
    EXPECT_NE(r.out.find("[Previous archive info: 2015-12-20 to 2015-12-22]"), std::string::npos) << r.out;
    r = Cli(data + "profile");
    EXPECT_NE(r.out.find("[Previous archive info: 2015-12-20 to 2015-12-22]\tLastArchivedBlockNum="), std::string::npos);

    r = Cli(card + "archive continue --card E --to " + second);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("No new data found."), std::string::npos);

    r = Cli(data + "make-card --extend " + image + " --days 2");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Last date: 2015-12-24"), std::string::npos);
    r = Cli(card + "archive continue --card E --to " + second);
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("_20151223"), std::string::npos);
    EXPECT_EQ(Cli(card + "verify " + second + " --card E").status, 0);

    // A date range: the card's dates first, the questions with the wizard's texts.
    r = Cli(card + "--no archive date --card E --from 2015-12-21 --until 2015-12-31 --to " + dated);
    EXPECT_EQ(r.status, 11);
    EXPECT_NE(r.out.find("Card dates: 2015-12-20 to 2015-12-24"), std::string::npos);
    EXPECT_NE(r.err.find("question: Closure not available for the selected end date (2015-12-31). Do you want to "
                         "continue archiving upto 2015-12-24? no"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(std::filesystem::is_empty(dated));
    r = Cli(card + "archive date --card E --from 2015-12-21 --until 2015-12-22 --to " + dated);
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(Cli(card + "verify " + dated + " --card E").status, 0);

    EXPECT_EQ(Cli(card + "archive date --card E --from 2015-12-22 --until 2015-12-21 --to " + dated).status, 64);
    EXPECT_EQ(Cli(card + "archive date --card E --from 2015-12-22").status, 64);
    EXPECT_EQ(Cli(card + "archive date --card E --from 22/12/2015 --until 2015-12-23").status, 64);
    EXPECT_EQ(Cli(data + "make-card --extend " + image).status, 64);
    EXPECT_EQ(Cli(data + "make-card --extend " + TempPath("none") + " --days 1").status, 1);
}

TEST_F(CliTest, CardsShapedAsScalesInTheFieldArchiveAndVerifyFromTheCommandLine) {
    const std::string data = "--data-dir " + DataFolder() + " ";
    const std::string image = TempPath("shaped");
    CliRun r = Cli(data + "make-card --family dx --out " + image +
                   " --days 3 --origin-incident C --closure-sectors 2 --incident-after-closures");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string card = data + "--card-image E=" + image + " ";
    const std::string first = TempPath("first");
    const std::string second = TempPath("second");
    const std::string dated = TempPath("dated");
    for (const auto& f : {first, second, dated}) std::filesystem::create_directories(f);

    r = Cli(card + "archive complete --card E --to " + first);
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("_20151222"), std::string::npos) << r.out;
    EXPECT_EQ(Cli(card + "verify " + first + " --card E").status, 0);

    ASSERT_EQ(Cli(data + "make-card --extend " + image + " --days 2").status, 0);
    r = Cli(card + "archive continue --card E --to " + second);
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(Cli(card + "verify " + second + " --card E").status, 0);
    EXPECT_EQ(Cli(data + "verify " + second).status, 0);

    r = Cli(card + "archive date --card E --from 2015-12-21 --until 2015-12-23 --to " + dated);
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("Card dates: 2015-12-20 to 2015-12-24"), std::string::npos) << r.out;
    EXPECT_EQ(Cli(card + "verify " + dated + " --card E").status, 0);
}

}  // namespace tv::test
