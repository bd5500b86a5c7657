#include "smc/WormChannel.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "app/AppContext.h"
#include "platform/Platform.h"
#include "smc/SectorBuffer.h"

namespace tv {

namespace {

constexpr char kInfoFileName[] = "WORMINFO.DAT";
constexpr char kCommFileName[] = "WORMCOMM.DAT";
constexpr size_t kMaxPathLength = 260;

// Largest transfer made through one buffer; longer runs go in several reads.
constexpr uint32_t kMaxSectorsPerTransfer = 16384;

// Info sector fields.
constexpr size_t kInfoCustId = 0;
constexpr size_t kInfoUid = 4;
constexpr size_t kInfoTotalSize = 20;
constexpr size_t kInfoNextWrite = 24;
constexpr size_t kInfoFlags = 28;
constexpr size_t kInfoCommandSelector = 29;
constexpr size_t kInfoRollback = 30;
constexpr size_t kInfoLastWrite = 64;
constexpr size_t kInfoPrintableUid = 256;
constexpr size_t kPrintableUidLength = 32;

// Command sector fields.
constexpr size_t kCommStatus = 4;
constexpr size_t kCommPayload = 5;
constexpr size_t kResponseSize = kSectorSize - kCommPayload;  // 507
constexpr uint8_t kStatusBusy = 254;
constexpr uint8_t kStatusBusyToo = 2;
constexpr uint8_t kStatusDone = 255;

constexpr uint8_t kOpenChannelCommand[] = {0x00, 0x02, 0x83, 0x01};
constexpr uint8_t kUnlockHeader[] = {0x00, 0x07, 0x80, 0x00, 0x04};
constexpr size_t kUnlockPosition = 4;
constexpr size_t kPinLength = 4;
constexpr char kRollbackText[] = "ROLLBACK!";  // sent with its terminating zero

using Sector = uint8_t[kSectorSize];

uint32_t BigEndian32(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

uint16_t BigEndian16(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

bool IsBusy(uint8_t status) { return status == kStatusBusy || status == kStatusBusyToo; }

// Reads until n bytes have arrived, the file ends, or it fails.
int64_t ReadFully(File& file, uint8_t* data, size_t n) {
    size_t done = 0;
    while (done < n) {
        const int64_t got = file.Read(data + done, n - done);
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    return static_cast<int64_t>(done);
}

// Reads count sectors from sector position `at` of a file into destination,
// through the transfer buffer when one is given (kept for the next transfer),
// else through a fresh one. A file that delivers fewer bytes than asked for
// fails: the caller would otherwise get bytes that are not on the card.
WormStatus ReadFileSectors(File* file, uint32_t at, uint32_t count, uint8_t* destination,
                           std::unique_ptr<SectorBuffer>* transfer = nullptr) {
    if (file == nullptr) return kWormReadFailed;
    if (count == 0) return kWormOk;
    if (!file->Seek(static_cast<int64_t>(at) * kSectorSize)) return kWormSeekFailed;
    std::unique_ptr<SectorBuffer> fresh;
    std::unique_ptr<SectorBuffer>& buffer = transfer != nullptr ? *transfer : fresh;
    while (count > 0) {
        const uint32_t sectors = std::min(count, kMaxSectorsPerTransfer);
        const size_t bytes = static_cast<size_t>(sectors) * kSectorSize;
        if (!buffer || buffer->Size() < bytes) {
            buffer.reset();
            buffer = std::make_unique<SectorBuffer>(bytes);
        }
        if (!buffer->Valid()) {
            buffer.reset();
            return kWormOutOfMemory;
        }
        if (ReadFully(*file, buffer->Data(), bytes) != static_cast<int64_t>(bytes)) {
            return kWormReadFailed;
        }
        std::memcpy(destination, buffer->Data(), bytes);
        destination += bytes;
        count -= sectors;
    }
    return kWormOk;
}

WormStatus ReadFirstSector(File* file, Sector& sector) {
    return ReadFileSectors(file, 0, 1, sector);
}

// Writes one sector at offset 0 of a file.
WormStatus WriteFirstSector(File* file, const Sector& sector) {
    if (file == nullptr) return kWormWriteFailed;
    SectorBuffer buffer(kSectorSize);
    if (!buffer.Valid()) return kWormOutOfMemory;
    std::memcpy(buffer.Data(), sector, kSectorSize);
    if (!file->Seek(0)) return kWormSeekFailed;
    if (!file->Write(buffer.Data(), kSectorSize)) return kWormWriteFailed;
    return kWormOk;
}

bool HasOneLetterDrive(const WormHandle* handle) {
    return handle != nullptr && handle->drive.size() == 1;
}

WormStatus ReadInfoSector(WormHandle* handle, Sector& sector) {
    if (!HasOneLetterDrive(handle)) return kWormInvalidArgument;
    return ReadFirstSector(handle->infoFile.get(), sector);
}

// A card whose info sector cannot be read counts as one with a pending rollback.
bool RollbackPending(WormHandle* handle) {
    Sector info{};
    if (ReadFirstSector(handle->infoFile.get(), info) != kWormOk) return true;
    return info[kInfoRollback] != 0;
}

// Reads the command sector until the card leaves the busy states; the final
// status byte is left in status and the sector that carried it in response.
// A card that stays busy past the limit fails.
WormStatus Poll(WormHandle* handle, uint8_t& status, Sector& response) {
    if (!IsBusy(status)) return kWormInvalidArgument;
    for (uint32_t reads = 0; reads < kWormPollLimit; ++reads) {
        const WormStatus read = ReadFirstSector(handle->commFile.get(), response);
        if (read != kWormOk) return read;
        status = response[kCommStatus];
        if (!IsBusy(status)) return kWormOk;
    }
    return kWormPollTimeout;
}

// A zeroed sector holding the command block at the handle's command offset;
// false when the block does not fit.
bool BuildCommandSector(const WormHandle& handle, const uint8_t* command, Sector& sector) {
    std::memset(sector, 0, kSectorSize);
    const size_t length = 2 + static_cast<size_t>(BigEndian16(command));
    if (handle.commandOffset > kSectorSize || length > kSectorSize - handle.commandOffset) {
        return false;
    }
    std::memcpy(sector + handle.commandOffset, command, length);
    return true;
}

WormStatus CheckCommSize(File& comm) {
    const int64_t size = comm.Size();
    if (size < 0) return kWormSeekFailed;
    return size == kSectorSize ? kWormOk : kWormCommSizeWrong;
}

// Probe mode: the open-channel command without the rollback test, with the
// command file's size checked before and after the write.
WormStatus ProbeOpenChannel(WormHandle* handle) {
    Sector sector{};
    if (!BuildCommandSector(*handle, kOpenChannelCommand, sector)) return kWormInvalidArgument;
    if (handle->commFile == nullptr) return kWormWriteFailed;
    WormStatus status = CheckCommSize(*handle->commFile);
    if (status != kWormOk) return status;
    status = WriteFirstSector(handle->commFile.get(), sector);
    if (status != kWormOk) return status;
    status = CheckCommSize(*handle->commFile);
    if (status != kWormOk) return status;
    uint8_t final = kStatusBusy;
    Sector answer{};
    status = Poll(handle, final, answer);
    if (status != kWormOk) return status;
    return final == kStatusDone ? kWormOk : kWormCommandFailed;
}

WormStatus ComposeCardPath(const std::string& root, const std::string& name, std::string& path) {
    path = Sys().CardFilePath(root, name);
    return path.size() <= kMaxPathLength ? kWormOk : kWormPathFailed;
}

// Checks that a card file exists and opens it for sector access.
WormStatus OpenCardFile(const std::string& path, std::unique_ptr<File>& file) {
    uint32_t attributes = 0;
    if (!Sys().GetAttributes(path, attributes)) return kWormFileMissing;
    file = Sys().OpenSectorFile(path);
    return file ? kWormOk : kWormOpenFailed;
}

WormStatus SectorCount(File& file, uint32_t& sectors) {
    const int64_t size = file.Size();
    if (size < 0) return kWormSeekFailed;
    const int64_t count = size / kSectorSize;
    sectors = static_cast<uint32_t>(
        std::min<int64_t>(count, std::numeric_limits<uint32_t>::max()));
    return kWormOk;
}

// Opens the continuation files until their sectors reach the card's total.
WormStatus OpenContinuationFiles(WormHandle& handle, const std::string& root, uint32_t total) {
    uint64_t accumulated = handle.storeSectors[0];
    for (int k = 1; k < kMaxStoreFiles; ++k) {
        std::string path;
        const WormStatus composed = ComposeCardPath(root, StoreFileName(k), path);
        if (composed != kWormOk) return composed;
        handle.storeFiles[k] = Sys().OpenSectorFile(path);
        if (!handle.storeFiles[k]) {
            handle.storeFileCount = static_cast<uint32_t>(k);
            return kWormOpenFailed;
        }
        const WormStatus counted = SectorCount(*handle.storeFiles[k], handle.storeSectors[k]);
        if (counted != kWormOk) return counted;
        // Every entry counts in the searches unless the total is met exactly.
        handle.storeFileCount = kMaxStoreFiles;
        if (handle.storeSectors[k] == 0) return kWormStoreInconsistent;
        const uint64_t reached = accumulated + handle.storeSectors[k];
        if (reached == total) {
            handle.storeFileCount = static_cast<uint32_t>(k + 1);
            return kWormOk;
        }
        if (reached > total) return kWormOk;
        accumulated = reached;
    }
    return kWormOk;
}

WormStatus OpenCard(WormHandle& handle, WormMode mode) {
    const DriveInfo drive = Sys().GetDrive(handle.drive[0]);
    if (drive.root.empty()) return kWormFileMissing;

    std::string infoPath;
    std::string commPath;
    std::string storePath;
    WormStatus status = ComposeCardPath(drive.root, kInfoFileName, infoPath);
    if (status == kWormOk) status = ComposeCardPath(drive.root, kCommFileName, commPath);
    if (status == kWormOk) status = ComposeCardPath(drive.root, StoreFileName(0), storePath);
    if (status != kWormOk) return status;

    status = OpenCardFile(commPath, handle.commFile);
    if (status != kWormOk) return status;
    status = OpenCardFile(infoPath, handle.infoFile);
    if (status != kWormOk) return status;
    status = OpenCardFile(storePath, handle.storeFiles[0]);
    if (status != kWormOk) return status;

    status = SectorCount(*handle.storeFiles[0], handle.storeSectors[0]);
    if (status != kWormOk) return status;
    Sector info{};
    status = ReadFirstSector(handle.infoFile.get(), info);
    if (status != kWormOk) return status;
    const uint32_t total = BigEndian32(info + kInfoTotalSize);
    if (handle.storeSectors[0] == total) {
        handle.storeFileCount = 1;
    } else {
        status = OpenContinuationFiles(handle, drive.root, total);
        if (status != kWormOk) return status;
    }

    status = ReadFirstSector(handle.infoFile.get(), info);
    if (status != kWormOk) return status;
    const uint8_t selector = info[kInfoCommandSelector];
    if (selector > 1) return kWormUnsupported;
    handle.commandOffset = 2u * selector + 2u;

    if (mode == WormMode::Probe) return ProbeOpenChannel(&handle);
    return WORM_SEND_COMMAND(&handle, kOpenChannelCommand, nullptr);
}

// Finds the store file that holds a global sector: its index and the sector's
// position in it; false when the sector lies beyond the store.
bool LocateSector(const WormHandle& handle, uint64_t sector, uint32_t& index, uint32_t& offset) {
    const uint32_t files = std::min<uint32_t>(handle.storeFileCount, kMaxStoreFiles);
    uint64_t before = 0;
    for (uint32_t i = 0; i < files; ++i) {
        const uint64_t end = before + handle.storeSectors[i];
        if (sector < end) {
            index = i;
            offset = static_cast<uint32_t>(sector - before);
            return true;
        }
        before = end;
    }
    return false;
}

}  // namespace

std::string StoreFileName(int index) {
    if (index < 0 || index >= kMaxStoreFiles) return {};
    std::string name = "WORMSTOR.DAT";
    if (index > 0) {
        name[7] = static_cast<char>(index < 10 ? '0' + index : 'A' + (index - 10));
    }
    return name;
}

WormStatus WORM_INIT(const char* drive, WormMode mode, Owned<WormHandle>& handle) {
    if (drive == nullptr) return kWormInvalidArgument;
    handle.reset();
    Owned<WormHandle> opened;
    try {
        opened = MakeOwned<WormHandle>();
    } catch (const std::bad_alloc&) {
        return kWormOutOfMemory;
    }
    if (std::strlen(drive) != 1) return kWormInvalidArgument;
    opened->drive.assign(1, drive[0]);

    const WormStatus status = OpenCard(*opened, mode);
    if (status != kWormOk) return status;  // the half-opened card closes here

    handle = std::move(opened);
    // The card stays open whatever it answers to the PIN.
    WORM_UNLOCK(handle.get(), kSmcPin);
    return kWormOk;
}

WormStatus WORM_CLOSE(Owned<WormHandle>& handle) {
    if (!handle) return kWormInvalidArgument;
    handle->commFile.reset();
    handle->infoFile.reset();
    for (auto& file : handle->storeFiles) file.reset();
    handle.reset();
    return kWormOk;
}

WormStatus WORM_READ_SECTORS(WormHandle* handle, void* destination, uint32_t first,
                             uint32_t count) {
    if (handle == nullptr || destination == nullptr) return kWormInvalidArgument;
    if (count == 0) return kWormOk;
    uint32_t firstFile = 0;
    uint32_t firstOffset = 0;
    uint32_t lastFile = 0;
    uint32_t lastOffset = 0;
    // A run that does not lie wholly inside the store is refused as a request
    // outside the card.
    if (!LocateSector(*handle, first, firstFile, firstOffset) ||
        !LocateSector(*handle, static_cast<uint64_t>(first) + count - 1, lastFile, lastOffset)) {
        return kWormInvalidArgument;
    }
    auto* out = static_cast<uint8_t*>(destination);
    if (firstFile == lastFile) {
        return ReadFileSectors(handle->storeFiles[firstFile].get(), firstOffset, count, out, &handle->transfer);
    }
    if (lastFile != firstFile + 1) return kWormInvalidArgument;
    const uint32_t available = handle->storeSectors[firstFile] - firstOffset;
    const WormStatus status =
        ReadFileSectors(handle->storeFiles[firstFile].get(), firstOffset, available, out, &handle->transfer);
    if (status != kWormOk) return status;
    return ReadFileSectors(handle->storeFiles[lastFile].get(), 0, count - available,
                           out + static_cast<size_t>(available) * kSectorSize, &handle->transfer);
}

WormStatus WORM_SEND_COMMAND(WormHandle* handle, const uint8_t* command, uint8_t* response) {
    if (handle == nullptr || command == nullptr) return kWormInvalidArgument;

    if (RollbackPending(handle)) {
        Sector rollback{};
        std::memcpy(rollback, kRollbackText, sizeof kRollbackText);
        // Whether the write went through shows in the flag read next.
        WriteFirstSector(handle->infoFile.get(), rollback);
        if (RollbackPending(handle)) return kWormRollbackPending;
    }

    Sector sector{};
    if (!BuildCommandSector(*handle, command, sector)) return kWormInvalidArgument;
    const WormStatus written = WriteFirstSector(handle->commFile.get(), sector);
    if (written != kWormOk) return written;

    uint8_t final = kStatusBusy;
    Sector answer{};
    if (Poll(handle, final, answer) != kWormOk || final != kStatusDone) {
        return kWormCommandFailed;
    }
    if (response != nullptr) std::memcpy(response, answer + kCommPayload, kResponseSize);
    return kWormOk;
}

WormStatus WORM_UNLOCK(WormHandle* handle, const char* pin) {
    if (handle == nullptr || pin == nullptr) return kWormInvalidArgument;
    // Exactly four characters go to the card; never read past a shorter text.
    if (strnlen(pin, kPinLength + 1) != kPinLength) return kWormInvalidArgument;

    Sector sector{};
    std::memcpy(sector + kUnlockPosition, kUnlockHeader, sizeof kUnlockHeader);
    std::memcpy(sector + kUnlockPosition + sizeof kUnlockHeader, pin, kPinLength);
    WormStatus status = WriteFirstSector(handle->commFile.get(), sector);
    if (status != kWormOk) return status;

    uint8_t final = kStatusBusy;
    Sector answer{};
    status = Poll(handle, final, answer);
    if (status != kWormOk) return status;
    switch (final) {
        case 0: case 1: case 2: case 4: case 5: case 6: return kWormUnlockStatus0To6;
        case 3: return kWormUnlockStatus3;
        case kStatusDone: break;
        default: return kWormUnlockStatus7To254;
    }
    if (BigEndian16(answer + kCommPayload) != 2) return kWormUnsupported;
    switch (BigEndian16(answer + kCommPayload + 2)) {
        case 0x0000: return kWormOk;
        case 0x0003: return kWormUnlockWord0003;
        case 0x8000: return kWormUnlockWord8000;
        case 0x8001: return kWormUnlockWord8001;
        case 0x8003: return kWormUnlockWord8003;
        case 0x8004: return kWormUnlockWord8004;
        default: return kWormUnlockWordOther;
    }
}

bool WORM_GET_USAGE(WormHandle* handle, WormUsage& usage) {
    Sector info{};
    if (ReadInfoSector(handle, info) != kWormOk) return false;
    usage.nextWriteIndex = BigEndian32(info + kInfoNextWrite);
    usage.lastWriteIndex = BigEndian32(info + kInfoLastWrite);
    usage.totalSectors = BigEndian32(info + kInfoTotalSize);
    uint64_t stored = 0;
    for (uint32_t i = 0; i < handle->storeFileCount && i < kMaxStoreFiles; ++i) stored += handle->storeSectors[i];
    handle->readAhead.NoteWrittenSectors(
        static_cast<uint32_t>(std::min<uint64_t>({usage.nextWriteIndex, usage.totalSectors, stored})));
    return true;
}

WormStatus WORM_GET_FUSED_STATE(WormHandle* handle, int& fused) {
    Sector info{};
    const WormStatus status = ReadInfoSector(handle, info);
    if (status != kWormOk) return status;
    fused = (info[kInfoFlags] & 0x80) != 0 ? 1 : 0;
    return kWormOk;
}

bool WORM_GET_CUST_ID(WormHandle* handle, char custId[4]) {
    Sector info{};
    if (custId == nullptr || ReadInfoSector(handle, info) != kWormOk) return false;
    std::memcpy(custId, info + kInfoCustId, 4);
    return true;
}

bool WORM_GET_UID(WormHandle* handle, uint8_t uid[16]) {
    Sector info{};
    if (uid == nullptr || ReadInfoSector(handle, info) != kWormOk) return false;
    std::memcpy(uid, info + kInfoUid, 16);
    return true;
}

WormStatus ReadPrintableUid(WormHandle* handle, char printableUid[32]) {
    if (printableUid == nullptr) return kWormInvalidArgument;
    Sector info{};
    const WormStatus status = ReadInfoSector(handle, info);
    if (status != kWormOk) return status;
    const uint8_t* uid = info + kInfoPrintableUid;
    if (!std::all_of(uid, uid + kPrintableUidLength, [](uint8_t c) { return c >= 0x20 && c <= 0x7E; })) {
        return kWormUidNotPrintable;
    }
    std::memcpy(printableUid, uid, kPrintableUidLength);
    return kWormOk;
}

bool WORM_GET_PRINTABLE_UID(WormHandle* handle, char printableUid[32]) {
    return ReadPrintableUid(handle, printableUid) == kWormOk;
}

}  // namespace tv
