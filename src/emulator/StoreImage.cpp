#include "emulator/StoreImage.h"

#include <algorithm>
#include <cstring>

#include "app/AppContext.h"
#include "emulator/BlockFraming.h"
#include "platform/Platform.h"

namespace tv {

namespace {

constexpr size_t kBufferBytes = 1 << 20;
constexpr uint32_t kMaxStoreFiles = 16;

}  // namespace

StoreImage::StoreImage() = default;
StoreImage::~StoreImage() {
    if (!started_ || finished_) return;
    spool_.reset();
    Platform& sys = Sys();
    for (uint32_t k = 0; k < kMaxStoreFiles; ++k) {
        const std::string path = sys.JoinPath(folder_, StoreFileName(k));
        if (sys.Exists(path)) sys.DeleteFile(path);
    }
    const std::string info = sys.JoinPath(folder_, "WORMINFO.DAT");
    if (sys.Exists(info)) sys.DeleteFile(info);
}

std::string StoreImage::StoreFileName(uint32_t index) {
    std::string name = "WORMSTOR.DAT";
    if (index == 0 || index >= kMaxStoreFiles) return name;
    name[7] = static_cast<char>(index < 10 ? '0' + index : 'A' + (index - 10));
    return name;
}

bool StoreImage::Fail(const std::string& what, const std::string& path, std::string& error) {
    error = what + " " + path + " (E" + std::to_string(Sys().LastError()) + ")";
    failed_ = true;
    return false;
}

bool StoreImage::Create(const std::string& folder, std::string& error) {
    Platform& sys = Sys();
    folder_ = folder;
    written_ = 0;
    failed_ = false;
    // Each missing folder of the path, from the top down.
    for (size_t at = 1; at <= folder.size(); ++at) {
        if (at != folder.size() && folder[at] != sys.Separator()) continue;
        const std::string part = folder.substr(0, at);
        if (sys.IsDirectory(part)) continue;
        if (!sys.CreateDirectory(part) && !sys.IsDirectory(part)) {
            return Fail("cannot create the folder", part, error);
        }
    }
    const std::string path = sys.JoinPath(folder_, StoreFileName(0));
    spool_ = sys.OpenFile(path, OpenMode::Write);
    if (!spool_) return Fail("cannot create", path, error);
    started_ = true;
    finished_ = false;
    buffer_.clear();
    buffer_.reserve(kBufferBytes);
    return true;
}

bool StoreImage::Flush() {
    if (failed_ || !spool_) return false;
    if (!buffer_.empty() && !spool_->Write(buffer_.data(), buffer_.size())) {
        failed_ = true;
        return false;
    }
    buffer_.clear();
    return true;
}

bool StoreImage::Append(const uint8_t* data, size_t sectors) {
    if (failed_ || !spool_) return false;
    const size_t bytes = sectors * kSectorBytes;
    if (buffer_.size() + bytes > kBufferBytes && !Flush()) return false;
    if (bytes >= kBufferBytes) {
        if (!spool_->Write(data, bytes)) {
            failed_ = true;
            return false;
        }
    } else {
        buffer_.insert(buffer_.end(), data, data + bytes);
    }
    written_ += static_cast<uint32_t>(sectors);
    return true;
}

// Moves sectors of the spool, from firstSector on, into a store file of its own.
bool StoreImage::MoveTail(uint64_t firstSector, uint64_t sectors, const std::string& path) {
    auto target = Sys().OpenFile(path, OpenMode::Write);
    if (!target) return false;
    const uint64_t available = written_ > firstSector ? written_ - firstSector : 0;
    uint64_t remaining = std::min(available, sectors) * kSectorBytes;
    std::vector<uint8_t> chunk(kBufferBytes);
    if (remaining != 0 && !spool_->Seek(static_cast<int64_t>(firstSector * kSectorBytes))) {
        return false;
    }
    while (remaining != 0) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(remaining, chunk.size()));
        if (spool_->Read(chunk.data(), n) != static_cast<int64_t>(n)) return false;
        if (!target->Write(chunk.data(), n)) return false;
        remaining -= n;
    }
    return target->Truncate(static_cast<int64_t>(sectors * kSectorBytes));
}

bool StoreImage::WriteSector(const std::string& name, const uint8_t* data, std::string& error) {
    const std::string path = Sys().JoinPath(folder_, name);
    auto file = Sys().OpenFile(path, OpenMode::Write);
    if (!file || !file->Write(data, kSectorBytes)) return Fail("cannot write", path, error);
    return true;
}

bool StoreImage::Finish(uint32_t totalSectors, uint32_t fileCount, const InfoSectorBytes& info,
                        std::string& error) {
    Platform& sys = Sys();
    const std::string spoolPath = sys.JoinPath(folder_, StoreFileName(0));
    if (!Flush()) return Fail("cannot write", spoolPath, error);
    if (totalSectors < written_ || fileCount < 1 || fileCount > kMaxStoreFiles ||
        totalSectors < fileCount) {
        error = "the store does not fit the total store size";
        return false;
    }
    // Reopen the spool for reading what moves to the continuation files.
    spool_.reset();
    spool_ = sys.OpenFile(spoolPath, OpenMode::ReadWrite);
    if (!spool_) return Fail("cannot open", spoolPath, error);

    const uint32_t share = totalSectors / fileCount;
    uint64_t first = share;
    for (uint32_t k = 1; k < fileCount; ++k) {
        const uint64_t sectors = k + 1 == fileCount ? totalSectors - first : share;
        const std::string path = sys.JoinPath(folder_, StoreFileName(k));
        if (!MoveTail(first, sectors, path)) return Fail("cannot write", path, error);
        first += sectors;
    }
    const uint64_t firstFileSectors = fileCount == 1 ? totalSectors : share;
    if (!spool_->Truncate(static_cast<int64_t>(firstFileSectors * kSectorBytes))) {
        return Fail("cannot size", spoolPath, error);
    }
    spool_.reset();
    for (uint32_t k = fileCount; k < kMaxStoreFiles; ++k) {
        const std::string path = sys.JoinPath(folder_, StoreFileName(k));
        if (sys.Exists(path) && !sys.DeleteFile(path)) return Fail("cannot remove", path, error);
    }

    const uint8_t zero[kSectorBytes] = {};
    finished_ = WriteSector("WORMINFO.DAT", info.data(), error) &&
                WriteSector("WORMCOMM.DAT", zero, error);
    return finished_;
}

}  // namespace tv
