// tallyvault-cli settings, run as a user would run it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "support/TestEnvironment.h"

namespace tv {
namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

class CliTest : public test::TestEnvironment {
protected:
    CliRun Cli(const std::string& args) {
        const std::string errFile = TempPath("stderr");
        const std::string command = std::string(TV_CLI_PATH) + " " + args + " 2>" + errFile + " </dev/null";
        CliRun r;
        FILE* pipe = ::popen(command.c_str(), "r");
        char buffer[4096];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
        const int status = ::pclose(pipe);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.err = ReadFile(errFile);
        return r;
    }
};

TEST_F(CliTest, SettingsPrintsTheEffectiveSettings) {
    const CliRun r = Cli("--data-dir " + DataFolder() + " settings");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string folder = DataFolder() + "/";
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

}  // namespace
}  // namespace tv
