// tallyvault-cli settings, run as a user would run it.
#include <gtest/gtest.h>

#include "cli/CliRunner.h"

namespace tv::test {

TEST_F(CliTest, SettingsPrintsTheEffectiveSettings) {
    const CliRun r = Cli("--data-dir " + DataFolder() + " settings");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string folder = AsFolder(DataFolder());
    EXPECT_EQ(r.out, "archivePath = " + folder + "\nprofilePath = " + folder + "\nlogPath = " + folder +
                         "\nlanguage = English\nmaxArchiveSize = 26214400\nuseDefaultArchivePath = 0\n"
                         "backupSmcOnArchive = 0\nyearEnd = 1231\nyearEndDay = 31\nyearEndMonth = 12\n"
                         "configuredScaleType = 0\n");
    EXPECT_TRUE(FileExists(ConfigPath()));
}

TEST_F(CliTest, DamagedConfigurationWarnsOnStderrAndStillPrints) {
    WriteConfig(ValidConfig({"MaxSizeOfArchiveFileInMB=4096", "ScaleType=dX"}));
    const CliRun r = Cli("--data-dir " + DataFolder() + " settings");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("warning: Incorrect information in config file."), std::string::npos);
    EXPECT_NE(r.out.find("maxArchiveSize = 26214400\n"), std::string::npos);
    EXPECT_NE(r.out.find("configuredScaleType = 0\n"), std::string::npos);
}

TEST_F(CliTest, DataFolderIsMadeAbsoluteWithItsParentsOrRefused) {
    // Relative, with missing parents: made under the current folder, and used.
    const std::string relative = Join(Join("nested", "deeper"), "data");
    ChildOptions inTempFolder;
    inTempFolder.workingFolder = TempPath("");
    const CliRun r = RunChild(TV_CLI_PATH, {"--data-dir", relative, "settings"}, inTempFolder);
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    const std::string made = TempPath(relative);
    EXPECT_TRUE(FileExists(Join(made, "Tallyvault.ini")));
    EXPECT_TRUE(FileExists(Join(made, "Tallyvault.log")));
    EXPECT_NE(r.out.find("archivePath = " + AsFolder(made) + "\n"), std::string::npos) << r.out;

    // A file in the way: a clear error and a usage exit, nothing run.
    WriteFile(TempPath("plain"), "x");
    const CliRun blocked = Cli({"--data-dir", Join(TempPath("plain"), "data"), "settings"});
    EXPECT_EQ(blocked.status, 64);
    EXPECT_NE(blocked.err.find("--data-dir: " + TempPath("plain") + " is not a folder"), std::string::npos);
    EXPECT_TRUE(blocked.out.empty());
}

TEST_F(CliTest, UsageErrorsExitWith64) {
    EXPECT_EQ(Cli("").status, 64);
    EXPECT_EQ(Cli("--data-dir").status, 64);
    EXPECT_EQ(Cli("--bogus settings").status, 64);
    EXPECT_EQ(Cli("--card-image 1 settings").status, 64);
    EXPECT_EQ(Cli("--yes --no settings").status, 64);
    EXPECT_EQ(Cli("--data-dir " + DataFolder() + " frobnicate").status, 64);
    const CliRun help = Cli("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("settings"), std::string::npos);
    EXPECT_NE(help.out.find("--data-dir DIR"), std::string::npos);
}

}  // namespace tv::test
