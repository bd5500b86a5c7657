// The drive table and card files of the Windows platform: drives from
// GetDriveTypeW, emulated cards at the letters they were mounted at, and card
// files opened unbuffered and write-through, so that the card's firmware sees
// every transfer.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"

namespace tv {

namespace {

// The sector size of the volume that holds path; 512 when the volume does not tell.
DWORD SectorSizeOf(const std::string& path) {
    const std::wstring wide = WideFromAnsi(path);
    wchar_t volume[MAX_PATH + 1] = {};
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
    DWORD clusters = 0;
    if (!::GetVolumePathNameW(wide.c_str(), volume, MAX_PATH + 1) ||
        !::GetDiskFreeSpaceW(volume, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters)) {
        return 512;
    }
    const bool powerOfTwo = bytesPerSector >= 512 && (bytesPerSector & (bytesPerSector - 1)) == 0;
    return powerOfTwo && bytesPerSector <= 65536 ? bytesPerSector : 512;
}

// A card file opened with FILE_FLAG_NO_BUFFERING: the system takes only whole
// sectors at sector offsets from sector-aligned memory. Callers may pass any
// buffer, offset and size: the transfers go through page-aligned memory, and
// sectors that a write covers only in part keep the bytes around it. A request
// that is whole sectors already reaches the card as exactly that request.
class SectorFile : public File {
public:
    SectorFile(UniqueHandle handle, DWORD sectorSize, int& lastError)
        : handle_(std::move(handle)), sector_(sectorSize), lastError_(lastError) {}

    int64_t Read(void* data, size_t n) override {
        const int64_t size = Size();
        if (size < 0) return -1;
        if (n == 0 || pos_ >= size) return 0;
        n = static_cast<size_t>(std::min<uint64_t>(n, static_cast<uint64_t>(size - pos_)));
        auto* out = static_cast<unsigned char*>(data);
        size_t done = 0;
        while (done < n) {
            const Pass pass = NextPass(static_cast<uint64_t>(pos_) + done, n - done);
            DWORD got = 0;
            if (!ReadAt(pass.alignedAt, 0, pass.span, got)) return -1;
            if (got <= pass.skip) break;
            const size_t take = std::min<size_t>(pass.want, got - pass.skip);
            std::memcpy(out + done, buffer_.data() + pass.skip, take);
            done += take;
            if (got < pass.span) break;
        }
        pos_ += static_cast<int64_t>(done);
        return static_cast<int64_t>(done);
    }

    bool Write(const void* data, size_t n) override {
        const int64_t size = Size();
        if (size < 0) return false;
        const auto* in = static_cast<const unsigned char*>(data);
        size_t done = 0;
        while (done < n) {
            const Pass pass = NextPass(static_cast<uint64_t>(pos_) + done, n - done);
            if (!buffer_.Reserve(pass.span)) return Fail(kErrNotEnoughMemory);
            if (pass.skip != 0 && !LoadSector(pass.alignedAt, 0, size)) return false;
            const size_t last = pass.span - sector_;
            if ((pass.skip + pass.want) % sector_ != 0 && (last != 0 || pass.skip == 0) &&
                !LoadSector(pass.alignedAt + last, last, size)) {
                return false;
            }
            std::memcpy(buffer_.data() + pass.skip, in + done, pass.want);
            if (!WriteAt(pass.alignedAt, pass.span)) return false;
            done += pass.want;
        }
        pos_ += static_cast<int64_t>(n);
        // A last sector written whole leaves the file longer than its content.
        const int64_t end = std::max<int64_t>(size, pos_);
        const int64_t now = Size();
        return now < 0 ? false : now == end || Truncate(end);
    }

    bool Seek(int64_t offset) override {
        if (offset < 0) return Fail(kErrInvalidParameter);
        pos_ = offset;
        return true;
    }
    bool SeekEnd() override {
        const int64_t size = Size();
        if (size < 0) return false;
        pos_ = size;
        return true;
    }
    int64_t Size() override {
        LARGE_INTEGER size;
        if (::GetFileSizeEx(handle_.get(), &size)) return size.QuadPart;
        FailLastError();
        return -1;
    }
    int64_t Tell() override { return pos_; }
    bool Truncate(int64_t size) override {
        LARGE_INTEGER to;
        to.QuadPart = size;
        return (::SetFilePointerEx(handle_.get(), to, nullptr, FILE_BEGIN) && ::SetEndOfFile(handle_.get())) ||
               FailLastError();
    }

private:
    static constexpr size_t kChunk = size_t{1} << 20;  // a multiple of every sector size

    // One pass through the aligned memory: the whole sectors from alignedAt
    // that hold the next `want` bytes, which start `skip` bytes into the first.
    struct Pass {
        uint64_t alignedAt;
        size_t skip;
        size_t want;
        size_t span;
    };
    Pass NextPass(uint64_t at, size_t left) const {
        const uint64_t alignedAt = at - at % sector_;
        const auto skip = static_cast<size_t>(at - alignedAt);
        const size_t want = std::min(left, kChunk - skip);
        return Pass{alignedAt, skip, want, RoundUp(skip + want)};
    }
    size_t RoundUp(size_t n) const { return (n + sector_ - 1) / sector_ * sector_; }
    bool Fail(int error) {
        lastError_ = error;
        return false;
    }
    bool FailLastError() { return Fail(SystemErrorFromWin32(::GetLastError())); }

    // The rule of unbuffered files, held here as well, so that a file system
    // that does not enforce it (wine's) shows a mistake the same way.
    bool Aligned(uint64_t offset, size_t bufferOffset, size_t length) const {
        const auto address = reinterpret_cast<uintptr_t>(buffer_.data() + bufferOffset);
        return offset % sector_ == 0 && length % sector_ == 0 && address % sector_ == 0;
    }

    // Reads whole sectors into the buffer at bufferOffset; got is short at the file's end.
    bool ReadAt(uint64_t offset, size_t bufferOffset, size_t length, DWORD& got) {
        if (!buffer_.Reserve(bufferOffset + length)) return Fail(kErrNotEnoughMemory);
        if (!Aligned(offset, bufferOffset, length)) return Fail(kErrInvalidParameter);
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(offset);
        if (!::SetFilePointerEx(handle_.get(), to, nullptr, FILE_BEGIN) ||
            !::ReadFile(handle_.get(), buffer_.data() + bufferOffset, static_cast<DWORD>(length), &got, nullptr)) {
            return FailLastError();
        }
        return true;
    }

    bool WriteAt(uint64_t offset, size_t length) {
        if (!Aligned(offset, 0, length)) return Fail(kErrInvalidParameter);
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(offset);
        DWORD written = 0;
        if (!::SetFilePointerEx(handle_.get(), to, nullptr, FILE_BEGIN) ||
            !::WriteFile(handle_.get(), buffer_.data(), static_cast<DWORD>(length), &written, nullptr)) {
            return FailLastError();
        }
        return written == length || Fail(kErrWriteFault);
    }

    // One sector of the file into the buffer at bufferOffset; zeros past the file's end.
    bool LoadSector(uint64_t offset, size_t bufferOffset, int64_t size) {
        std::memset(buffer_.data() + bufferOffset, 0, sector_);
        if (static_cast<int64_t>(offset) >= size) return true;
        DWORD got = 0;
        return ReadAt(offset, bufferOffset, sector_, got);
    }

    UniqueHandle handle_;
    const DWORD sector_;
    int& lastError_;
    int64_t pos_ = 0;
    PageBuffer buffer_;
};

}  // namespace

DriveInfo Win32Platform::GetDrive(char letter) {
    const int slot = MountedCards::SlotOf(letter);
    if (slot < 0) return {};
    DriveInfo drive;
    if (mounted_.Drive(letter, drive)) return drive;
    const char up = static_cast<char>('A' + slot);
    const wchar_t root[] = {static_cast<wchar_t>(up), L':', L'\\', 0};
    switch (::GetDriveTypeW(root)) {
        case DRIVE_NO_ROOT_DIR: return DriveInfo{up, {}, DriveType::NoRoot};
        case DRIVE_REMOVABLE: return DriveInfo{up, std::string{up, ':'}, DriveType::Removable};
        case DRIVE_UNKNOWN: return DriveInfo{up, std::string{up, ':'}, DriveType::Unknown};
        default: return DriveInfo{up, std::string{up, ':'}, DriveType::Other};
    }
}

void Win32Platform::MountCard(char letter, const std::string& root, std::shared_ptr<CardFileProvider> provider) {
    mounted_.Mount(letter, root, std::move(provider));
}

std::unique_ptr<File> Win32Platform::OpenSectorFile(const std::string& path) {
    std::unique_ptr<File> served;
    int error = 0;
    if (mounted_.OpenServed(path, served, error)) {
        if (!served) lastError_ = error;
        return served;
    }
    UniqueHandle handle(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING,
                                      FILE_FLAG_WRITE_THROUGH | FILE_FLAG_NO_BUFFERING | FILE_FLAG_BACKUP_SEMANTICS,
                                      nullptr));
    if (!handle.valid()) {
        FailLastError();
        return nullptr;
    }
    if (!IsRegularFile(handle.get(), false, error)) {
        Fail(error);
        return nullptr;
    }
    return std::make_unique<SectorFile>(std::move(handle), SectorSizeOf(path), lastError_);
}

}  // namespace tv
