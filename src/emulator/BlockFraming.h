// The framing of store blocks as a scale writes it: a big-endian content length,
// the content, padding to a multiple of 16 bytes and the 64-byte trailer of the
// previous and the current hash, in whole 512-byte sectors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tv {

constexpr uint32_t kSectorBytes = 512;
constexpr uint32_t kTrailerBytes = 64;

// Padded length P of a long-form block of content length L, and of a short-form
// block of short length S; the sectors a block of padded length P takes.
constexpr uint32_t LongPaddedLength(uint32_t contentLength) {
    return (contentLength + 19) / 16 * 16;
}
constexpr uint32_t ShortPaddedLength(uint32_t shortLength) { return (shortLength + 21) / 16 * 16; }
constexpr uint32_t SectorCountFor(uint32_t paddedLength) { return (paddedLength + 575) / 512; }

// The raw sectors of one block and where its trailer starts.
struct FramedBlock {
    std::vector<uint8_t> bytes;  // a whole number of sectors
    uint32_t paddedLength = 0;
    char recordType = 0;  // the block's record type letter

    uint32_t SectorCount() const { return static_cast<uint32_t>(bytes.size() / kSectorBytes); }
};

void PutBe16(uint8_t* at, uint16_t value);
void PutBe32(uint8_t* at, uint32_t value);

// A long-form block whose content (from offset 4) is the text as it stands.
FramedBlock FrameLongBlock(std::string_view content, char recordType);
// A short-form block: the content, beginning with the record type letter,
// from offset 6.
FramedBlock FrameShortBlock(std::string_view content);

}  // namespace tv
