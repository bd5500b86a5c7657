// Read-ahead of the written part of a card's store. Sectors below the next write
// index never change once written, so runs of them are read in large aligned
// transfers through the card channel and served from memory; a real card behind
// a USB reader answers few requests a second but streams quickly. Everything at
// or above the written part, and every run the large transfer cannot serve, is
// read exactly as asked.
#pragma once

#include <cstdint>
#include <vector>

namespace tv {

struct WormHandle;

class StoreReadAhead {
public:
    // Sectors of one transfer: 1 MiB, a multiple of every page and sector size.
    static constexpr uint32_t kChunkSectors = 2048;

    // The store holds `sectors` written sectors (the next write index as the card
    // gave it). A smaller count than before drops what is held.
    void NoteWrittenSectors(uint32_t sectors);
    // Forgets the written part and what is held.
    void Reset();
    uint32_t WrittenSectors() const { return written_; }

    // Copies count sectors from global sector first into destination, through
    // the chunks of the written part where the run lies wholly inside it, else
    // with one read of the channel. A WormStatus.
    int Read(WormHandle& handle, uint8_t* destination, uint32_t first, uint32_t count);

private:
    // Reads the chunk holding sector `sector`; false when the channel refuses it.
    bool Fill(WormHandle& handle, uint32_t sector);

    uint32_t written_ = 0;
    std::vector<uint8_t> chunk_;
    uint32_t chunkFirst_ = 0;
    uint32_t chunkCount_ = 0;  // 0: nothing held
    // The chunk whose transfer failed: its sectors are read one run at a time, so
    // that a bad sector fails only the runs that touch it.
    uint32_t failedChunk_ = UINT32_MAX;
};

}  // namespace tv
