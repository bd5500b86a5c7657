// The card channel: a card opened by its drive letter, its info sector, commands
// through the command sector, and runs of store sectors across the store files.
// Every operation returns a WormStatus; none of them logs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/Owned.h"
#include "smc/SectorBuffer.h"
#include "smc/StoreReadAhead.h"

namespace tv {

class File;

enum WormStatus : int {
    kWormOk = 0,
    kWormInvalidArgument = 1,
    kWormFileMissing = 2,
    kWormOpenFailed = 3,
    kWormReadFailed = 4,
    kWormWriteFailed = 5,
    kWormSeekFailed = 6,
    kWormUnsupported = 8,
    kWormRollbackPending = 9,
    kWormCommandFailed = 11,
    kWormUnlockStatus0To6 = 12,
    kWormUnlockStatus7To254 = 13,
    kWormUnlockStatus3 = 14,
    kWormOutOfMemory = 15,
    kWormCopyFailed = 16,
    kWormStoreInconsistent = 17,
    kWormUnlockWord0003 = 18,
    kWormUnlockWord8000 = 19,
    kWormUnlockWord8001 = 20,
    kWormUnlockWord8004 = 21,
    kWormUnlockWordOther = 22,
    kWormUnlockWord8003 = 23,
    kWormCommSizeWrong = 24,
    kWormPollTimeout = 25,  // the card stayed busy past the polling limit
    kWormUidNotPrintable = 26,  // the info sector's printable UID is not 32 printable ASCII characters
    kWormPathFailed = 999,
};

enum class WormMode { Probe, Data };

constexpr uint32_t kSectorSize = 512;
constexpr int kMaxStoreFiles = 16;
constexpr char kSmcPin[] = "9893";
// Reads of the command sector a command may take before the card counts as hung.
constexpr uint32_t kWormPollLimit = 100000;

struct WormHandle {
    std::string drive;  // one letter, no colon
    std::unique_ptr<File> infoFile;
    std::unique_ptr<File> commFile;
    std::unique_ptr<File> storeFiles[kMaxStoreFiles];
    uint32_t storeSectors[kMaxStoreFiles] = {};
    uint32_t storeFileCount = 0;
    uint32_t commandOffset = 2;
    // The page-aligned buffer of store transfers, kept from one to the next
    // (a fresh one for every transfer costs as much as the copy).
    std::unique_ptr<SectorBuffer> transfer;
    // The written part of the store, learnt from the usage counters, read ahead.
    StoreReadAhead readAhead;
};

// The card's counters from the info sector.
struct WormUsage {
    uint32_t nextWriteIndex = 0;
    uint32_t lastWriteIndex = 0;
    uint32_t totalSectors = 0;
};

// Releases what `handle` holds, then opens the card at the drive letter.
WormStatus WORM_INIT(const char* drive, WormMode mode, Owned<WormHandle>& handle);
WormStatus WORM_CLOSE(Owned<WormHandle>& handle);
// Copies count sectors of the store from global sector `first` into destination
// (count * 512 bytes), with one read of the store file (two across files).
WormStatus WORM_READ_SECTORS(WormHandle* handle, void* destination, uint32_t first, uint32_t count);
// Sends one command block (16-bit big-endian length, then the bytes) and waits
// for the card; the 507 response bytes go to response when given.
WormStatus WORM_SEND_COMMAND(WormHandle* handle, const uint8_t* command, uint8_t* response);
WormStatus WORM_UNLOCK(WormHandle* handle, const char* pin);

bool WORM_GET_USAGE(WormHandle* handle, WormUsage& usage);
// 1 or 0 in fused when the status is kWormOk.
WormStatus WORM_GET_FUSED_STATE(WormHandle* handle, int& fused);
bool WORM_GET_CUST_ID(WormHandle* handle, char custId[4]);
bool WORM_GET_UID(WormHandle* handle, uint8_t uid[16]);
// 32 printable ASCII characters; callers pass a zeroed 33-byte buffer and read
// it as text. Anything else in the info sector fails: such text never reaches
// a file, a list or the terminal.
bool WORM_GET_PRINTABLE_UID(WormHandle* handle, char printableUid[32]);
// The same, with the reason of a failure (kWormUidNotPrintable for damage).
WormStatus ReadPrintableUid(WormHandle* handle, char printableUid[32]);

// Store file names: WORMSTOR.DAT, then WORMSTO1.DAT ... WORMSTO9.DAT, WORMSTOA.DAT ... WORMSTOF.DAT.
std::string StoreFileName(int index);

}  // namespace tv
