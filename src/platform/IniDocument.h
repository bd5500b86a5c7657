// An INI file in memory, with the reading and writing rules of the Windows
// private-profile functions: section and key names compared without regard to
// case, values replaced in place under the key's name as the file spells it,
// new keys after the last key of their section, new sections at the end,
// values written without leading blanks, CR LF line ends. Used by platforms
// that have no such functions of their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tv {

class IniDocument {
public:
    // Parses narrow (UTF-8) file content; LF or CR LF line ends.
    void Parse(const std::string& content);
    std::string Serialize() const;  // every line ended by CR LF

    // The value of a key; false when the section or the key does not exist.
    bool Find(const std::u16string& section, const std::u16string& key, std::u16string& value) const;
    // The key names of a section, in file order; false when there is no such section.
    bool Keys(const std::u16string& section, std::vector<std::u16string>& keys) const;

    void Set(const std::u16string& section, const std::u16string& key, const std::u16string& value);
    void RemoveKey(const std::u16string& section, const std::u16string& key);
    void RemoveSection(const std::u16string& section);

private:
    struct Line {
        std::string text;        // the line as stored, without its line end
        std::u16string section;  // for a section header: its name
        std::u16string key;      // for a key line: its name
        bool isSection = false;
        bool isKey = false;
    };
    static Line Classify(std::string text);
    // Index of the first header of the section, or npos.
    size_t FindSection(const std::u16string& section) const;
    // Index one past the last line of the section that starts at header.
    size_t SectionEnd(size_t header) const;
    size_t FindKey(size_t header, const std::u16string& key) const;

    std::vector<Line> lines_;
};

// Copies a value into a caller's buffer as GetPrivateProfileString does: at most
// size - 1 characters and a NUL. Returns the characters copied.
uint32_t CopyProfileValue(const std::u16string& value, char16_t* buffer, uint32_t size);
// Copies a key list (each name ended by a NUL, the list by one more). When it does
// not fit, the buffer ends with two NULs and size - 2 is returned.
uint32_t CopyProfileKeyList(const std::vector<std::u16string>& keys, char16_t* buffer, uint32_t size);

}  // namespace tv
