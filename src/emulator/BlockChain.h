// Seals blocks into the store in order: each block's trailer gets the current
// hash of the block before it (zero for the first block) and its own current
// hash, the SHA-256 of its first P + 32 bytes. Damage for negative tests is
// applied here, so that everything else about the block stays as a scale makes it.
#pragma once

#include <cstdint>
#include <map>

#include "crypto/Digest.h"
#include "emulator/BlockFraming.h"

namespace tv {

class StoreImage;

struct BlockFault {
    bool breakChain = false;  // the previous hash is not the predecessor's current hash
    int64_t changeAt = -1;    // this byte changes after the hash is made ...
    uint8_t changeTo = 0;     // ... to this value
};

class BlockChain {
public:
    explicit BlockChain(StoreImage& image);

    // The block number (first sector) the next block gets.
    uint32_t NextBlockNumber() const;
    // The current hash of the last block sealed: what a signature block signs.
    const DigestBytes& LastHash() const { return lastHash_; }

    // Seals the block and appends it; false when the store cannot be written.
    bool Append(FramedBlock& block, const BlockFault& fault = {});

    uint32_t BlockCount() const { return blockCount_; }
    uint32_t MultiSectorBlocks() const { return multiSectorBlocks_; }
    const std::map<char, uint32_t>& BlocksByType() const { return blocksByType_; }

private:
    StoreImage& image_;
    DigestBytes lastHash_{};
    uint32_t blockCount_ = 0;
    uint32_t multiSectorBlocks_ = 0;
    std::map<char, uint32_t> blocksByType_;
};

}  // namespace tv
