#include "config/IniFile.h"

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "platform/Text.h"

namespace tv {

CIniFile::CIniFile(std::string path) : path_(std::move(path)) {}

bool CIniFile::ReadString(const char16_t* section, const char16_t* key, std::u16string& out) {
    // A marker two characters before the end tells a cut-off result: a value cut
    // at size - 1 characters overwrites it with text, a key list that did not fit
    // ends with two NULs, one of them on it.
    const auto size = static_cast<size_t>(bufferSize_);
    buffer_.assign(size, char16_t{0});
    const size_t marker = size - 2;
    buffer_[marker] = static_cast<char16_t>(0x7878);
    lastReadLength_ = Sys().GetPrivateProfileString(section, key, nullptr, buffer_.data(),
                                                    static_cast<uint32_t>(size), path_);
    NoteRefusedFile();
    const bool complete = buffer_[marker] != 0;
    out.assign(buffer_.data());
    return complete;
}

void CIniFile::NoteRefusedFile() {
    const int error = Sys().LastError();
    if (refusalLogged_ || (error != kErrBadFileType && error != kErrFileTooLarge)) return;
    refusalLogged_ = true;
    const char* what = error == kErrBadFileType ? "is not a regular file" : "is too large to be an INI file";
    TV_LOG_ERROR(kModCore, "INI file '" + path_ + "' " + what + ". (E" + std::to_string(error) + ")");
}

bool CIniFile::HasConfigKey(std::u16string_view key) {
    std::u16string first;
    if (!ReadString(u"Config", nullptr, first) || lastReadLength_ == 0) return false;
    size_t at = 0;
    while (at < buffer_.size() && buffer_[at] != 0) {
        size_t end = at;
        while (end < buffer_.size() && buffer_[end] != 0) ++end;
        if (EqualsNoCase(std::u16string_view(buffer_).substr(at, end - at), key)) return true;
        at = end + 1;
    }
    return false;
}

bool CIniFile::WriteLastArchivedBlockNum(const char16_t* section, int32_t blockNum) {
    const std::u16string value = ToUtf16(std::to_string(blockNum));
    return Sys().WritePrivateProfileString(section, u"LastArchivedBlockNum", value.c_str(), path_);
}

void CIniFile::AppendLineBreak() {
    auto file = Sys().OpenFile(path_, OpenMode::Append);
    if (!file) return;
    if (file->Size() > 0) file->Write("\r\n", 2);
}

}  // namespace tv
