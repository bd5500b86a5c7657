#include "store/BlockDecoder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "app/AppContext.h"
#include "crypto/Digest.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "smc/SmcAccess.h"

namespace tv {

namespace {

uint32_t Be32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

// The record type of a ZT4 XML block from the kind element after "</cte>" in the
// part of the content that the first sector holds.
char Zt4RecordType(const uint8_t* content, size_t available) {
    const std::string_view text(reinterpret_cast<const char*>(content), available);
    const size_t cte = text.find("</cte>");
    if (cte == std::string_view::npos || cte + 10 > text.size() || text[cte + 6] != '<') return 'T';
    const std::string_view kind = text.substr(cte + 7, 3);
    if (kind == "fpg") return 'O';
    if (kind == "fsg") return 'S';
    if (kind == "fcd" || kind == "fcm" || kind == "fcy") return 'E';
    return 'T';
}

uint32_t StoreSectors(const AppContext& ctx) {
    if (!ctx.worm) return 0;
    uint64_t total = 0;
    for (uint32_t i = 0; i < ctx.worm->storeFileCount && i < kMaxStoreFiles; ++i) {
        total += ctx.worm->storeSectors[i];
    }
    return static_cast<uint32_t>(std::min<uint64_t>(total, UINT32_MAX));
}

}  // namespace

uint64_t LongFormPaddedLength(uint32_t contentLength) { return (uint64_t{contentLength} + 19) & ~uint64_t{15}; }
uint64_t ShortFormPaddedLength(uint16_t shortLength) { return (uint64_t{shortLength} + 21) & ~uint64_t{15}; }
uint64_t SectorCountFor(uint64_t paddedLength) { return (paddedLength + 575) / 512; }

bool DecodeBlockHeader(const uint8_t* sector, ScaleFamily family, uint32_t blockNumber, WormBlock& block) {
    if (sector == nullptr) {
        TV_LOG_ERROR(kModCore, "Populate store info failed");
        return false;
    }
    block = WormBlock{};
    const uint32_t length = Be32(sector);
    uint64_t padded = 0;
    if (length != 0) {
        block.contentLength = length;
        padded = LongFormPaddedLength(length);
        if (family == ScaleFamily::Zt4) {
            block.recordType = blockNumber == 0 ? 'I' : Zt4RecordType(sector + 4, std::min<size_t>(length, 508));
        } else {
            block.recordType = static_cast<char>(sector[8]);
            block.blockIndex = Be16(sector + 5);
            if (sector[10] != 2) {
                ShowMessage(240, kMbIconError);
                TV_LOG_ERROR(kModCore, "Invalid DS version found");
                return false;
            }
            char text[32];
            std::snprintf(text, sizeof text, "%02X|%08X|%04X|%08X;", 2u, Be32(sector + 11),
                          static_cast<unsigned>(Be16(sector + 15)), Be32(sector + 17));
            block.bookKeeping = text;
        }
    } else {
        block.shortLength = Be16(sector + 4);
        block.recordType = static_cast<char>(sector[6]);
        padded = ShortFormPaddedLength(block.shortLength);
    }
    const uint64_t sectors = SectorCountFor(padded);
    if (sectors > kMaxBlockSectors) {
        char message[256];
        std::snprintf(message, sizeof message, "Block of unexpected size found. BlockNum - %u", blockNumber);
        TV_LOG_ERROR(kModCore, message);
        return false;
    }
    block.paddedLength = static_cast<uint32_t>(padded);
    block.sectorCount = static_cast<uint32_t>(sectors);
    return true;
}

bool ReadBlock(AppContext& ctx, ScaleFamily family, uint32_t blockNumber, WormBlock& block, bool* damaged) {
    if (damaged != nullptr) *damaged = false;
    std::vector<uint8_t> first(kBlockSectorSize, 0);
    if (!GetSmcBlocks(ctx, 1, first.data(), blockNumber)) return false;
    if (!DecodeBlockHeader(first.data(), family, blockNumber, block)) {
        if (damaged != nullptr) *damaged = true;
        return false;
    }
    const uint32_t storeSectors = StoreSectors(ctx);
    if (uint64_t{blockNumber} + block.sectorCount > storeSectors) {
        char message[256];
        std::snprintf(message, sizeof message, "Block runs past the end of the store. BlockNum - %u", blockNumber);
        TV_LOG_ERROR(kModCore, message);
        if (damaged != nullptr) *damaged = true;
        return false;
    }
    if (block.sectorCount > 1) {
        block.bytes.assign(size_t{block.sectorCount} * kBlockSectorSize, 0);
        if (!GetSmcBlocks(ctx, block.sectorCount, block.bytes.data(), blockNumber)) return false;
    } else {
        block.bytes = std::move(first);
    }
    const uint8_t* trailer = block.bytes.data() + block.paddedLength;
    std::copy_n(trailer, 32, block.previousHash.begin());
    std::copy_n(trailer + 32, 32, block.currentHash.begin());
    return true;
}

bool FindDxBlockStart(AppContext& ctx, uint32_t sector, const WormBlock& decoded, uint32_t& first) {
    first = sector;
    if (decoded.contentLength == 0 || decoded.blockIndex == 0) return true;
    if (decoded.blockIndex > sector) return false;
    const uint32_t start = sector - decoded.blockIndex;
    uint8_t bytes[kBlockSectorSize] = {};
    if (!GetSmcBlocks(ctx, 1, bytes, start)) return false;
    WormBlock head;
    if (!DecodeBlockHeader(bytes, ScaleFamily::Dx, start, head)) return false;
    // The sector found must lie within a block of the same type that starts there.
    if (head.contentLength == 0 || head.blockIndex != 0 || head.recordType != decoded.recordType ||
        head.sectorCount <= decoded.blockIndex) {
        return false;
    }
    first = start;
    return true;
}

bool BlockHashMatches(const WormBlock& block) {
    const size_t hashed = size_t{block.paddedLength} + 32;
    if (block.bytes.size() < hashed + 32) return false;
    const DigestBytes digest = HashBuffer(block.bytes.data(), hashed);
    return std::equal(digest.begin(), digest.end(), block.currentHash.begin());
}

}  // namespace tv
