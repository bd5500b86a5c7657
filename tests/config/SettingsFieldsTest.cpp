// The settings dialog's fields: what the file gives them and the checks of what
// the user entered.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/AppContext.h"
#include "config/SettingsFields.h"
#include "platform/Text.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

namespace fs = std::filesystem;

class SettingsFieldsTest : public test::TestEnvironment {
protected:
    void SetUp() override {
        test::TestEnvironment::SetUp();
        WriteConfig(ValidConfig());
        GetAppContext();
    }
    // An existing folder whose path has exactly `length` characters.
    std::u16string FolderOfLength(size_t length) {
        const std::string base = TempPath("f");
        const std::string path = base + std::string(length - base.size(), 'p');
        fs::create_directories(path);
        return ToUtf16(path);
    }
    SettingsInput Valid() {
        SettingsInput in;
        in.archivePath = in.profilePath = in.logPath = ToUtf16(DataFolder());
        in.language = u"English";
        in.maxSize = u"25";
        in.day = u"31";
        in.monthIndex = 11;
        in.scaleType = u"Auto-detect";
        return in;
    }
};

TEST_F(SettingsFieldsTest, FileValuesAndDefaults) {
    WriteConfig(ValidConfig({"Language=French", "MaxSizeOfArchiveFileInMB=", "UseDefaultArchivePath=YES",
                             "BackupSMCOnArchive=yes", "YearEndsOn=9-Sep", "ScaleType=dX"}));
    SettingsInput in = ReadSettingsFields(ConfigPath());
    EXPECT_EQ(in.language, u"French");
    EXPECT_EQ(in.maxSize, u"25");
    EXPECT_TRUE(in.useDefaultArchivePath);
    EXPECT_FALSE(in.backupSmcOnArchive);  // only "YES" counts
    EXPECT_EQ(in.day, u"9");
    EXPECT_EQ(in.monthIndex, 11);  // "Sep" is not at the fourth character
    EXPECT_EQ(in.scaleType, u"dX");
    EXPECT_EQ(in.logPath, ToUtf16(DataFolder()));

    WriteConfig(ValidConfig({"Language=french", "YearEndsOn=28-Feb", "ScaleType=Auto"}));
    in = ReadSettingsFields(ConfigPath());
    EXPECT_EQ(in.language, u"English");
    EXPECT_EQ(in.day, u"28");
    EXPECT_EQ(in.monthIndex, 1);
    EXPECT_EQ(in.scaleType, u"Auto-detect");

    in = ReadSettingsFields(TempPath("missing.ini"));
    EXPECT_EQ(in.maxSize, u"25");
    EXPECT_EQ(in.day, u"31");
    EXPECT_EQ(in.monthIndex, 11);
    EXPECT_TRUE(in.archivePath.empty());
}

TEST_F(SettingsFieldsTest, EveryFieldIsCheckedAndTheChecksGoOn) {
    EXPECT_FALSE(CheckSettingsFields(GetAppContext(), Valid()).Any());
    SettingsInput in = Valid();
    in.useDefaultArchivePath = true;
    in.archivePath = ToUtf16(TempPath("missing"));
    in.profilePath = u"";
    in.logPath = ToUtf16(TempPath("missing"));
    in.maxSize = u"2049";
    in.day = u"30";
    in.monthIndex = 1;
    const SettingsFieldErrors e = CheckSettingsFields(GetAppContext(), in);
    EXPECT_EQ(e.archivePath, 175);
    EXPECT_EQ(e.profilePath, 175);
    EXPECT_EQ(e.logPath, 175);
    EXPECT_EQ(e.maxSize, 141);
    EXPECT_EQ(e.yearEnd, 258);

    in = Valid();
    in.archivePath = ToUtf16(TempPath("missing"));  // not always used: not checked
    in.monthIndex = 12;                             // no such month
    const SettingsFieldErrors f = CheckSettingsFields(GetAppContext(), in);
    EXPECT_EQ(f.archivePath, 0);
    EXPECT_EQ(f.yearEnd, 258);
}

TEST_F(SettingsFieldsTest, FolderLengthLimits) {
    AppContext& ctx = GetAppContext();
    SettingsInput in = Valid();
    in.profilePath = FolderOfLength(217);
    in.logPath = FolderOfLength(221);
    EXPECT_EQ(CheckSettingsFields(ctx, in).profilePath, 0);
    EXPECT_EQ(CheckSettingsFields(ctx, in).logPath, 0);
    in.profilePath = FolderOfLength(218);
    in.logPath = FolderOfLength(222);
    EXPECT_EQ(CheckSettingsFields(ctx, in).profilePath, 219);
    EXPECT_EQ(CheckSettingsFields(ctx, in).logPath, 219);
}

TEST_F(SettingsFieldsTest, ArchiveFolderRoomDependsOnFamilyAndBackup) {
    AppContext& ctx = GetAppContext();
    // Longest accepted folder: dX with backup 174, without 184; ZT4 with 164, without 143.
    const struct {
        char scaleType;
        bool backup;
        size_t longest;
    } cases[] = {{'0', true, 174}, {'0', false, 184}, {'2', true, 174}, {'2', false, 184},
                 {'1', true, 164}, {'1', false, 143}};
    for (const auto& c : cases) {
        ctx.scaleType = c.scaleType;
        SettingsInput in = Valid();
        in.useDefaultArchivePath = true;
        in.backupSmcOnArchive = c.backup;
        in.archivePath = FolderOfLength(c.longest);
        EXPECT_EQ(CheckSettingsFields(ctx, in).archivePath, 0) << c.scaleType << c.backup;
        in.archivePath = FolderOfLength(c.longest + 1);
        EXPECT_EQ(CheckSettingsFields(ctx, in).archivePath, 219) << c.scaleType << c.backup;
    }
}

}  // namespace
}  // namespace tv
