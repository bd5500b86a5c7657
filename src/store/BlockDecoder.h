// Framing of store blocks: the header of a block's first sector, whole blocks
// read from the open card, and the trailer's hash values.
#pragma once

#include <cstdint>

#include "store/WormBlock.h"

namespace tv {

class AppContext;

constexpr uint32_t kBlockSectorSize = 512;
// No scale writes blocks anywhere near this size; a header that claims more is
// damage and is refused before anything is allocated for it.
constexpr uint32_t kMaxBlockSectors = 8192;

// Decodes the first sector (512 bytes) of the block at blockNumber. dX long-form
// blocks must have DS version 2. The ZT4 record type follows from the kind
// element of the block's XML (block 0 is the identifier block I).
bool DecodeBlockHeader(const uint8_t* sector, ScaleFamily family, uint32_t blockNumber, WormBlock& block);

// Reads the block at blockNumber from the context's open card: the first sector,
// then all its sectors, and the trailer. Fails cleanly when the block claims more
// sectors than the store holds. damaged, when given, tells a block that was read
// but is not sound (its header refused) from a failed read.
bool ReadBlock(AppContext& ctx, ScaleFamily family, uint32_t blockNumber, WormBlock& block,
               bool* damaged = nullptr);

// dX: the first sector of the block that a decoded sector belongs to. Every
// sector of a long-form block carries the block's record type and its own index
// within the block, so a backward scan meets a block's last sector first; the
// block starts that many sectors earlier, where a sector of index 0 and the same
// type must begin a block that reaches the sector found. A short-form block or a
// first sector is its own start. False when the card does not hold such a start
// (a failed read is logged by the card channel).
bool FindDxBlockStart(AppContext& ctx, uint32_t sector, const WormBlock& decoded, uint32_t& first);

// The block's current hash is the SHA-256 of its first P + 32 bytes (length,
// content, padding, previous hash).
bool BlockHashMatches(const WormBlock& block);

// Padded length and sector count of a long-form (L) or short-form (S) block.
uint64_t LongFormPaddedLength(uint32_t contentLength);
uint64_t ShortFormPaddedLength(uint16_t shortLength);
uint64_t SectorCountFor(uint64_t paddedLength);

}  // namespace tv
