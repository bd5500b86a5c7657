#include "config/SettingsFields.h"

#include "app/AppContext.h"
#include "config/IniFile.h"
#include "platform/Text.h"

namespace tv {

namespace {

constexpr char16_t kSection[] = u"Config";
constexpr size_t kMaxPath = 260;
constexpr size_t kProfileNameRoom = 42;
constexpr size_t kLogNameRoom = 38;

constexpr MessageId kInvalidPath = 175;
constexpr MessageId kPathTooLong = 219;
constexpr MessageId kAboveMaxSize = 141;
constexpr MessageId kBelowMinSize = 176;
constexpr MessageId kInvalidDate = 258;

std::u16string Read(CIniFile& ini, const char16_t* key) {
    std::u16string value;
    ini.ReadString(kSection, key, value);
    return value;
}

MessageId FolderError(AppContext& ctx, const std::u16string& folder, size_t nameRoom) {
    if (folder.empty() || !ctx.platform.IsDirectory(ToNarrow(folder))) return kInvalidPath;
    if (folder.size() + nameRoom >= kMaxPath) return kPathTooLong;
    return 0;
}

}  // namespace

SettingsInput ReadSettingsFields(const std::string& iniPath) {
    CIniFile ini(iniPath);
    SettingsInput in;
    in.archivePath = Read(ini, u"ArchivePath");
    in.profilePath = Read(ini, u"SMCProfilePath");
    in.logPath = Read(ini, u"LogPath");
    in.language = Read(ini, u"Language") == u"French" ? u"French" : u"English";
    const std::u16string maxSize = Read(ini, u"MaxSizeOfArchiveFileInMB");
    in.maxSize = maxSize.empty() ? u"25" : maxSize;
    in.useDefaultArchivePath = Read(ini, u"UseDefaultArchivePath") == u"YES";
    in.backupSmcOnArchive = Read(ini, u"BackupSMCOnArchive") == u"YES";
    in.day = u"31";
    in.monthIndex = 11;
    const std::u16string yearEndsOn = Read(ini, u"YearEndsOn");
    if (!yearEndsOn.empty()) {
        in.day = ToUtf16(std::to_string(YearEndDayOf(yearEndsOn)));
        const int month = YearEndMonthOf(yearEndsOn);
        if (month >= 0) in.monthIndex = month;
    }
    const std::u16string scaleType = Read(ini, u"ScaleType");
    in.scaleType = scaleType == u"ZT4" || scaleType == u"dX" ? scaleType : u"Auto-detect";
    return in;
}

size_t ArchiveNameRoom(char scaleType, bool backupSmcOnArchive) {
    if (scaleType == '1') return backupSmcOnArchive ? 95 : 116;
    return backupSmcOnArchive ? 85 : 75;
}

SettingsFieldErrors CheckSettingsFields(AppContext& ctx, const SettingsInput& in) {
    SettingsFieldErrors errors;
    if (in.useDefaultArchivePath) {
        errors.archivePath =
            FolderError(ctx, in.archivePath, ArchiveNameRoom(ctx.scaleType, in.backupSmcOnArchive));
    }
    errors.profilePath = FolderError(ctx, in.profilePath, kProfileNameRoom);
    errors.logPath = FolderError(ctx, in.logPath, kLogNameRoom);

    // A negative size reads as a huge one, as an unsigned number would.
    const int64_t size = LeadingDecimal(in.maxSize);
    if (size < 0 || size > 2048) {
        errors.maxSize = kAboveMaxSize;
    } else if (size == 0) {
        errors.maxSize = kBelowMinSize;
    }

    const int64_t day = LeadingDecimal(in.day);
    const bool monthKnown = in.monthIndex >= 0 && in.monthIndex < 12;
    if (!monthKnown || day < 1 || day > 31 || day > kMonthDays[monthKnown ? in.monthIndex : 0]) {
        errors.yearEnd = kInvalidDate;
    }
    return errors;
}

}  // namespace tv
