// Entry format, rotation and folder rules of Tallyvault.log.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

namespace fs = std::filesystem;

class LogFileTest : public test::TestEnvironment {
protected:
    LogFile& log = LogFile::Instance();
    std::string LogPath() const { return Join(DataFolder(), "Tallyvault.log"); }
};

TEST_F(LogFileTest, EntriesHaveTimeLevelAndForErrorsModuleAndLine) {
    log.Write(5, 66, kLogError, "Continue from last archive operation failed.");
    log.Write(5, 67, kLogInfo, "Continue from last archive operation started.");
    log.Write(3, 9, kLogWarning, "w");
    log.Write(3, 9, 7, "odd level");
    log.Write(1, 2, kLogError, "");
    EXPECT_EQ(LogText(),
              "2016-03-01 10:15:02 ERROR   - 5:66 Continue from last archive operation failed.\r\n"
              "2016-03-01 10:15:02 INFO    - Continue from last archive operation started.\r\n"
              "2016-03-01 10:15:02 WARNING - 3:9 w\r\n"
              "2016-03-01 10:15:02 UNKNOWN - odd level\r\n"
              "2016-03-01 10:15:02 ERROR   - 1:2 \r\n");
}

// Card and file text inside a message cannot forge entries or steer a viewer.
TEST_F(LogFileTest, EntryStaysOneLineWhateverItsMessageHolds) {
    log.Write(1, 2, kLogWarning, "SMC: AB\r\n2016-03-01 10:15:02 INFO    - forged\x1b[2J\tend");
    EXPECT_EQ(LogText(), "2016-03-01 10:15:02 WARNING - 1:2 SMC: AB??2016-03-01 10:15:02 INFO    - forged?[2J\tend\r\n");
}

TEST_F(LogFileTest, RotatesWhenTheEntryWouldReachTheLimit) {
    // An Info entry with message m counts 19 + 11 + |m| + 1 characters.
    auto fill = [&](size_t size) { WriteFile(LogPath(), std::string(size, 'x')); };

    fill(LogFile::kSizeLimit - 31 - 10 - 1);  // sum 81919: appended
    log.Write(1, 1, kLogInfo, std::string(10, 'm'));
    EXPECT_EQ(fs::file_size(LogPath()), static_cast<uintmax_t>(LogFile::kSizeLimit - 31 - 10 - 1 + 31 + 10 + 1));
    EXPECT_FALSE(FileExists(Join(DataFolder(), "Tallyvault_2016_03_01_10_15_02.log")));

    fill(LogFile::kSizeLimit - 31 - 10);  // sum 81920: rotated first
    log.Write(1, 1, kLogInfo, std::string(10, 'm'));
    EXPECT_EQ(fs::file_size(Join(DataFolder(), "Tallyvault_2016_03_01_10_15_02.log")),
              static_cast<uintmax_t>(LogFile::kSizeLimit - 31 - 10));
    EXPECT_EQ(LogText(), "2016-03-01 10:15:02 INFO    - mmmmmmmmmm\r\n");
}

TEST_F(LogFileTest, EntryIsKeptWhenTheRotationFails) {
    WriteFile(Join(DataFolder(), "Tallyvault_2016_03_01_10_15_02.log"), "earlier rotation");
    WriteFile(LogPath(), std::string(LogFile::kSizeLimit, 'x'));
    log.Write(1, 1, kLogInfo, "still here");
    const std::string text = LogText();
    EXPECT_EQ(text.size(), LogFile::kSizeLimit + 42u);
    EXPECT_EQ(text.substr(LogFile::kSizeLimit), "2016-03-01 10:15:02 INFO    - still here\r\n");
    EXPECT_EQ(ReadFile(Join(DataFolder(), "Tallyvault_2016_03_01_10_15_02.log")), "earlier rotation");
}

TEST_F(LogFileTest, RotationUsesTheConfiguredFolder) {
    const std::string folder = TempPath("logs");
    fs::create_directories(folder);
    GetAppContext().logPath = AsFolder(folder);
    log.SetFolder(folder);
    WriteFile(Join(folder, "Tallyvault.log"), std::string(LogFile::kSizeLimit - 5, 'x'));
    log.Write(1, 1, kLogInfo, "next");
    EXPECT_TRUE(FileExists(Join(folder, "Tallyvault_2016_03_01_10_15_02.log")));
    EXPECT_EQ(ReadFile(Join(folder, "Tallyvault.log")), "2016-03-01 10:15:02 INFO    - next\r\n");
}

TEST_F(LogFileTest, FolderRules) {
    const std::string folder = AsFolder(AsFolder("") + "x") + "y";  // "/x/y" on Linux
    log.SetFolder(folder);
    EXPECT_EQ(log.Path(), Join(folder, "Tallyvault.log"));
    log.SetFolder(AsFolder(folder));
    EXPECT_EQ(log.Path(), Join(folder, "Tallyvault.log"));
    log.SetFolder("");
    EXPECT_EQ(log.Path(), Join(folder, "Tallyvault.log"));

    AppContext& ctx = GetAppContext();
    ctx.logPath = AsFolder(AsFolder("") + std::string(231, 'a'));  // 233 characters
    EXPECT_FALSE(log.UseConfiguredFolder());
    EXPECT_EQ(log.Path().size(), 247u);
    ctx.logPath = AsFolder(AsFolder("") + std::string(230, 'a'));
    EXPECT_TRUE(log.UseConfiguredFolder());
    ctx.logPath.clear();
    EXPECT_TRUE(log.UseConfiguredFolder());
    EXPECT_EQ(log.Path(), LogPath());
}

TEST_F(LogFileTest, UnwritableLogDropsEntriesSilently) {
    platform_->InjectFault(FaultOp::Open, kErrAccessDenied, "Tallyvault.log", 1);
    log.Write(1, 1, kLogInfo, "lost");
    log.Write(1, 1, kLogInfo, "kept");
    EXPECT_EQ(LogText(), "2016-03-01 10:15:02 INFO    - kept\r\n");
}

}  // namespace
}  // namespace tv
