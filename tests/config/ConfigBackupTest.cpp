// Backups of damaged INI files keep the damaged file and tell the user.
#include <gtest/gtest.h>

#include "app/AppContext.h"
#include "config/Configuration.h"
#include "platform/Text.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

class ConfigBackupTest : public test::TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        ctx_ = &GetAppContext();
        ui_.shown.clear();
        profile_ = Join(DataFolder(), "SMCProfile.ini");
        backup_ = Join(DataFolder(), "SMCProfile_2016_03_01_10_15_02.ini.bak");
    }
    AppContext* ctx_ = nullptr;
    std::string profile_;
    std::string backup_;
};

TEST_F(ConfigBackupTest, ProfileIsCopiedAsideAndDeleted) {
    WriteFile(profile_, "[04AB]\r\nbroken");
    HoldProfileFile(*ctx_);
    ASSERT_TRUE(ctx_->profileFile != nullptr);
    EXPECT_TRUE(BackUpSmcProfile(*ctx_));
    EXPECT_TRUE(ctx_->profileFile == nullptr);
    EXPECT_FALSE(FileExists(profile_));
    EXPECT_EQ(ReadFile(backup_), "[04AB]\r\nbroken");
    ASSERT_EQ(ui_.shown.size(), 1u);
    EXPECT_EQ(ToNarrow(ui_.shown[0].text).substr(0, 45), "Incorrect information in SMC profile file. Cu");
    EXPECT_EQ(ui_.repaints, 1);
    EXPECT_NE(LogText().find("SMC profile file corrupted. Backup taken successfully"), std::string::npos);
}

TEST_F(ConfigBackupTest, BackupsInTheSameSecondKeepEveryDamagedFile) {
    for (const char* content : {"first", "second", "third"}) {
        WriteFile(profile_, content);
        EXPECT_TRUE(BackUpSmcProfile(*ctx_)) << content;
        WriteConfig({"[Config]", content});
        EXPECT_TRUE(BackUpConfiguration(*ctx_)) << content;
    }
    EXPECT_EQ(ReadFile(backup_), "first");
    EXPECT_EQ(ReadFile(Join(DataFolder(), "SMCProfile_2016_03_01_10_15_02_2.ini.bak")), "second");
    EXPECT_EQ(ReadFile(Join(DataFolder(), "SMCProfile_2016_03_01_10_15_02_3.ini.bak")), "third");
    EXPECT_EQ(ReadFile(Join(DataFolder(), "Tallyvault_2016_03_01_10_15_02.ini.bak")), "[Config]\r\nfirst\r\n");
    EXPECT_EQ(ReadFile(Join(DataFolder(), "Tallyvault_2016_03_01_10_15_02_3.ini.bak")), "[Config]\r\nthird\r\n");
    EXPECT_FALSE(FileExists(profile_));
}

TEST_F(ConfigBackupTest, ProfileBackupFailuresWarnTwiceAndKeepTheFile) {
    WriteFile(profile_, "x");
    platform_->InjectFault(FaultOp::Copy, kErrDiskFull, "", 1);
    EXPECT_FALSE(BackUpSmcProfile(*ctx_));
    EXPECT_TRUE(FileExists(profile_));
    EXPECT_NE(LogText().find("SMC profile File backup failed. (E112)"), std::string::npos);
    EXPECT_NE(LogText().find("SMC profile backup failed\r\n"), std::string::npos);
    ASSERT_EQ(ui_.shown.size(), 2u);
    EXPECT_EQ(ToNarrow(ui_.shown[1].text), "Failed to backup SMC Profile file. Please check log file.");

    platform_->InjectFault(FaultOp::Delete, kErrAccessDenied, "SMCProfile.ini", 1);
    EXPECT_FALSE(BackUpSmcProfile(*ctx_));
    EXPECT_TRUE(FileExists(profile_));
    EXPECT_NE(LogText().find("Deleting SMC profile file failed. (E5)"), std::string::npos);

    ctx_->profilePath = AsFolder(AsFolder("") + std::string(230, 'p'));
    EXPECT_FALSE(BackUpSmcProfile(*ctx_));
    EXPECT_NE(LogText().find("INI file path size exceeded"), std::string::npos);
}

TEST_F(ConfigBackupTest, ConfigBackupStopsAtTheFirstFailedStep) {
    platform_->InjectFault(FaultOp::SetAttributes, kErrAccessDenied, "", 1);
    EXPECT_FALSE(BackUpConfiguration(*ctx_));
    EXPECT_NE(LogText().find("Setting file attributes failed. (E5)"), std::string::npos);
    EXPECT_TRUE(FileExists(ConfigPath()));

    platform_->Advance(1);
    platform_->InjectFault(FaultOp::Delete, kErrAccessDenied, "Tallyvault.ini", 1);
    EXPECT_FALSE(BackUpConfiguration(*ctx_));
    EXPECT_NE(LogText().find("Deleting config file failed. (E5)"), std::string::npos);
    EXPECT_TRUE(FileExists(ConfigPath()));
    EXPECT_TRUE(FileExists(Join(DataFolder(), "Tallyvault_2016_03_01_10_15_03.ini.bak")));
}

}  // namespace
}  // namespace tv
