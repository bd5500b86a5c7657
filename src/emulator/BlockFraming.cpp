#include "emulator/BlockFraming.h"

#include <cstring>

namespace tv {

void PutBe16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value >> 8);
    at[1] = static_cast<uint8_t>(value);
}

void PutBe32(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value >> 24);
    at[1] = static_cast<uint8_t>(value >> 16);
    at[2] = static_cast<uint8_t>(value >> 8);
    at[3] = static_cast<uint8_t>(value);
}

FramedBlock FrameLongBlock(std::string_view content, char recordType) {
    FramedBlock block;
    const auto length = static_cast<uint32_t>(content.size());
    block.recordType = recordType;
    block.paddedLength = LongPaddedLength(length);
    block.bytes.assign(static_cast<size_t>(SectorCountFor(block.paddedLength)) * kSectorBytes, 0);
    PutBe32(block.bytes.data(), length);
    if (!content.empty()) std::memcpy(block.bytes.data() + 4, content.data(), content.size());
    return block;
}

FramedBlock FrameShortBlock(std::string_view content) {
    FramedBlock block;
    const auto length = static_cast<uint16_t>(content.size());
    block.recordType = content.empty() ? 0 : content[0];
    block.paddedLength = ShortPaddedLength(length);
    block.bytes.assign(static_cast<size_t>(SectorCountFor(block.paddedLength)) * kSectorBytes, 0);
    PutBe16(block.bytes.data() + 4, length);
    if (!content.empty()) std::memcpy(block.bytes.data() + 6, content.data(), length);
    return block;
}

}  // namespace tv
