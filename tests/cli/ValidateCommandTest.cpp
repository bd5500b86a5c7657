// tallyvault-cli validate on signed and tampered ZT4 files.
#include <gtest/gtest.h>

#include "app/AppContext.h"
#include "cli/CliRunner.h"
#include "zt4/ArchiveSignatureWriter.h"
#include "zt4/LogSignatureWriter.h"

namespace tv::test {

TEST_F(CliTest, ValidateTellsSignedFromTamperedFiles) {
    GetAppContext();
    const std::string archive = TempPath("20150102080000_20150102200000.xml");
    std::string body = "<?xml version=\"1.0\"?>\n<ZT4>";
    for (int i = 0; i < 10; ++i) body += "<fit><cte>2015-01-02 08:00:00</cte><ftk>" + std::to_string(i) + "</ftk></fit>";
    WriteFile(archive, body + "</ZT4>");
    ASSERT_TRUE(SignArchiveFile(archive));
    const std::string log = TempPath("Archive.log");
    WriteFile(log, "[04A1B2C3D4E5F60718293A4B5C6D7E8F]\r\n\r\nScale serial num             : K7Q29\r\n" +
                       std::string(300, 'x') + "\r\n");
    ASSERT_TRUE(SignLogFile(log));
    const std::string data = "--data-dir " + DataFolder() + " ";

    CliRun r = Cli(data + "validate " + archive);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1\t20150102080000_20150102200000.xml\tSuccess\t\nArchive validated successfully.\n");
    r = Cli(data + "validate " + log);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1\tArchive.log\tSuccess\t\nLog file validated successfully.\n");

    std::string text = ReadFile(archive);
    text[40] = 'X';
    WriteFile(archive, text);
    r = Cli(data + "validate " + archive);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "1\t20150102080000_20150102200000.xml\tFailure\tIncorrect data found.\n"
                     "Archive validation failed.\n");
    EXPECT_NE(ReadFile(Join(DataFolder(), "Tallyvault.log")).find("Validation operation started"), std::string::npos);

    r = Cli(data + "validate " + TempPath("none.log"));
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "1\tnone.log\tFailure\tFile not found.\nLog file validation failed.\n");
    EXPECT_EQ(Cli(data + "validate " + TempPath("a.csv")).status, 64);
    EXPECT_EQ(Cli(data + "validate").status, 64);
}

}  // namespace tv::test
