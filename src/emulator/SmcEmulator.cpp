#include "emulator/SmcEmulator.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/Platform.h"

namespace tv {

namespace {

constexpr size_t kSector = 512;
constexpr char kInfoName[] = "WORMINFO.DAT";
constexpr char kCommName[] = "WORMCOMM.DAT";
constexpr int kStoreFiles = 16;

// Info sector fields the firmware itself looks at.
constexpr size_t kCommandSelector = 29;
constexpr size_t kRollbackFlag = 30;

// Command sector layout.
constexpr size_t kStatusByte = 4;
constexpr size_t kPayload = 5;
constexpr uint8_t kBusy = 254;
constexpr uint8_t kRejected = 1;  // no command block where this card expects one
constexpr uint8_t kUnlockBlock[] = {0x00, 0x07, 0x80, 0x00, 0x04};
constexpr size_t kUnlockAt = 4;
constexpr char kPin[] = "9893";
constexpr char kRollbackSector[] = "ROLLBACK!";  // with its terminating zero

bool SameNameNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

std::string StoreName(int index) {
    std::string name = "WORMSTOR.DAT";
    if (index > 0) name[7] = static_cast<char>(index < 10 ? '0' + index : 'A' + (index - 10));
    return name;
}

void PutBigEndian16(uint8_t* p, uint16_t value) {
    p[0] = static_cast<uint8_t>(value >> 8);
    p[1] = static_cast<uint8_t>(value & 0xFF);
}

// A read-only view of an image file with a position of its own; what the
// computer writes is handed to the card, never to the image.
class ImageBackedFile : public File {
public:
    ImageBackedFile(std::shared_ptr<SmcEmulator> card, std::unique_ptr<File> image)
        : card_(std::move(card)), image_(std::move(image)), size_(image_->Size()) {}

    bool Seek(int64_t offset) override {
        if (offset < 0) return false;
        position_ = offset;
        return true;
    }
    bool SeekEnd() override {
        position_ = std::max<int64_t>(size_, 0);
        return true;
    }
    int64_t Size() override { return size_; }
    int64_t Tell() override { return position_; }
    bool Truncate(int64_t) override { return false; }

protected:
    // Reads image bytes at the position; the count read, or -1.
    int64_t ReadImage(void* data, size_t n) {
        if (size_ < 0) return -1;
        if (position_ >= size_ || n == 0) return 0;
        const auto wanted = static_cast<size_t>(std::min<int64_t>(size_ - position_,
                                                                  static_cast<int64_t>(n)));
        if (!image_->Seek(position_)) return -1;
        size_t done = 0;
        auto* out = static_cast<uint8_t*>(data);
        while (done < wanted) {
            const int64_t got = image_->Read(out + done, wanted - done);
            if (got < 0) return -1;
            if (got == 0) break;
            done += static_cast<size_t>(got);
        }
        position_ += static_cast<int64_t>(done);
        return static_cast<int64_t>(done);
    }

    std::shared_ptr<SmcEmulator> card_;
    std::unique_ptr<File> image_;
    int64_t size_;
    int64_t position_ = 0;
};

// A store file: sectors of the image; writes are refused (the store is written
// by the scale only).
class StoreFile : public ImageBackedFile {
public:
    StoreFile(std::shared_ptr<SmcEmulator> card, std::unique_ptr<File> image, uint64_t base)
        : ImageBackedFile(std::move(card), std::move(image)), base_(base) {}

    int64_t Read(void* data, size_t n) override {
        if (size_ >= 0 && position_ < size_ && n > 0) {
            const int64_t end = std::min<int64_t>(size_, position_ + static_cast<int64_t>(n));
            const uint64_t first = base_ + static_cast<uint64_t>(position_) / kSector;
            const uint64_t last = base_ + static_cast<uint64_t>(end - 1) / kSector;
            if (card_->StoreReadFails(first, last)) return -1;
        }
        const auto from = static_cast<uint64_t>(position_);
        const int64_t got = ReadImage(data, n);
        if (got > 0) card_->StoreReadServed(from, static_cast<size_t>(got));
        return got;
    }
    bool Write(const void*, size_t) override { return false; }

private:
    uint64_t base_;
};

// The info sector: the image's, with the card's own rollback state.
class InfoFile : public ImageBackedFile {
public:
    using ImageBackedFile::ImageBackedFile;

    int64_t Read(void* data, size_t n) override {
        if (!card_->InfoReadAllowed()) return -1;
        const int64_t from = position_;
        const int64_t got = ReadImage(data, n);
        if (got > 0) card_->ReadServed(static_cast<size_t>(got));
        if (got > 0 && card_->RollbackCleared() && from <= static_cast<int64_t>(kRollbackFlag) &&
            from + got > static_cast<int64_t>(kRollbackFlag)) {
            static_cast<uint8_t*>(data)[kRollbackFlag - static_cast<size_t>(from)] = 0;
        }
        return got;
    }
    bool Write(const void* data, size_t n) override {
        if (position_ == 0) card_->InfoWritten(static_cast<const uint8_t*>(data), n);
        position_ += static_cast<int64_t>(n);
        return true;
    }
};

// The command sector: what is written reaches the card; what is read is the
// card's answer over the file's bytes.
class CommFile : public File {
public:
    CommFile(std::shared_ptr<SmcEmulator> card, std::vector<uint8_t> bytes)
        : card_(std::move(card)), bytes_(std::move(bytes)) {}

    int64_t Read(void* data, size_t n) override {
        const auto size = static_cast<int64_t>(bytes_.size());
        if (position_ >= size || n == 0) return 0;
        const auto count = static_cast<size_t>(std::min<int64_t>(size - position_,
                                                                 static_cast<int64_t>(n)));
        const auto from = static_cast<size_t>(position_);
        std::memcpy(data, bytes_.data() + from, count);
        if (from <= kStatusByte && from + count > kStatusByte) {
            std::array<uint8_t, kSector> answer{};
            if (card_->Answer(answer)) {
                const size_t end = std::min(from + count, kSector);
                std::memcpy(data, answer.data() + from, end - from);
            }
        }
        position_ += static_cast<int64_t>(count);
        card_->ReadServed(count);
        return static_cast<int64_t>(count);
    }
    bool Write(const void* data, size_t n) override {
        const auto from = static_cast<size_t>(position_);
        if (bytes_.size() < from + n) bytes_.resize(from + n);
        std::memcpy(bytes_.data() + from, data, n);
        position_ += static_cast<int64_t>(n);
        if (from == 0 && n >= kSector) card_->CommandWritten(bytes_.data());
        return true;
    }
    bool Seek(int64_t offset) override {
        if (offset < 0) return false;
        position_ = offset;
        return true;
    }
    bool SeekEnd() override {
        position_ = static_cast<int64_t>(bytes_.size());
        return true;
    }
    int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
    int64_t Tell() override { return position_; }
    bool Truncate(int64_t size) override {
        if (size < 0) return false;
        bytes_.resize(static_cast<size_t>(size));
        return true;
    }

private:
    std::shared_ptr<SmcEmulator> card_;
    std::vector<uint8_t> bytes_;  // this open file's copy; the image is never written
    int64_t position_ = 0;
};

}  // namespace

SmcEmulator::SmcEmulator(Platform& platform, std::string imageFolder, EmulatorFaults faults)
    : platform_(platform), folder_(std::move(imageFolder)), faults_(std::move(faults)) {}

bool SmcEmulator::Serves(const std::string& name) const {
    return SameNameNoCase(name, kInfoName) || SameNameNoCase(name, kCommName) ||
           StoreIndex(name) >= 0;
}

int SmcEmulator::StoreIndex(const std::string& name) const {
    for (int k = 0; k < kStoreFiles; ++k) {
        if (SameNameNoCase(name, StoreName(k))) return k;
    }
    return -1;
}

std::string SmcEmulator::ImagePath(const std::string& name) const {
    std::vector<DirEntry> entries;
    if (!platform_.ListFolder(folder_, name, entries)) return {};
    for (const DirEntry& e : entries) {
        if (!e.isDirectory && SameNameNoCase(e.name, name)) {
            return platform_.JoinPath(folder_, e.name);
        }
    }
    return {};
}

uint64_t SmcEmulator::StoreBase(int index) const {
    uint64_t base = 0;
    for (int k = 0; k < index; ++k) {
        const std::string path = ImagePath(StoreName(k));
        if (path.empty()) continue;
        auto file = platform_.OpenFile(path, OpenMode::Read);
        const int64_t size = file ? file->Size() : -1;
        if (size > 0) base += static_cast<uint64_t>(size) / kSector;
    }
    return base;
}

std::unique_ptr<File> SmcEmulator::OpenCardFile(const std::string& name, int& error) {
    if (!Serves(name)) {
        error = kErrFileNotFound;
        return nullptr;
    }
    const std::string path = ImagePath(name);
    if (path.empty()) {
        error = kErrFileNotFound;
        return nullptr;
    }
    auto image = platform_.OpenFile(path, OpenMode::Read);
    if (!image) {
        error = platform_.LastError() != 0 ? platform_.LastError() : kErrAccessDenied;
        return nullptr;
    }
    if (SameNameNoCase(name, kCommName)) {
        const int64_t size = image->Size();
        if (size < 0) {
            error = kErrReadFault;
            return nullptr;
        }
        std::vector<uint8_t> bytes(static_cast<size_t>(size));
        size_t done = 0;
        while (done < bytes.size()) {
            const int64_t got = image->Read(bytes.data() + done, bytes.size() - done);
            if (got <= 0) break;
            done += static_cast<size_t>(got);
        }
        bytes.resize(done);
        return std::make_unique<CommFile>(shared_from_this(), std::move(bytes));
    }
    if (SameNameNoCase(name, kInfoName)) {
        return std::make_unique<InfoFile>(shared_from_this(), std::move(image));
    }
    const uint64_t base = StoreBase(StoreIndex(name));
    return std::make_unique<StoreFile>(shared_from_this(), std::move(image), base);
}

uint32_t SmcEmulator::CommandOffset() {
    // The card takes its command offset from its own info sector.
    uint8_t info[kSector] = {};
    const std::string path = ImagePath(kInfoName);
    if (!path.empty()) {
        if (auto file = platform_.OpenFile(path, OpenMode::Read)) file->Read(info, sizeof info);
    }
    return info[kCommandSelector] == 1 ? 4 : 2;
}

void SmcEmulator::CommandWritten(const uint8_t* sector) {
    ++commandWrites_;
    std::array<uint8_t, kSector> answer{};
    const uint32_t offset = CommandOffset();
    const size_t length = (static_cast<size_t>(sector[offset]) << 8) | sector[offset + 1];
    if (std::memcmp(sector + kUnlockAt, kUnlockBlock, sizeof kUnlockBlock) == 0) {
        const uint8_t* pin = sector + kUnlockAt + sizeof kUnlockBlock;
        lastCommand_.assign(sector + kUnlockAt, sector + kUnlockAt + sizeof kUnlockBlock + 4);
        const bool pinRight = std::memcmp(pin, kPin, 4) == 0;
        answer[kStatusByte] = static_cast<uint8_t>(faults_.unlockStatus);
        PutBigEndian16(answer.data() + kPayload, faults_.unlockLength);
        PutBigEndian16(answer.data() + kPayload + 2, pinRight ? faults_.unlockWord : kWrongPinWord);
    } else if (length > 0 && length <= kSector - offset - 2) {
        lastCommand_.assign(sector + offset, sector + offset + 2 + length);
        answer[kStatusByte] = static_cast<uint8_t>(faults_.commandStatus);
        PutBigEndian16(answer.data() + kPayload, 2);  // a two-byte status word 0x0000
    } else {
        lastCommand_.clear();
        answer[kStatusByte] = kRejected;
    }
    answer_ = answer;
    busyLeft_ = std::max(faults_.busyCycles, 0);
}

void SmcEmulator::InfoWritten(const uint8_t* data, size_t n) {
    if (n < sizeof kRollbackSector ||
        std::memcmp(data, kRollbackSector, sizeof kRollbackSector) != 0) {
        return;  // the card ignores anything else written to its info sector
    }
    ++rollbackWrites_;
    if (!faults_.rollbackSticks) rollbackCleared_ = true;
}

bool SmcEmulator::Answer(std::array<uint8_t, 512>& sector) {
    ++commandReads_;
    if (!answer_) return false;
    sector = *answer_;
    if (faults_.neverReady || busyLeft_ > 0) {
        if (busyLeft_ > 0) --busyLeft_;
        sector[kStatusByte] = kBusy;
    }
    return true;
}

bool SmcEmulator::InfoReadAllowed() {
    if (faults_.removed) return false;
    if (faults_.infoReadsBeforeError < 0) return true;
    return infoReads_++ < faults_.infoReadsBeforeError;
}

bool SmcEmulator::StoreReadFails(uint64_t firstSector, uint64_t lastSector) const {
    if (faults_.removed) return true;
    return faults_.readErrorAtSector && *faults_.readErrorAtSector >= firstSector &&
           *faults_.readErrorAtSector <= lastSector;
}

void SmcEmulator::ReadServed(size_t n) {
    ++reads_.requests;
    reads_.modelledSeconds += latency_.secondsPerRequest;
    if (latency_.bytesPerSecond > 0) reads_.modelledSeconds += static_cast<double>(n) / latency_.bytesPerSecond;
}

void SmcEmulator::StoreReadServed(uint64_t offset, size_t n) {
    ReadServed(n);
    ++reads_.storeRequests;
    reads_.storeBytes += n;
    if (n > 0) reads_.storeSectors += (offset + n - 1) / kSector - offset / kSector + 1;
}

std::shared_ptr<SmcEmulator> MountEmulatedCard(Platform& platform, char letter,
                                               const std::string& imageFolder,
                                               EmulatorFaults faults) {
    auto card = std::make_shared<SmcEmulator>(platform, imageFolder, std::move(faults));
    platform.MountCard(letter, imageFolder, card);
    return card;
}

}  // namespace tv
