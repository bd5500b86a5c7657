// Reader of one INI file, bound to its path. Short-lived; holds no open file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tv {

class CIniFile {
public:
    explicit CIniFile(std::string path);
    virtual ~CIniFile() = default;

    // With a key: its value, or empty when the section or key is missing. Without
    // one (nullptr): the section's key list, each name ended by a NUL and the list
    // by one more; `out` then holds the first name and RawBuffer() the whole list.
    // False when the text did not fit the buffer.
    bool ReadString(const char16_t* section, const char16_t* key, std::u16string& out);
    // Whether section "Config" has the key, compared without regard to case.
    bool HasConfigKey(std::u16string_view key);
    bool WriteLastArchivedBlockNum(const char16_t* section, int32_t blockNum);
    // Ends a non-empty file with CR LF, so that a section added next starts on a
    // line of its own. A missing file is created empty.
    void AppendLineBreak();

    const std::string& Path() const { return path_; }
    int32_t BufferSize() const { return bufferSize_; }
    uint32_t LastReadLength() const { return lastReadLength_; }
    const std::u16string& RawBuffer() const { return buffer_; }

private:
    // A file the platform refuses to read (a pipe, a device, a huge file) reads
    // as empty; the log says so once per reader.
    void NoteRefusedFile();

    std::string path_;
    bool refusalLogged_ = false;
    int32_t bufferSize_ = 1024;
    uint32_t lastReadLength_ = 0;
    std::u16string buffer_;
};

}  // namespace tv
