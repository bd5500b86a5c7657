// The private-profile functions for systems that have none of their own,
// built on IniDocument: they behave as the Windows functions do for the uses
// of this program (and are checked against the real ones on Windows). The
// platform passes in how a whole INI file is read and written.
#pragma once

#include <cstdint>
#include <string>

namespace tv {

class IniFileAccess {
public:
    virtual ~IniFileAccess() = default;
    // The whole content of an INI file; false with the system error in error
    // (kErrFileNotFound when there is none, kErrBadFileType, kErrFileTooLarge ...).
    virtual bool ReadIniFile(const std::string& path, std::string& content, int& error) = 0;
    // Replaces the file's content as a whole; false with the system error in error.
    virtual bool WriteIniFile(const std::string& path, const std::string& content, int& error) = 0;
};

// Whether a name or value would end its line early (a CR or LF in it) and let
// the rest pose as keys and sections of their own. Such writes are refused.
bool BreaksIniLine(const char16_t* text);

// The three functions with the arguments of Platform's; lastError is set as
// Platform::LastError reports it (0 after a read that found the file).
uint32_t EmulatedGetPrivateProfileString(IniFileAccess& files, int& lastError, const char16_t* section,
                                         const char16_t* key, const char16_t* defaultText, char16_t* buffer,
                                         uint32_t size, const std::string& path);
uint32_t EmulatedGetPrivateProfileInt(IniFileAccess& files, int& lastError, const char16_t* section,
                                      const char16_t* key, int32_t defaultValue, const std::string& path);
bool EmulatedWritePrivateProfileString(IniFileAccess& files, int& lastError, const char16_t* section,
                                       const char16_t* key, const char16_t* value, const std::string& path);

}  // namespace tv
