// The firmware of a Secure Memory Card, played over a card image folder: it
// answers the command sector as a card does and serves the info and store
// sectors from the image, never changing the image. Faults can be injected.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/CardFiles.h"

namespace tv {

class Platform;

struct EmulatorFaults {
    int busyCycles = 0;              // busy answers (status 254) before each final one
    int commandStatus = 255;         // final status of the open-channel and other commands
    int unlockStatus = 255;          // final status of the unlock command
    uint16_t unlockLength = 2;       // payload length of the unlock answer
    uint16_t unlockWord = 0x0000;    // status word of the unlock answer (a wrong PIN gets 0x8003)
    bool rollbackSticks = false;     // the rollback flag stays set after the rollback sector
    bool neverReady = false;         // every answer stays busy
    std::optional<uint32_t> readErrorAtSector;  // a store read touching this global sector fails
    // Info sector reads that succeed before every later one fails (-1: none fails).
    int infoReadsBeforeError = -1;
    // The card was pulled out: every later read of its store and info files fails.
    bool removed = false;
};

// A real card's speed as a benchmark models it: every read request costs a fixed
// time plus its bytes at the card's bandwidth. The time is added up, never
// waited for. Zero for either part leaves that part out.
struct CardLatency {
    double secondsPerRequest = 0;  // e.g. 0.0005 for a card behind a USB reader
    double bytesPerSecond = 0;     // e.g. 90e6
};

// The read requests a card served, of all its files and of its store alone
// (with the bytes and the sectors they touched), and the card time they cost
// under the latency model.
struct CardReadCounters {
    uint64_t requests = 0;
    uint64_t storeRequests = 0;
    uint64_t storeBytes = 0;
    uint64_t storeSectors = 0;
    double modelledSeconds = 0;
};

// The card: serves WORMINFO.DAT, WORMCOMM.DAT and the store files of the image
// folder. Everything the computer writes stays in memory.
class SmcEmulator : public CardFileProvider, public std::enable_shared_from_this<SmcEmulator> {
public:
    static constexpr uint16_t kWrongPinWord = 0x8003;

    SmcEmulator(Platform& platform, std::string imageFolder, EmulatorFaults faults);

    bool Serves(const std::string& name) const override;
    std::unique_ptr<File> OpenCardFile(const std::string& name, int& error) override;

    // The faults in force; they may be changed while the card is open.
    EmulatorFaults& Faults() { return faults_; }
    const std::string& ImageFolder() const { return folder_; }

    // What the card has seen: command sectors written, rollback sectors written,
    // reads of the command sector, and the last command block (length and bytes).
    int CommandWrites() const { return commandWrites_; }
    int RollbackWrites() const { return rollbackWrites_; }
    int CommandReads() const { return commandReads_; }
    const std::vector<uint8_t>& LastCommand() const { return lastCommand_; }
    bool RollbackCleared() const { return rollbackCleared_; }
    void SetLatency(const CardLatency& latency) { latency_ = latency; }
    const CardReadCounters& ReadCounters() const { return reads_; }
    void ResetReadCounters() { reads_ = CardReadCounters{}; }

    // --- used by the files this card serves ------------------------------------
    // A whole sector written at offset 0 of WORMCOMM.DAT.
    void CommandWritten(const uint8_t* sector);
    // A write at offset 0 of WORMINFO.DAT.
    void InfoWritten(const uint8_t* data, size_t n);
    // The card's answer as a read of the command sector sees it; false before
    // the first command. Counts as one poll.
    bool Answer(std::array<uint8_t, 512>& sector);
    // Whether an info read may go through (counts it).
    bool InfoReadAllowed();
    bool StoreReadFails(uint64_t firstSector, uint64_t lastSector) const;
    // One read request of n bytes served by the info or command sector.
    void ReadServed(size_t n);
    // One read request of the store served: n bytes from byte `offset` of a
    // store file.
    void StoreReadServed(uint64_t offset, size_t n);

private:
    // The image file of a served name, found without regard to case; empty when absent.
    std::string ImagePath(const std::string& name) const;
    int StoreIndex(const std::string& name) const;
    uint32_t CommandOffset();
    // Global number of the first sector of store file `index` in the image.
    uint64_t StoreBase(int index) const;

    Platform& platform_;
    std::string folder_;
    EmulatorFaults faults_;
    std::optional<std::array<uint8_t, 512>> answer_;
    int busyLeft_ = 0;
    bool rollbackCleared_ = false;
    int commandWrites_ = 0;
    int rollbackWrites_ = 0;
    int commandReads_ = 0;
    int infoReads_ = 0;
    std::vector<uint8_t> lastCommand_;
    CardLatency latency_;
    CardReadCounters reads_;
};

// Makes the image folder appear as a card at the drive letter; the card is
// returned so that a caller can look at what it saw or change its faults.
std::shared_ptr<SmcEmulator> MountEmulatedCard(Platform& platform, char letter,
                                               const std::string& imageFolder,
                                               EmulatorFaults faults = {});

}  // namespace tv
