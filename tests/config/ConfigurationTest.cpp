// Loading, checking, repairing and saving Tallyvault.ini.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/AppContext.h"
#include "config/Configuration.h"
#include "log/LogFile.h"
#include "platform/Text.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

namespace fs = std::filesystem;

constexpr char kBackupName[] = "Tallyvault_2016_03_01_10_15_02.ini.bak";

class ConfigurationTest : public test::TestEnvironment {
protected:
    // An existing folder whose path has exactly `length` characters.
    std::string FolderOfLength(size_t length) {
        const std::string base = TempPath("f");
        std::string path = base + std::string(length - base.size(), 'p');
        fs::create_directories(path);
        return path;
    }
    std::vector<std::string> Defaults() const {
        return {"[Config]",
                "Language=English",
                "MaxSizeOfArchiveFileInMB=25",
                "UseDefaultArchivePath=NO",
                "ArchivePath=" + DataFolder(),
                "SMCProfilePath=" + DataFolder(),
                "LogPath=" + DataFolder(),
                "BackupSMCOnArchive=NO",
                "YearEndsOn=31-Dec",
                "ScaleType=Auto-detect"};
    }
    static std::string Lines(const std::vector<std::string>& lines) {
        std::string s;
        for (const auto& l : lines) s += l + "\r\n";
        return s;
    }
    void ExpectDefaultContext(const AppContext& ctx) {
        EXPECT_EQ(ctx.archivePath, AsFolder(DataFolder()));
        EXPECT_EQ(ctx.profilePath, AsFolder(DataFolder()));
        EXPECT_EQ(ctx.logPath, AsFolder(DataFolder()));
        EXPECT_EQ(ctx.maxArchiveSize, 26214400u);
        EXPECT_EQ(ctx.yearEndDay, 31);
        EXPECT_EQ(ctx.yearEndMonth, 12);
        EXPECT_EQ(ctx.yearEnd, "1231");
        EXPECT_EQ(ctx.configuredScaleType, 0);
    }
};

TEST_F(ConfigurationTest, MissingFileIsCreatedWithDefaults) {
    const AppContext& ctx = GetAppContext();
    EXPECT_EQ(ReadFile(ConfigPath()), Lines(Defaults()));
    ExpectDefaultContext(ctx);
    EXPECT_EQ(ctx.language, "English");
    EXPECT_TRUE(ui_.shown.empty());
    EXPECT_NE(LogText().find("INFO    - New Tallyvault.ini file created successfully\r\n"), std::string::npos);
    EXPECT_NE(LogText().find("INFO    - Log file path:" + AsFolder(DataFolder()) + "\r\n"), std::string::npos);
}

TEST_F(ConfigurationTest, ValidFileIsTakenAsItStands) {
    const std::string archive = TempPath("archive");
    const std::string logs = TempPath("logs");
    fs::create_directories(archive);
    fs::create_directories(logs);
    WriteConfig(ValidConfig({"Language=French", "MaxSizeOfArchiveFileInMB=100MB",
                             "UseDefaultArchivePath=YES", "ArchivePath=" + AsFolder(archive),
                             "LogPath=" + logs, "BackupSMCOnArchive=YES", "YearEndsOn=05-Jan",
                             "ScaleType=ZT4"}));
    const std::string before = ReadFile(ConfigPath());
    const AppContext& ctx = GetAppContext();
    EXPECT_EQ(ReadFile(ConfigPath()), before);
    EXPECT_EQ(ctx.language, "French");
    EXPECT_EQ(ctx.maxArchiveSize, 100u << 20);
    EXPECT_TRUE(ctx.useDefaultArchivePath);
    EXPECT_TRUE(ctx.backupSmcOnArchive);
    EXPECT_EQ(ctx.archivePath, AsFolder(archive));
    EXPECT_EQ(ctx.logPath, AsFolder(logs));
    EXPECT_EQ(ctx.yearEndDay, 5);
    EXPECT_EQ(ctx.yearEndMonth, 1);
    EXPECT_EQ(ctx.yearEnd, "0105");
    EXPECT_EQ(ctx.configuredScaleType, 2);
    EXPECT_TRUE(ui_.shown.empty());
    EXPECT_TRUE(ctx.configFile != nullptr);
    EXPECT_TRUE(ctx.profileFile == nullptr);  // no SMCProfile.ini yet
}

TEST_F(ConfigurationTest, AFolderNameThatIsNotUtf8SurvivesLoadingAndSaving) {
    const std::string archive = TempPath("caf\xE9");
    fs::create_directories(archive);
    WriteConfig(ValidConfig({"ArchivePath=" + archive}));
    const AppContext& ctx = GetAppContext();
    EXPECT_EQ(ctx.archivePath, AsFolder(archive));
    EXPECT_TRUE(ui_.shown.empty());

    AppContext& saving = GetAppContext();
    SettingsInput in;
    in.archivePath = ToUtf16(archive);
    in.profilePath = ToUtf16(archive);
    in.logPath = ToUtf16(DataFolder());
    in.language = u"English";
    in.maxSize = u"25";
    in.day = u"31";
    in.scaleType = u"Auto-detect";
    ASSERT_TRUE(SaveConfiguration(saving, in));
    const std::string text = ReadFile(ConfigPath());
    EXPECT_NE(text.find("\r\nArchivePath=" + archive + "\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\nSMCProfilePath=" + archive + "\r\n"), std::string::npos) << text;
    EXPECT_EQ(saving.profilePath, AsFolder(archive));
}

TEST_F(ConfigurationTest, BoundaryValuesPass) {
    const std::vector<std::vector<std::string>> passing = {
        {"MaxSizeOfArchiveFileInMB=1"},
        {"MaxSizeOfArchiveFileInMB=2048"},
        {"MaxSizeOfArchiveFileInMB=25MB"},
        {"YearEndsOn=29-Feb"},
        {"YearEndsOn=30-Apr"},
        {"ScaleType=dX"},
        {"ArchivePath=" + FolderOfLength(172), "BackupSMCOnArchive=NO"},
        {"ArchivePath=" + FolderOfLength(164), "BackupSMCOnArchive=YES"},
        {"SMCProfilePath=" + FolderOfLength(217)},
        {"LogPath=" + FolderOfLength(221)},
    };
    for (const auto& overrides : passing) {
        WriteConfig(ValidConfig(overrides));
        EXPECT_TRUE(CheckConfiguration(GetAppContext(), ConfigPath())) << overrides[0];
    }
    EXPECT_TRUE(ui_.shown.empty());
}

struct DamageCase {
    std::vector<std::string> overrides;
    std::string error;
};

TEST_F(ConfigurationTest, DamagedFileIsBackedUpAndReplacedByDefaults) {
    const std::vector<DamageCase> cases = {
        {{"Language=english"}, "Language information in config file is corrupted"},
        {{"MaxSizeOfArchiveFileInMB=0"}, "Invalid max file size for archive found in config file"},
        {{"MaxSizeOfArchiveFileInMB=2049"}, "Invalid max file size for archive found in config file"},
        {{"MaxSizeOfArchiveFileInMB=MB25"}, "Invalid max file size for archive found in config file"},
        {{"UseDefaultArchivePath=yes"}, "Invalid option set for 'Use default archive path'"},
        {{"ArchivePath=" + TempPath("none")}, "Archive path in config file is incorrect"},
        {{"ArchivePath=" + FolderOfLength(173)}, "Archive path in config file is too long"},
        {{"ArchivePath=" + FolderOfLength(172), "BackupSMCOnArchive=YES"},
         "Archive path in config file is too long"},
        {{"SMCProfilePath="}, "SMC Profile path in config file is incorrect"},
        {{"SMCProfilePath=" + FolderOfLength(218)}, "SMC Profile path in config file is too long"},
        {{"BackupSMCOnArchive=No"}, "Invalid option set for 'Backup SMC files to archive folder'"},
        {{"YearEndsOn=31-dec"}, "Invalid month set for 'Year ends on' option in config file"},
        {{"YearEndsOn=5-Jan"}, "Invalid month set for 'Year ends on' option in config file"},
        {{"YearEndsOn=30-Feb"}, "Invalid date set for 'Year ends on' option in config file"},
        {{"YearEndsOn=00-Jan"}, "Invalid date set for 'Year ends on' option in config file"},
        {{"YearEndsOn=32-Jan"}, "Invalid date set for 'Year ends on' option in config file"},
        {{"ScaleType=auto-detect"}, "Invalid scale type set for 'Scale type' option in config file"},
        {{"LogPath=" + FolderOfLength(222)}, "Log path in config file is too long"},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.error + " / " + c.overrides[0]);
        DestroyAppContext();
        fs::remove(Join(DataFolder(), kBackupName));
        fs::remove(Join(DataFolder(), "Tallyvault.log"));
        ui_.shown.clear();
        WriteConfig(ValidConfig(c.overrides));
        const std::string damaged = ReadFile(ConfigPath());

        const AppContext& ctx = GetAppContext();
        EXPECT_EQ(ReadFile(Join(DataFolder(), kBackupName)), damaged);
        EXPECT_EQ(ReadFile(ConfigPath()), Lines(Defaults()));
        ExpectDefaultContext(ctx);
        ASSERT_EQ(ui_.shown.size(), 1u);
        EXPECT_EQ(ToNarrow(ui_.shown[0].text),
                  "Incorrect information in config file. Current config file will be backed up "
                  "and new config file will be created.");
        EXPECT_EQ(ui_.shown[0].caption, u"Tallyvault");
        EXPECT_EQ(ui_.shown[0].style, unsigned{kMbIconWarning | kMbTaskModal});
        const std::string log = LogText();
        EXPECT_NE(log.find("ERROR   - 1:"), std::string::npos);
        EXPECT_NE(log.find(" " + c.error + "\r\n"), std::string::npos);
        EXPECT_NE(log.find("Config file corrupted. Backup taken successfully"), std::string::npos);
        EXPECT_NE(log.find("INFO    - File name : " + Join(DataFolder(), kBackupName)), std::string::npos);
    }
}

TEST_F(ConfigurationTest, LogFolderThatIsAFileFailsAndTheCheckLogsInTheDataFolder) {
    WriteFile(TempPath("plain"), "not a folder");
    WriteConfig(ValidConfig({"LogPath=" + TempPath("plain")}));
    GetAppContext();
    EXPECT_NE(LogText().find("Log path in config file is incorrect"), std::string::npos);
    EXPECT_TRUE(FileExists(Join(DataFolder(), kBackupName)));
}

TEST_F(ConfigurationTest, LogFollowsTheConfiguredFolderDuringTheCheck) {
    const std::string logs = TempPath("logs");
    fs::create_directories(logs);
    WriteConfig(ValidConfig({"LogPath=" + logs, "Language=Klingon"}));
    GetAppContext();
    EXPECT_NE(ReadFile(Join(logs, "Tallyvault.log")).find("Language information in config file is corrupted"),
              std::string::npos);
}

TEST_F(ConfigurationTest, MissingYearEndAndScaleTypeKeysAreAdded) {
    std::vector<std::string> lines = ValidConfig();
    lines.resize(lines.size() - 2);
    WriteConfig(lines);
    GetAppContext();
    lines.push_back("YearEndsOn=31-Dec");
    lines.push_back("ScaleType=Auto-detect");
    EXPECT_EQ(ReadFile(ConfigPath()), Lines(lines));
    EXPECT_NE(LogText().find("INFO    - Added 'YearEndsOn' key in config file\r\n"), std::string::npos);
    EXPECT_NE(LogText().find("INFO    - Added 'ScaleType' key in config file\r\n"), std::string::npos);
    EXPECT_FALSE(FileExists(Join(DataFolder(), kBackupName)));
}

TEST_F(ConfigurationTest, SecondBackupInTheSameSecondTakesItsOwnNameAndDefaultsAreWritten) {
    WriteConfig(ValidConfig({"Language=english"}));
    const std::string damaged = ReadFile(ConfigPath());
    WriteFile(Join(DataFolder(), kBackupName), "first backup");
    const AppContext& ctx = GetAppContext();
    EXPECT_EQ(ReadFile(Join(DataFolder(), kBackupName)), "first backup");
    const std::string second = std::string(kBackupName).replace(std::string(kBackupName).find(".ini.bak"), 8, "_2.ini.bak");
    EXPECT_EQ(ReadFile(Join(DataFolder(), second)), damaged);
    const std::string log = LogText();
    EXPECT_NE(log.find("Config file corrupted. Backup taken successfully"), std::string::npos);
    EXPECT_EQ(log.find("Config backup failed"), std::string::npos);
    ASSERT_EQ(ui_.shown.size(), 1u);
    EXPECT_EQ(ReadFile(ConfigPath()), Lines(Defaults()));
    ExpectDefaultContext(ctx);
}

TEST_F(ConfigurationTest, UncreatableFileLeavesTheBuiltInSettings) {
    platform_->InjectFault(FaultOp::Open, kErrAccessDenied, "Tallyvault.ini");
    const AppContext& ctx = GetAppContext();
    EXPECT_FALSE(FileExists(ConfigPath()));
    EXPECT_NE(LogText().find("Config file open failed. (E5)"), std::string::npos);
    EXPECT_NE(LogText().find("Creation of config file if not exist failed"), std::string::npos);
    EXPECT_EQ(ctx.maxArchiveSize, 26214400u);
    EXPECT_EQ(ctx.yearEnd, "1231");
}

TEST_F(ConfigurationTest, FullDiskWhileWritingDefaultsIsReportedNotHidden) {
    platform_->SetDiskFull(true);
    AppContext& ctx = GetAppContext();
    EXPECT_EQ(ReadFile(ConfigPath()), "");
    EXPECT_FALSE(CreateDefaultConfiguration(ConfigPath(), ctx));
    ExpectDefaultContext(ctx);
    platform_->SetDiskFull(false);
    EXPECT_TRUE(CreateDefaultConfiguration(ConfigPath(), ctx));
    EXPECT_EQ(ReadFile(ConfigPath()), Lines(Defaults()));
}

TEST_F(ConfigurationTest, SaveWritesEveryKeyAndMovesTheLog) {
    AppContext& ctx = GetAppContext();
    const std::string logs = TempPath("newlogs");
    fs::create_directories(logs);
    SettingsInput in;
    in.archivePath = ToUtf16(DataFolder());
    in.profilePath = ToUtf16(DataFolder());
    in.logPath = ToUtf16(logs);
    in.language = u"French";
    in.maxSize = u"025";
    in.useDefaultArchivePath = true;
    in.backupSmcOnArchive = false;
    in.day = u"5";
    in.monthIndex = 11;
    in.scaleType = u"dX";
    ASSERT_TRUE(SaveConfiguration(ctx, in));

    EXPECT_EQ(ReadFile(ConfigPath()),
              Lines({"[Config]", "Language=French", "MaxSizeOfArchiveFileInMB=25",
                     "UseDefaultArchivePath=YES", "ArchivePath=" + DataFolder(),
                     "SMCProfilePath=" + DataFolder(), "LogPath=" + logs,
                     "BackupSMCOnArchive=NO", "YearEndsOn=05-Dec", "ScaleType=dX"}));
    EXPECT_EQ(ctx.yearEnd, "1205");
    EXPECT_EQ(ctx.yearEndDay, 5);
    EXPECT_EQ(ctx.yearEndMonth, 12);
    EXPECT_EQ(ctx.configuredScaleType, 1);
    EXPECT_EQ(ctx.language, "French");
    EXPECT_EQ(ctx.maxArchiveSize, 25u << 20);
    EXPECT_EQ(ctx.logPath, AsFolder(logs));
    EXPECT_EQ(LogFile::Instance().Path(), Join(logs, "Tallyvault.log"));
    const std::string log = LogText();
    size_t at = 0;
    for (const std::string& entry : std::vector<std::string>{
             "Use default archive path: Yes", "Default archive path: " + AsFolder(DataFolder()),
          "SMC profile path: " + AsFolder(DataFolder()), "Log file path: " + AsFolder(logs),
             "Max size of archive file(in MB): 25", "Language: French",
             "Backup SMC files to archive folder: No", "Year ends on: 05-Dec", "Scale type: dX"}) {
        at = log.find("INFO    - " + entry + "\r\n", at);
        EXPECT_NE(at, std::string::npos) << entry;
    }
}

TEST_F(ConfigurationTest, SaveThatCannotWriteFails) {
    AppContext& ctx = GetAppContext();
    SettingsInput in;
    in.archivePath = in.profilePath = in.logPath = ToUtf16(DataFolder());
    in.language = u"English";
    in.maxSize = u"30";
    in.day = u"31";
    in.scaleType = u"ZT4";
    platform_->InjectFault(FaultOp::IniWrite, kErrDiskFull);
    EXPECT_FALSE(SaveConfiguration(ctx, in));
    EXPECT_EQ(ReadFile(ConfigPath()), Lines(Defaults()));
    in.monthIndex = 12;
    platform_->ClearFaults();
    EXPECT_FALSE(SaveConfiguration(ctx, in));
}

TEST_F(ConfigurationTest, ArchiveAndProfilePathsAreHandedOut) {
    AppContext& ctx = GetAppContext();
    std::string out;
    EXPECT_FALSE(GetArchivePath(ctx, nullptr));
    EXPECT_TRUE(GetArchivePath(ctx, &out));
    EXPECT_EQ(out, AsFolder(DataFolder()));
    ctx.archivePath = AsFolder(TempPath("gone"));
    EXPECT_FALSE(GetArchivePath(ctx, &out));
    EXPECT_FALSE(GetSmcProfilePath(ctx, nullptr));
    EXPECT_TRUE(GetSmcProfilePath(ctx, &out));
    EXPECT_EQ(out, AsFolder(DataFolder()));
}

}  // namespace
}  // namespace tv
