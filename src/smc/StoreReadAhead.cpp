#include "smc/StoreReadAhead.h"

#include <algorithm>
#include <cstring>

#include "smc/WormChannel.h"

namespace tv {

void StoreReadAhead::NoteWrittenSectors(uint32_t sectors) {
    if (sectors < written_) Reset();
    written_ = sectors;
}

void StoreReadAhead::Reset() {
    written_ = 0;
    chunkCount_ = 0;
    failedChunk_ = UINT32_MAX;
    chunk_.clear();
    chunk_.shrink_to_fit();
}

bool StoreReadAhead::Fill(WormHandle& handle, uint32_t sector) {
    const uint32_t start = sector - sector % kChunkSectors;
    if (start == failedChunk_) return false;
    const uint32_t count = std::min(kChunkSectors, written_ - start);
    chunk_.resize(size_t{kChunkSectors} * kSectorSize);
    chunkCount_ = 0;
    if (WORM_READ_SECTORS(&handle, chunk_.data(), start, count) != kWormOk) {
        failedChunk_ = start;
        return false;
    }
    chunkFirst_ = start;
    chunkCount_ = count;
    return true;
}

int StoreReadAhead::Read(WormHandle& handle, uint8_t* destination, uint32_t first, uint32_t count) {
    if (destination == nullptr || count == 0 || uint64_t{first} + count > written_) {
        return WORM_READ_SECTORS(&handle, destination, first, count);
    }
    // Served from chunks only when every chunk of the run can be read; a run
    // that cannot is read exactly as asked, with the channel's own answer.
    uint8_t* out = destination;
    uint32_t sector = first;
    uint32_t left = count;
    while (left > 0) {
        const bool held = chunkCount_ != 0 && sector >= chunkFirst_ && sector - chunkFirst_ < chunkCount_;
        if (!held && !Fill(handle, sector)) return WORM_READ_SECTORS(&handle, destination, first, count);
        const uint32_t offset = sector - chunkFirst_;
        const uint32_t take = std::min(left, chunkCount_ - offset);
        std::memcpy(out, chunk_.data() + size_t{offset} * kSectorSize, size_t{take} * kSectorSize);
        out += size_t{take} * kSectorSize;
        sector += take;
        left -= take;
    }
    return kWormOk;
}

}  // namespace tv
