// The INI files of the Windows platform: the system's own private-profile
// functions, behind the same guards as everywhere (regular files of a
// bounded size only, no line breaks inside names and values).
#include <vector>

#include "platform/IniDocument.h"
#include "platform/IniEmulation.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"

namespace tv {

bool Win32Platform::CheckIniFile(const std::string& path, int& error) {
    UniqueHandle file = OpenRegularFile(WideFromAnsi(path), GENERIC_READ, kShareAll, OPEN_EXISTING, 0, false, error);
    if (!file.valid()) return error == kErrFileNotFound || error == kErrPathNotFound;
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.get(), &size)) {
        error = SystemErrorFromWin32(::GetLastError());
        return false;
    }
    if (size.QuadPart > kMaxIniFileSize) {
        error = kErrFileTooLarge;
        return false;
    }
    error = 0;
    return true;
}

uint32_t Win32Platform::GetPrivateProfileString(const char16_t* section, const char16_t* key,
                                                const char16_t* defaultText, char16_t* buffer, uint32_t size,
                                                const std::string& path) {
    if (buffer == nullptr || size == 0) return 0;
    const char16_t* fallback = defaultText != nullptr ? defaultText : u"";
    int error = 0;
    const bool usable = CheckIniFile(path, error);
    lastError_ = error;
    if (!usable) {
        // Read as if there were no file.
        if (section != nullptr && key == nullptr) return CopyProfileKeyList({}, buffer, size);
        return CopyProfileValue(fallback, buffer, size);
    }
    return ::GetPrivateProfileStringW(AsWide(section), AsWide(key), AsWide(fallback), AsWide(buffer), size,
                                      WideFromAnsi(path).c_str());
}

uint32_t Win32Platform::GetPrivateProfileInt(const char16_t* section, const char16_t* key, int32_t defaultValue,
                                             const std::string& path) {
    int error = 0;
    const bool usable = CheckIniFile(path, error);
    lastError_ = error;
    if (!usable || section == nullptr || key == nullptr) return static_cast<uint32_t>(defaultValue);
    return ::GetPrivateProfileIntW(AsWide(section), AsWide(key), defaultValue, WideFromAnsi(path).c_str());
}

bool Win32Platform::WritePrivateProfileString(const char16_t* section, const char16_t* key, const char16_t* value,
                                              const std::string& path) {
    if (section == nullptr || BreaksIniLine(section) || BreaksIniLine(key) || BreaksIniLine(value)) {
        return Fail(kErrInvalidParameter);
    }
    int error = 0;
    if (!CheckIniFile(path, error)) return Fail(error);
    lastError_ = error;
    return ::WritePrivateProfileStringW(AsWide(section), AsWide(key), AsWide(value), WideFromAnsi(path).c_str()) ||
           FailLastError();
}

}  // namespace tv
