#include "audit/FileDigest.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "crypto/Digest.h"
#include "app/AppContext.h"
#include "platform/Platform.h"

namespace tv {

namespace {

constexpr size_t kChunk = 64 * 1024;

std::string LowerHex(const DigestBytes& digest) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * digest.size());
    for (uint8_t byte : digest) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0F]);
    }
    return text;
}

}  // namespace

std::string Sha256OfFile(const std::string& path) {
    if (path.empty()) return {};
    std::unique_ptr<File> file = Sys().OpenFile(path, OpenMode::Read);
    if (!file) return {};
    std::vector<uint8_t> chunk(kChunk);
    Sha256Hasher hasher;
    for (;;) {
        const int64_t got = file->Read(chunk.data(), chunk.size());
        if (got < 0) return {};
        if (got == 0) break;
        hasher.Update(chunk.data(), static_cast<size_t>(got));
    }
    DigestBytes digest{};
    if (!hasher.Final(digest)) return {};
    return LowerHex(digest);
}

std::future<std::string> Sha256OfFileInBackground(const std::string& path) {
    return std::async(std::launch::async, [path] { return Sha256OfFile(path); });
}

}  // namespace tv
