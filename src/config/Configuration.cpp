#include "config/Configuration.h"

#include <cstdio>

#include "app/AppContext.h"
#include "config/IniFile.h"
#include "log/LogFile.h"
#include "platform/Text.h"

namespace tv {

const char16_t* const kMonthNames[12] = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                         u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
const int kMonthDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

namespace {

constexpr char16_t kSection[] = u"Config";
constexpr size_t kMaxPath = 260;

std::u16string Read(CIniFile& ini, const char16_t* key) {
    std::u16string value;
    ini.ReadString(kSection, key, value);
    return value;
}

bool Write(const std::string& path, const char16_t* key, const std::u16string& value) {
    return Sys().WritePrivateProfileString(kSection, key, value.c_str(), path);
}

bool NamesFolder(AppContext& ctx, const std::u16string& value) {
    return !value.empty() && ctx.platform.IsDirectory(ToNarrow(value));
}

std::string FolderSetting(AppContext& ctx, const std::u16string& value) {
    return ctx.platform.WithTrailingSeparator(ToNarrow(value));
}

void LogWithError(int line, const char* format, int error) {
    char message[256];
    std::snprintf(message, sizeof message, format, error);
    LogFile::Instance().Write(kModCore, line, kLogError, message);
}

std::string YearEndText(int month, int day) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d", month % 100, day % 100);
    return text;
}

std::string ProfileFilePath(AppContext& ctx) { return ctx.profilePath + "SMCProfile.ini"; }

}  // namespace

uint16_t ConfiguredScaleTypeOf(const std::u16string& scaleType) {
    if (scaleType == u"dX") return 1;
    if (scaleType == u"ZT4") return 2;
    return 0;
}

// --- year end --------------------------------------------------------------------

int YearEndMonthOf(const std::u16string& yearEndsOn) {
    if (yearEndsOn.size() < 3) return -1;
    const std::u16string month = yearEndsOn.substr(3);
    for (int i = 0; i < 12; ++i) {
        if (month == kMonthNames[i]) return i;
    }
    return -1;
}

int YearEndDayOf(const std::u16string& yearEndsOn) {
    return static_cast<int>(LeadingDecimal(std::u16string_view(yearEndsOn).substr(0, 2)));
}

// --- held files -------------------------------------------------------------------

void HoldConfigFile(AppContext& ctx) {
    const std::string path = ConfigFilePath();
    if (!ctx.platform.Exists(path)) return;
    ctx.configFile.reset();
    ctx.configFile = ctx.platform.OpenFile(path, OpenMode::Append);
    if (!ctx.configFile) LogWithError(__LINE__, "Config file open failed. (E%d)", ctx.platform.LastError());
}

void HoldProfileFile(AppContext& ctx) {
    if (ctx.profilePath.empty()) return;
    const std::string path = ProfileFilePath(ctx);
    if (!ctx.platform.Exists(path)) return;
    ctx.profileFile.reset();
    ctx.profileFile = ctx.platform.OpenFile(path, OpenMode::Append);
    if (!ctx.profileFile) LogWithError(__LINE__, "INI file open failed. (E%d)", ctx.platform.LastError());
}

void CloseSmcProfileFile(AppContext& ctx) { ctx.profileFile.reset(); }

bool EnsureConfigFileExists(AppContext& ctx, const std::string& path) {
    if (ctx.platform.Exists(path)) return true;
    ctx.configFile.reset();
    ctx.configFile = ctx.platform.OpenFile(path, OpenMode::Write);
    if (!ctx.configFile) {
        LogWithError(__LINE__, "Config file open failed. (E%d)", ctx.platform.LastError());
        return false;
    }
    return true;
}

// --- load and check -------------------------------------------------------------------

bool LoadConfiguration(AppContext& ctx) {
    const std::string path = ConfigFilePath();
    const bool existed = ctx.platform.Exists(path);
    bool defaultsWritten = true;
    if (!CheckConfiguration(ctx, path)) {
        BackUpConfiguration(ctx);
        defaultsWritten = CreateDefaultConfiguration(path, ctx);
    } else if (!existed && ctx.platform.Exists(path)) {
        defaultsWritten = CreateDefaultConfiguration(path, ctx);  // first start: created empty
    }
    // A file that is missing, or that could not take the defaults, has nothing to
    // give: the context keeps its built-in values rather than reading empty or
    // damaged keys as zero sizes and dates.
    if (!defaultsWritten || !ctx.platform.Exists(path)) {
        HoldConfigFile(ctx);
        return true;
    }

    ctx.configFile.reset();
    CIniFile ini(path);
    const std::u16string language = Read(ini, u"Language");
    const std::u16string maxSize = Read(ini, u"MaxSizeOfArchiveFileInMB");
    const std::u16string useDefault = Read(ini, u"UseDefaultArchivePath");
    const std::u16string archivePath = Read(ini, u"ArchivePath");
    const std::u16string profilePath = Read(ini, u"SMCProfilePath");
    const std::u16string logPath = Read(ini, u"LogPath");
    const std::u16string backup = Read(ini, u"BackupSMCOnArchive");
    const std::u16string yearEndsOn = Read(ini, u"YearEndsOn");
    const std::u16string scaleType = Read(ini, u"ScaleType");
    HoldConfigFile(ctx);

    if (NamesFolder(ctx, archivePath)) ctx.archivePath = FolderSetting(ctx, archivePath);
    if (NamesFolder(ctx, profilePath)) ctx.profilePath = FolderSetting(ctx, profilePath);
    HoldProfileFile(ctx);
    if (NamesFolder(ctx, logPath)) ctx.logPath = FolderSetting(ctx, logPath);

    if (!language.empty()) ctx.language = ToNarrow(language);
    ctx.maxArchiveSize = static_cast<uint64_t>(LeadingDecimal(maxSize)) << 20;
    ctx.useDefaultArchivePath = useDefault == u"YES";
    ctx.backupSmcOnArchive = backup == u"YES";

    const int day = YearEndDayOf(yearEndsOn);
    const int month = YearEndMonthOf(yearEndsOn);
    ctx.yearEndDay = static_cast<uint16_t>(day);
    if (month >= 0) ctx.yearEndMonth = static_cast<uint16_t>(month + 1);
    ctx.yearEnd = YearEndText(ctx.yearEndMonth, ctx.yearEndDay);
    ctx.configuredScaleType = ConfiguredScaleTypeOf(scaleType);
    return true;
}

bool CheckConfiguration(AppContext& ctx, const std::string& path) {
    if (!ctx.platform.Exists(path)) {
        if (!EnsureConfigFileExists(ctx, path)) {
            TV_LOG_ERROR(kModCore, "Creation of config file if not exist failed");
            return false;
        }
        return true;
    }

    ctx.configFile.reset();
    CIniFile ini(path);
    ConfigValues values;
    values.archivePath = Read(ini, u"ArchivePath");
    values.profilePath = Read(ini, u"SMCProfilePath");
    const std::u16string logPath = Read(ini, u"LogPath");
    values.language = Read(ini, u"Language");
    values.maxSize = Read(ini, u"MaxSizeOfArchiveFileInMB");
    values.useDefaultArchivePath = Read(ini, u"UseDefaultArchivePath");
    values.backupSmcOnArchive = Read(ini, u"BackupSMCOnArchive");
    values.hasYearEndsOn = ini.HasConfigKey(u"YearEndsOn");
    values.yearEndsOn = Read(ini, u"YearEndsOn");
    values.hasScaleType = ini.HasConfigKey(u"ScaleType");
    values.scaleType = Read(ini, u"ScaleType");

    if (!NamesFolder(ctx, logPath)) {
        TV_LOG_ERROR(kModCore, "Log path in config file is incorrect");
        return false;
    }
    if (logPath.size() + 38 >= kMaxPath) {
        TV_LOG_ERROR(kModCore, "Log path in config file is too long");
        return false;
    }
    ctx.logPath = FolderSetting(ctx, logPath);
    LogFile::Instance().SetFolder(ctx.logPath);

    const bool valid = CheckConfigurationValues(ctx, values);
    if (valid) {
        if (!values.hasYearEndsOn && !AddYearEndsOnKey(path)) {
            TV_LOG_ERROR(kModCore, "Adding 'YearEndsOn' key to config file failed");
        }
        if (!values.hasScaleType && !AddScaleTypeKey(path)) {
            TV_LOG_ERROR(kModCore, "Adding 'ScaleType' key to config file failed");
        }
    }
    HoldConfigFile(ctx);
    return valid;
}

bool CheckConfigurationValues(AppContext& ctx, const ConfigValues& v) {
    if (v.language != u"English" && v.language != u"French") {
        TV_LOG_ERROR(kModCore, "Language information in config file is corrupted");
        return false;
    }
    const int64_t maxSize = LeadingDecimal(v.maxSize);
    if (maxSize < 1 || maxSize > 2048) {
        TV_LOG_ERROR(kModCore, "Invalid max file size for archive found in config file");
        return false;
    }
    if (v.useDefaultArchivePath != u"YES" && v.useDefaultArchivePath != u"NO") {
        TV_LOG_ERROR(kModCore, "Invalid option set for 'Use default archive path'");
        return false;
    }
    if (!NamesFolder(ctx, v.archivePath)) {
        TV_LOG_ERROR(kModCore, "Archive path in config file is incorrect");
        return false;
    }
    const size_t archiveMargin = v.backupSmcOnArchive == u"YES" ? 95 : 87;
    if (v.archivePath.size() + archiveMargin >= kMaxPath) {
        TV_LOG_ERROR(kModCore, "Archive path in config file is too long");
        return false;
    }
    if (!NamesFolder(ctx, v.profilePath)) {
        TV_LOG_ERROR(kModCore, "SMC Profile path in config file is incorrect");
        return false;
    }
    if (v.profilePath.size() + 42 >= kMaxPath) {
        TV_LOG_ERROR(kModCore, "SMC Profile path in config file is too long");
        return false;
    }
    if (v.backupSmcOnArchive != u"YES" && v.backupSmcOnArchive != u"NO") {
        TV_LOG_ERROR(kModCore, "Invalid option set for 'Backup SMC files to archive folder'");
        return false;
    }
    if (v.hasYearEndsOn) {
        const int month = YearEndMonthOf(v.yearEndsOn);
        if (month < 0) {
            TV_LOG_ERROR(kModCore, "Invalid month set for 'Year ends on' option in config file");
            return false;
        }
        const int day = YearEndDayOf(v.yearEndsOn);
        if (day < 1 || day > 31 || day > kMonthDays[month]) {
            TV_LOG_ERROR(kModCore, "Invalid date set for 'Year ends on' option in config file");
            return false;
        }
    }
    if (v.hasScaleType && v.scaleType != u"ZT4" && v.scaleType != u"dX" &&
        v.scaleType != u"Auto-detect") {
        TV_LOG_ERROR(kModCore, "Invalid scale type set for 'Scale type' option in config file");
        return false;
    }
    return true;
}

bool AddYearEndsOnKey(const std::string& path) {
    if (!Write(path, u"YearEndsOn", u"31-Dec")) return false;
    TV_LOG_INFO(kModCore, "Added 'YearEndsOn' key in config file");
    return true;
}

bool AddScaleTypeKey(const std::string& path) {
    if (!Write(path, u"ScaleType", u"Auto-detect")) return false;
    TV_LOG_INFO(kModCore, "Added 'ScaleType' key in config file");
    return true;
}

// --- defaults and save ------------------------------------------------------------------

bool CreateDefaultConfiguration(const std::string& path, AppContext& ctx) {
    if (!EnsureConfigFileExists(ctx, path)) {
        TV_LOG_ERROR(kModCore, "config file open failed");
        return false;
    }
    ctx.configFile.reset();
    const std::string data = GetDataFolder();
    const std::u16string folder = ToUtf16(data);
    const std::u16string language = ToUtf16(LanguageFromLocale(ctx.platform.UserLocaleName()));
    bool written = Write(path, u"Language", language);
    written = Write(path, u"MaxSizeOfArchiveFileInMB", u"25") && written;
    written = Write(path, u"UseDefaultArchivePath", u"NO") && written;
    written = Write(path, u"ArchivePath", folder) && written;
    written = Write(path, u"SMCProfilePath", folder) && written;
    written = Write(path, u"LogPath", folder) && written;
    written = Write(path, u"BackupSMCOnArchive", u"NO") && written;
    written = Write(path, u"YearEndsOn", u"31-Dec") && written;
    written = Write(path, u"ScaleType", u"Auto-detect") && written;
    HoldConfigFile(ctx);

    // The context takes the defaults even when the file could not take them, so
    // that the program goes on with sane settings.
    const std::string folderSetting = ctx.platform.WithTrailingSeparator(data);
    ctx.archivePath = folderSetting;
    ctx.profilePath = folderSetting;
    HoldProfileFile(ctx);
    ctx.logPath = folderSetting;
    ctx.maxArchiveSize = 26214400;
    ctx.useDefaultArchivePath = false;
    ctx.yearEndDay = 31;
    ctx.yearEndMonth = 12;
    ctx.yearEnd = "1231";
    ctx.configuredScaleType = 0;

    if (!written) {
        LogWithError(__LINE__, "Writing default config file failed. (E%d)", ctx.platform.LastError());
        TV_LOG_INFO(kModCore, "File name : " + path);
        return false;
    }
    TV_LOG_INFO(kModCore, "New Tallyvault.ini file created successfully");
    TV_LOG_INFO(kModCore, "Log file path:" + folderSetting);
    return true;
}

bool SaveConfiguration(AppContext& ctx, const SettingsInput& in) {
    const std::string path = ConfigFilePath();
    if (!EnsureConfigFileExists(ctx, path)) {
        TV_LOG_ERROR(kModCore, "Creation of config file if not exist failed");
        return false;
    }
    if (!CheckConfiguration(ctx, path)) {
        if (!BackUpConfiguration(ctx) || !CreateDefaultConfiguration(path, ctx)) {
            TV_LOG_ERROR(kModCore, "Creation of config file if not exist failed");
            return false;
        }
    }
    if (in.monthIndex < 0 || in.monthIndex > 11) {
        TV_LOG_ERROR(kModCore, "Invalid month for 'Year ends on' option");
        return false;
    }

    ctx.configFile.reset();
    bool written = Write(path, u"ArchivePath", in.archivePath);
    written = Write(path, u"SMCProfilePath", in.profilePath) && written;
    written = Write(path, u"LogPath", in.logPath) && written;
    written = Write(path, u"Language", in.language) && written;

    ctx.language = ToNarrow(in.language).substr(0, 255);
    ctx.archivePath = FolderSetting(ctx, in.archivePath);
    ctx.profilePath = FolderSetting(ctx, in.profilePath);
    HoldProfileFile(ctx);
    ctx.logPath = FolderSetting(ctx, in.logPath);

    const auto megabytes = static_cast<int32_t>(LeadingDecimal(in.maxSize));
    ctx.maxArchiveSize = static_cast<uint64_t>(megabytes) << 20;
    const std::string maxSizeText = std::to_string(static_cast<long long>(megabytes));
    written = Write(path, u"MaxSizeOfArchiveFileInMB", ToUtf16(maxSizeText)) && written;

    ctx.useDefaultArchivePath = in.useDefaultArchivePath;
    written = Write(path, u"UseDefaultArchivePath", in.useDefaultArchivePath ? u"YES" : u"NO") && written;
    ctx.backupSmcOnArchive = in.backupSmcOnArchive;
    written = Write(path, u"BackupSMCOnArchive", in.backupSmcOnArchive ? u"YES" : u"NO") && written;

    const int day = static_cast<int>(LeadingDecimal(in.day));
    char yearEndsOn[32];
    std::snprintf(yearEndsOn, sizeof yearEndsOn, "%02d-%s", day % 100,
                  ToNarrow(kMonthNames[in.monthIndex]).c_str());
    written = Write(path, u"YearEndsOn", ToUtf16(yearEndsOn)) && written;
    ctx.yearEndDay = static_cast<uint16_t>(day);
    ctx.yearEndMonth = static_cast<uint16_t>(in.monthIndex + 1);
    ctx.yearEnd = YearEndText(ctx.yearEndMonth, ctx.yearEndDay);

    ctx.configuredScaleType = ConfiguredScaleTypeOf(in.scaleType);
    written = Write(path, u"ScaleType", in.scaleType) && written;
    HoldConfigFile(ctx);

    TV_LOG_INFO(kModCore, std::string("Use default archive path: ") + (ctx.useDefaultArchivePath ? "Yes" : "No"));
    TV_LOG_INFO(kModCore, "Default archive path: " + ctx.archivePath);
    TV_LOG_INFO(kModCore, "SMC profile path: " + ctx.profilePath);
    TV_LOG_INFO(kModCore, "Log file path: " + ctx.logPath);
    TV_LOG_INFO(kModCore, "Max size of archive file(in MB): " + maxSizeText);
    TV_LOG_INFO(kModCore, "Language: " + ctx.language);
    TV_LOG_INFO(kModCore, std::string("Backup SMC files to archive folder: ") + (ctx.backupSmcOnArchive ? "Yes" : "No"));
    TV_LOG_INFO(kModCore, std::string("Year ends on: ") + yearEndsOn);
    TV_LOG_INFO(kModCore, "Scale type: " + ToNarrow(in.scaleType));

    if (!written) {
        // A settings file that did not take the new values must not read as saved.
        LogWithError(__LINE__, "Writing config file failed. (E%d)", ctx.platform.LastError());
        TV_LOG_INFO(kModCore, "File name : " + path);
        return false;
    }
    if (!LogFile::Instance().UseConfiguredFolder()) {
        TV_LOG_ERROR(kModCore, "Creation of config file if not exist failed");
        return false;
    }
    return true;
}

// --- paths ---------------------------------------------------------------------------

bool GetArchivePath(AppContext& ctx, std::string* out) {
    if (out == nullptr) return false;
    *out = ctx.archivePath.substr(0, kMaxPath - 1);
    std::vector<DirEntry> entries;
    return !ctx.archivePath.empty() && ctx.platform.ListFolder(ctx.archivePath, "*", entries);
}

bool GetSmcProfilePath(AppContext& ctx, std::string* out) {
    if (out == nullptr) return false;
    *out = ctx.profilePath.substr(0, kMaxPath - 1);
    return true;
}

}  // namespace tv
