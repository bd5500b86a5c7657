#include "platform/Platform.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <vector>

namespace tv {

std::string Platform::FileName(std::string_view path) const {
    size_t at = path.size();
    while (at > 0 && !IsSeparator(path[at - 1])) --at;
    return std::string(path.substr(at));
}

bool Platform::EndsWithSeparator(std::string_view path) const {
    return !path.empty() && path.back() == Separator();
}

std::string Platform::WithTrailingSeparator(std::string_view folder) const {
    std::string out(folder);
    if (!EndsWithSeparator(out)) out.push_back(Separator());
    return out;
}

std::string Platform::JoinPath(std::string_view a, std::string_view b) const {
    if (a.empty()) return std::string(b);
    std::string out = WithTrailingSeparator(a);
    if (!b.empty() && b.front() == Separator()) b.remove_prefix(1);
    out.append(b);
    return out;
}

std::string Platform::CardFilePath(std::string_view folder, const std::string& name) {
    std::vector<DirEntry> entries;
    const std::string dir(folder);
    if (!dir.empty() && ListFolder(dir, name, entries)) {
        const DirEntry* found = nullptr;
        for (const DirEntry& e : entries) {
            if (e.isDirectory || e.name.size() != name.size()) continue;
            const bool same = std::equal(e.name.begin(), e.name.end(), name.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
            });
            if (!same) continue;
            if (e.name == name) return JoinPath(folder, e.name);
            if (found == nullptr) found = &e;
        }
        if (found != nullptr) return JoinPath(folder, found->name);
    }
    return JoinPath(folder, name);
}

std::string Platform::FormatLocalTime(int64_t t, const char* format) {
    std::tm tm{};
    if (!ToLocalTime(t, tm)) return {};
    char buffer[128];
    const size_t n = std::strftime(buffer, sizeof buffer, format, &tm);
    return std::string(buffer, n);
}

bool Platform::IsDirectory(const std::string& path) {
    uint32_t attributes = 0;
    return GetAttributes(path, attributes) && (attributes & kAttrDirectory) != 0;
}

bool Platform::RemoveLeftover(const std::string& path) {
    if (DeleteFile(path)) return true;
    const int error = LastError();
    if (error == kErrFileNotFound || error == kErrPathNotFound) return true;
    // Only a file that is read-only is refused; a link never is.
    uint32_t attributes = 0;
    if (error != kErrAccessDenied || !GetAttributes(path, attributes) || (attributes & kAttrDirectory) != 0 ||
        (attributes & kAttrReadOnly) == 0) {
        return false;
    }
    return SetAttributes(path, attributes & ~static_cast<uint32_t>(kAttrReadOnly)) && DeleteFile(path);
}

bool Platform::PublishFile(const std::string& from, const std::string& to, const CopyProgress& progress,
                           uint32_t addAttributes) {
    uint32_t attributes = 0;
    if (!GetAttributes(from, attributes)) return false;
    const std::string temp = PublishTempName(to);
    // A temporary file left by a run that was killed is incomplete by definition.
    if (!RemoveLeftover(temp)) return false;
    const CopyProgress always = [](uint64_t, uint64_t) { return true; };
    if (!CopyFileWithProgress(from, temp, progress ? progress : always)) return false;
    if (!ReplaceFile(temp, to)) {
        // The clean-up succeeds or fails on its own; the error that counts is
        // the rename's (successful calls leave LastError as it was).
        uint32_t tempAttributes = 0;
        if (GetAttributes(temp, tempAttributes) &&
            SetAttributes(temp, tempAttributes & ~static_cast<uint32_t>(kAttrReadOnly))) {
            DeleteFile(temp);
        }
        return false;
    }
    return SetAttributes(to, (attributes | addAttributes) & ~static_cast<uint32_t>(kAttrDirectory));
}

}  // namespace tv
