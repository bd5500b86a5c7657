#include "platform/IniEmulation.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/IniDocument.h"
#include "platform/Platform.h"

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

// A value as the Windows functions read it as a number: blanks and control
// characters skipped, one sign, "0x", "0o" or "0b" for another base, then the
// digits of that base as far as they go, in 32 bits that wrap around; a
// negative number is returned as its two's complement.
uint32_t ProfileNumber(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] <= u' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    uint32_t base = 10;
    if (i + 1 < text.size() && text[i] == u'0') {
        const char16_t prefix = text[i + 1];
        base = prefix == u'x' ? 16 : prefix == u'o' ? 8 : prefix == u'b' ? 2 : 10;
        if (base != 10) i += 2;
    }
    uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        const uint32_t digit = c >= u'0' && c <= u'9'   ? c - u'0'
                               : c >= u'a' && c <= u'z' ? c - u'a' + 10
                               : c >= u'A' && c <= u'Z' ? c - u'A' + 10
                                                        : 36;
        if (digit >= base) break;
        value = value * base + digit;
    }
    return negative ? 0u - value : value;
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
    // A key without a value reads as missing.
    if (!doc.Find(section, key, value) || value.empty()) return static_cast<uint32_t>(defaultValue);
    return ProfileNumber(value);
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
