#include "emulator/BlockChain.h"

#include <cstring>

#include "emulator/StoreImage.h"

namespace tv {

BlockChain::BlockChain(StoreImage& image) : image_(image) {}

uint32_t BlockChain::NextBlockNumber() const { return image_.SectorsWritten(); }

bool BlockChain::Append(FramedBlock& block, const BlockFault& fault) {
    const size_t p = block.paddedLength;
    if (block.bytes.size() < p + kTrailerBytes || block.bytes.size() % kSectorBytes != 0) {
        return false;
    }
    uint8_t* trailer = block.bytes.data() + p;
    std::memcpy(trailer, lastHash_.data(), lastHash_.size());
    if (fault.breakChain) {
        for (size_t i = 0; i < kDigestSize; ++i) trailer[i] ^= 0x5A;
    }
    const DigestBytes current = HashBuffer(block.bytes.data(), p + kDigestSize);
    std::memcpy(trailer + kDigestSize, current.data(), current.size());
    if (fault.changeAt >= 0 && static_cast<size_t>(fault.changeAt) < p) {
        block.bytes[static_cast<size_t>(fault.changeAt)] = fault.changeTo;
    }
    if (!image_.Append(block.bytes.data(), block.SectorCount())) return false;
    lastHash_ = current;
    ++blockCount_;
    if (block.SectorCount() > 1) ++multiSectorBlocks_;
    ++blocksByType_[block.recordType];
    return true;
}

}  // namespace tv
