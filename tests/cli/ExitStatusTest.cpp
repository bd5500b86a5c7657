// The exit statuses of verify and validate: 0 every file verified, 1 a file
// shown to be changed, 2 a file that could not be checked or none at all, 64 a
// command line that does not make sense.
#include <gtest/gtest.h>

#include "cli/AuditCliFixture.h"
#include "zt4/ArchiveSignatureWriter.h"

namespace tv::test {

TEST_F(AuditCliTest, VerifyTellsVerifiedChangedAndUncheckedApart) {
    EXPECT_EQ(Cli(Data() + "verify " + good_).status, 0);
    EXPECT_EQ(Cli(Data() + Card() + "verify " + good_ + " --card K").status, 0);
    EXPECT_EQ(Cli(Data() + "verify " + folder_).status, 0);

    const std::string bad = WriteChanged(TempPath("bad.csv"));
    EXPECT_EQ(Cli(Data() + "verify " + bad).status, 1);
    EXPECT_EQ(Cli(Data() + "verify " + TempPath("missing.csv")).status, 2);
    WriteFile(TempPath("text.csv"), "not;an;archive\n");
    EXPECT_EQ(Cli(Data() + "verify " + TempPath("text.csv")).status, 2);

    // A changed file outweighs one that could not be checked.
    WriteChanged(Join(folder_, "bad.csv"));
    WriteFile(Join(folder_, "text.csv"), "not;an;archive\n");
    EXPECT_EQ(Cli(Data() + "verify " + folder_).status, 1);

    const std::string empty = TempPath("empty");
    std::filesystem::create_directories(empty);
    const CliRun r = Cli(Data() + "verify " + empty);
    EXPECT_EQ(r.status, 2) << r.out;
}

TEST_F(AuditCliTest, UsageErrorsOfTheNewOptions) {
    const std::string key = summary_.publicKey;
    CliRun r = Cli(Data() + Card() + "verify " + good_ + " --card K --scale-key " + key);
    EXPECT_EQ(r.status, 64);
    EXPECT_NE(r.err.find("--scale-key"), std::string::npos) << r.err;
    r = Cli(Data() + "verify " + good_ + " --scale-key 04ABC");
    EXPECT_EQ(r.status, 64);
    EXPECT_NE(r.err.find("--scale-key: "), std::string::npos) << r.err;
    WriteFile(TempPath("key.txt"), "not a key\n");
    EXPECT_EQ(Cli(Data() + "verify " + good_ + " --scale-key " + TempPath("key.txt")).status, 64);
    EXPECT_EQ(Cli(Data() + "verify " + good_ + " --scale-key").status, 64);
    EXPECT_EQ(Cli(Data() + "verify " + good_ + " --scale-key " + key + " --scale-key " + key).status, 64);
    EXPECT_EQ(Cli(Data() + "verify " + good_ + " --report").status, 64);
    EXPECT_EQ(Cli(Data() + "verify " + good_ + " --report out.txt").status, 64);
    EXPECT_EQ(Cli(Data() + "verify " + good_ + " --all").status, 64);
    EXPECT_EQ(Cli(Data() + "validate " + good_).status, 64);
    EXPECT_EQ(Cli(Data() + "validate " + folder_ + " --archive-log " + good_).status, 64);
    EXPECT_EQ(Cli(Data() + "settings --json").status, 64);
    EXPECT_FALSE(FileExists("out.txt"));
}

// The key of the card pins its archives; another scale's key refuses them.
TEST_F(AuditCliTest, PinnedScaleKeyDecides) {
    CliRun r = Cli(Data() + "verify " + good_ + " --scale-key " + summary_.publicKey);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    WriteFile(TempPath("key.txt"), "  " + summary_.publicKey + "\r\n");
    EXPECT_EQ(Cli(Data() + "verify " + good_ + " --scale-key " + TempPath("key.txt")).status, 0);

    CardOptions other;
    other.seed = 2;
    other.days = 1;
    CardSummary otherSummary;
    std::string error;
    ASSERT_TRUE(GenerateCard(other, TempPath("other"), otherSummary, error)) << error;
    ASSERT_NE(otherSummary.publicKey, summary_.publicKey);
    r = Cli(Data() + "verify " + good_ + " --scale-key " + otherSummary.publicKey);
    EXPECT_EQ(r.status, 1) << r.out;
}

TEST_F(CliTest, ValidateTellsValidChangedAndUncheckedApart) {
    GetAppContext();
    const std::string folder = TempPath("zt4");
    std::filesystem::create_directories(folder);
    const std::string archive = Join(folder, "20150102080000_20150102200000.xml");
    std::string body = "<?xml version=\"1.0\"?>\n<ZT4>";
    for (int i = 0; i < 5; ++i) body += "<fit><cte>2015-01-02 08:00:00</cte><ftk>" + std::to_string(i) + "</ftk></fit>";
    WriteFile(archive, body + "</ZT4>");
    ASSERT_TRUE(SignArchiveFile(archive));
    const std::string data = "--data-dir " + DataFolder() + " ";

    EXPECT_EQ(Cli(data + "validate " + archive).status, 0);
    CliRun r = Cli(data + "validate " + folder);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("\t20150102080000_20150102200000.xml\tSuccess"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\ncontinuity\tresult\t"), std::string::npos) << r.out;

    std::string text = ReadFile(archive);
    text[40] = 'X';
    WriteFile(Join(folder, "20150103080000_20150103200000.xml"), text);
    EXPECT_EQ(Cli(data + "validate " + Join(folder, "20150103080000_20150103200000.xml")).status, 1);
    EXPECT_EQ(Cli(data + "validate " + folder).status, 1);

    EXPECT_EQ(Cli(data + "validate " + TempPath("none.xml")).status, 2);
    const std::string empty = TempPath("empty");
    std::filesystem::create_directories(empty);
    EXPECT_EQ(Cli(data + "validate " + empty).status, 2);
    // A log that is not there: the archive verified, the log could not be checked.
    EXPECT_EQ(Cli(data + "validate " + archive + " --archive-log " + TempPath("Archive.log")).status, 2);
}

}  // namespace tv::test
