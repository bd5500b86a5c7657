// Tallyvault.ini: loading, checking, defaults, saving and backups of the
// configuration, the backup of a damaged SMCProfile.ini, and the two INI files
// that the context holds open while the program runs.
#pragma once

#include <cstdint>
#include <string>

namespace tv {

class AppContext;

// The raw texts of the keys that the check looks at.
struct ConfigValues {
    std::u16string language;
    std::u16string archivePath;
    std::u16string profilePath;
    std::u16string maxSize;
    std::u16string useDefaultArchivePath;
    std::u16string backupSmcOnArchive;
    std::u16string yearEndsOn;
    bool hasYearEndsOn = false;
    std::u16string scaleType;
    bool hasScaleType = false;
};

// What the settings dialog passes to SaveConfiguration (already checked there).
struct SettingsInput {
    std::u16string archivePath;
    std::u16string profilePath;
    std::u16string logPath;
    std::u16string language;  // "English" or "French"
    std::u16string maxSize;   // decimal text of megabytes
    bool useDefaultArchivePath = false;
    bool backupSmcOnArchive = false;
    std::u16string day;       // decimal text
    int monthIndex = 11;      // 0 is January
    std::u16string scaleType; // "ZT4", "dX" or "Auto-detect"
};

bool LoadConfiguration(AppContext& ctx);
bool CheckConfiguration(AppContext& ctx, const std::string& path);
bool CheckConfigurationValues(AppContext& ctx, const ConfigValues& values);
bool CreateDefaultConfiguration(const std::string& path, AppContext& ctx);
bool SaveConfiguration(AppContext& ctx, const SettingsInput& input);
bool BackUpConfiguration(AppContext& ctx);
bool BackUpSmcProfile(AppContext& ctx);
bool EnsureConfigFileExists(AppContext& ctx, const std::string& path);
void HoldConfigFile(AppContext& ctx);
void HoldProfileFile(AppContext& ctx);
void CloseSmcProfileFile(AppContext& ctx);
bool GetArchivePath(AppContext& ctx, std::string* out);
bool GetSmcProfilePath(AppContext& ctx, std::string* out);
bool AddYearEndsOnKey(const std::string& path);
bool AddScaleTypeKey(const std::string& path);

// Month names "Jan" … "Dec" (index 0 to 11) and the largest day of each month.
extern const char16_t* const kMonthNames[12];
extern const int kMonthDays[12];
// Of a "YearEndsOn" text ("31-Dec"): the month index 0..11 of the text from its
// fourth character on, or -1; the day read from its first two characters.
int YearEndMonthOf(const std::u16string& yearEndsOn);
int YearEndDayOf(const std::u16string& yearEndsOn);
// 1 for "dX", 2 for "ZT4", 0 for anything else.
uint16_t ConfiguredScaleTypeOf(const std::u16string& scaleType);

}  // namespace tv
