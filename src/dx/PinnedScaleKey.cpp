#include "dx/PinnedScaleKey.h"

#include <cctype>
#include <memory>

#include "app/AppContext.h"
#include "platform/Platform.h"

namespace tv {

namespace {

constexpr size_t kKeyDigits = 266;
// A key file holds the key and perhaps a line end: anything far larger is not one.
constexpr size_t kMaxKeyFile = 4096;

std::string Trimmed(const std::string& text) {
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
    };
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

bool LooksLikeHex(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c)) == 0) return false;
    }
    return true;
}

// The key in text, upper-cased; error says what is wrong with it.
bool KeyFromText(const std::string& text, std::string& keyHex, std::string& error) {
    if (!LooksLikeHex(text)) {
        error = "the scale key must be hexadecimal digits only";
        return false;
    }
    if (text.size() != kKeyDigits) {
        error = "the scale key must have " + std::to_string(kKeyDigits) + " hexadecimal digits, not " +
                std::to_string(text.size());
        return false;
    }
    if (text[0] != '0' || text[1] != '4') {
        error = "the scale key must be an uncompressed point, starting with 04";
        return false;
    }
    keyHex = text;
    for (char& c : keyHex) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return true;
}

bool ReadKeyFile(const std::string& path, std::string& text, std::string& error) {
    std::unique_ptr<File> file = Sys().OpenFile(path, OpenMode::Read);
    if (!file) {
        error = "the scale key is neither a key nor a readable file: " + path;
        return false;
    }
    text.clear();
    char chunk[1024];
    for (;;) {
        const int64_t got = file->Read(chunk, sizeof chunk);
        if (got < 0) {
            error = "the scale key file cannot be read: " + path;
            return false;
        }
        if (got == 0) break;
        text.append(chunk, static_cast<size_t>(got));
        if (text.size() > kMaxKeyFile) {
            error = "the scale key file is too large to hold a key: " + path;
            return false;
        }
    }
    return true;
}

}  // namespace

bool LoadPinnedScaleKey(const std::string& arg, std::string& keyHex, std::string& error) {
    keyHex.clear();
    error.clear();
    const std::string given = Trimmed(arg);
    if (given.empty()) {
        error = "no scale key given";
        return false;
    }
    if (LooksLikeHex(given) && given.size() == kKeyDigits) return KeyFromText(given, keyHex, error);
    uint32_t attributes = 0;
    const bool isFile =
        Sys().GetAttributes(given, attributes) && (attributes & kAttrDirectory) == 0;
    // Hex digits that name no file are a mistyped key: say what is wrong with it.
    if (!isFile && LooksLikeHex(given)) return KeyFromText(given, keyHex, error);
    std::string content;
    if (!ReadKeyFile(given, content, error)) return false;
    const std::string key = Trimmed(content);
    if (!KeyFromText(key, keyHex, error)) {
        error = given + ": " + error;
        return false;
    }
    return true;
}

}  // namespace tv
