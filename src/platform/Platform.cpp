#include "platform/Platform.h"

#include <ctime>

namespace tv {

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

}  // namespace tv
