#include "platform/IniEmulation.h"

#include <cstdint>
#include <vector>

#include "platform/IniDocument.h"
#include "platform/Platform.h"
#include "platform/Text.h"

namespace tv {

namespace {

// Reads and parses the file; false (with lastError set) when it cannot be read.
bool LoadDocument(IniFileAccess& files, int& lastError, const std::string& path, IniDocument& doc) {
    std::string content;
    int error = 0;
    if (!files.ReadIniFile(path, content, error)) {
        lastError = error;
        return false;
    }
    doc.Parse(content);
    lastError = 0;
    return true;
}

}  // namespace

bool BreaksIniLine(const char16_t* text) {
    for (const char16_t* c = text; c != nullptr && *c != 0; ++c) {
        if (*c == u'\r' || *c == u'\n') return true;
    }
    return false;
}

uint32_t EmulatedGetPrivateProfileString(IniFileAccess& files, int& lastError, const char16_t* section,
                                         const char16_t* key, const char16_t* defaultText, char16_t* buffer,
                                         uint32_t size, const std::string& path) {
    const std::u16string fallback = defaultText != nullptr ? defaultText : u"";
    IniDocument doc;
    LoadDocument(files, lastError, path, doc);
    if (section == nullptr) return CopyProfileValue(fallback, buffer, size);
    if (key == nullptr) {
        std::vector<std::u16string> keys;
        doc.Keys(section, keys);
        return CopyProfileKeyList(keys, buffer, size);
    }
    std::u16string value;
    if (!doc.Find(section, key, value)) value = fallback;
    return CopyProfileValue(value, buffer, size);
}

uint32_t EmulatedGetPrivateProfileInt(IniFileAccess& files, int& lastError, const char16_t* section,
                                      const char16_t* key, int32_t defaultValue, const std::string& path) {
    IniDocument doc;
    std::u16string value;
    if (section == nullptr || key == nullptr || !LoadDocument(files, lastError, path, doc)) {
        return static_cast<uint32_t>(defaultValue);
    }
    if (!doc.Find(section, key, value)) return static_cast<uint32_t>(defaultValue);
    const int64_t n = LeadingDecimal(value);
    if (n < 0) return 0;
    return n > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(n);
}

bool EmulatedWritePrivateProfileString(IniFileAccess& files, int& lastError, const char16_t* section,
                                       const char16_t* key, const char16_t* value, const std::string& path) {
    if (section == nullptr || BreaksIniLine(section) || BreaksIniLine(key) || BreaksIniLine(value)) {
        lastError = kErrInvalidParameter;
        return false;
    }
    IniDocument doc;
    if (!LoadDocument(files, lastError, path, doc) && lastError != kErrFileNotFound) return false;
    if (key == nullptr) {
        doc.RemoveSection(section);
    } else if (value == nullptr) {
        doc.RemoveKey(section, key);
    } else {
        doc.Set(section, key, value);
    }
    int error = 0;
    if (!files.WriteIniFile(path, doc.Serialize(), error)) {
        lastError = error;
        return false;
    }
    return true;
}

}  // namespace tv
