#include "support/TempFolder.h"

#include <cstdio>
#include <filesystem>
#include <random>

namespace tv::test {

std::string MakeUniqueFolder(const std::string& base, const std::string& prefix) {
    static std::mt19937_64 random{std::random_device{}()};
    const std::filesystem::path parent = base.empty() ? std::filesystem::temp_directory_path()
                                                      : std::filesystem::path(base);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, "-%016llx", static_cast<unsigned long long>(random()));
        const std::filesystem::path folder = parent / (prefix + suffix);
        std::error_code ec;
        if (std::filesystem::create_directory(folder, ec)) return folder.string();
    }
    return {};
}

void RemoveFolderTree(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ec);
    for (const auto& e : fs::recursive_directory_iterator(folder, ec)) {
        fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(folder, ec);
}

}  // namespace tv::test
