// Archive lines of a card, written for the tests apart from the archive writer:
// every block of the open card read with ReadBlock and written as one CSV line in
// the dX archive format, so that archives of any shape (whole cards, the leading
// blocks and a later range, damaged blocks) can be made and then changed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/AppContext.h"
#include "crypto/Digest.h"
#include "crypto/TextCodec.h"
#include "smc/SmcAccess.h"
#include "store/BlockDecoder.h"

namespace tv::test {

struct CardBlock {
    uint32_t number = 0;
    char type = 0;
    bool shortForm = false;
    uint32_t paddedLength = 0;
    uint32_t sectors = 0;
    std::vector<uint8_t> bytes;  // the N sectors as the store holds them
    std::string line;            // the archive line, "\n" included
};

struct CsvOptions {
    // The first sector's DS version as found instead of the constant 2 the writer
    // prints (which makes a block of another version fail its hash check instead).
    bool dsVersionAsFound = false;
};

inline uint32_t Be32At(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}
inline uint16_t Be16At(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

// "%04X;%c;%02X|%08X|%04X|%08X;" of the sector header at s, with the DS version given.
inline std::string BookKeepingText(const uint8_t* s, unsigned dsVersion) {
    char text[64];
    std::snprintf(text, sizeof text, "%04X;%c;%02X|%08X|%04X|%08X;", Be16At(s + 5), s[8], dsVersion,
                  Be32At(s + 11), Be16At(s + 15), Be32At(s + 17));
    return text;
}

inline std::string Text(const std::vector<uint8_t>& b, size_t from, size_t to) {
    if (to <= from || to > b.size()) return {};
    return std::string(reinterpret_cast<const char*>(b.data()) + from, to - from);
}

// The archive line of a block: the length, the book-keeping values and payload
// cut sector by sector, the 32 separators of an incident block under fiscal
// version 01.00, and the two trailer hashes.
inline std::string ArchiveLine(const CardBlock& block, const CsvOptions& options = {}) {
    const std::vector<uint8_t>& b = block.bytes;
    const size_t p = block.paddedLength;
    char head[16];
    std::string line;
    if (block.shortForm) {
        std::snprintf(head, sizeof head, "00000000;%04X;", Be16At(b.data() + 4));
        line = head + Text(b, 6, p) + ";" + std::string(32, ';');
    } else {
        std::snprintf(head, sizeof head, "%08X;", Be32At(b.data()));
        line = head + BookKeepingText(b.data(), options.dsVersionAsFound ? b[10] : 2);
        if (block.type == 'S' || p - 22 <= 512) {
            line += Text(b, 22, p);
        } else {
            line += Text(b, 22, 512);
            for (size_t c = 512; c < p; c += 512) {
                line += Text(b, c, c + 5) + BookKeepingText(b.data() + c, b[c + 10]);
                const int64_t rest = static_cast<int64_t>(p) - static_cast<int64_t>(c + 22);
                if (rest >= 0 && rest <= 512) {
                    line += Text(b, c + 22, p);
                    break;
                }
                line += Text(b, c + 22, c + 512);
            }
        }
    }
    return line + EncodeHex(b.data() + p, 32) + ";" + EncodeHex(b.data() + p + 32, 32) + "\n";
}

// Every block of the card at the drive letter, from block 0 to the next write index.
inline std::vector<CardBlock> ReadCardBlocks(char letter, const CsvOptions& options = {}) {
    AppContext& ctx = GetAppContext();
    ctx.drive = std::string(1, letter);
    std::vector<CardBlock> blocks;
    WormUsage usage;
    if (!CheckSmcUsage(ctx, usage)) return blocks;
    for (uint32_t number = 0; number < usage.nextWriteIndex;) {
        CardBlock block;
        block.number = number;
        WormBlock decoded;
        if (ReadBlock(ctx, ScaleFamily::Dx, number, decoded)) {
            block.type = decoded.recordType;
            block.shortForm = decoded.contentLength == 0;
            block.paddedLength = decoded.paddedLength;
            block.sectors = decoded.sectorCount;
            block.bytes = decoded.bytes;
        } else {
            // A block the decoder refuses (another DS version): its raw sectors.
            std::vector<uint8_t> first(512);
            if (!GetSmcBlocks(ctx, 1, first.data(), number)) break;
            const uint32_t length = Be32At(first.data());
            block.type = static_cast<char>(first[length != 0 ? 8 : 6]);
            block.shortForm = length == 0;
            block.paddedLength =
                static_cast<uint32_t>(length != 0 ? LongFormPaddedLength(length)
                                                  : ShortFormPaddedLength(Be16At(&first[4])));
            block.sectors = static_cast<uint32_t>(SectorCountFor(block.paddedLength));
            block.bytes.resize(block.sectors * 512);
            if (!GetSmcBlocks(ctx, block.sectors, block.bytes.data(), number)) break;
        }
        if (block.bytes.size() < block.paddedLength + 64)
            block.bytes.resize(block.paddedLength + 64);
        block.line = ArchiveLine(block, options);
        blocks.push_back(std::move(block));
        number += blocks.back().sectors;
    }
    CloseSmc(ctx);
    return blocks;
}

inline std::string JoinLines(const std::vector<CardBlock>& blocks, size_t from = 0,
                             size_t to = SIZE_MAX) {
    std::string text;
    for (size_t i = from; i < blocks.size() && i < to; ++i) text += blocks[i].line;
    return text;
}

// Index of the first block of a type at or after `from`; blocks.size() when none.
inline size_t FindBlock(const std::vector<CardBlock>& blocks, char type, size_t from = 0) {
    for (size_t i = from; i < blocks.size(); ++i) {
        if (blocks[i].type == type) return i;
    }
    return blocks.size();
}

// Sets the block's current hash to the SHA-256 of its first P + 32 bytes and
// writes its line again (for blocks changed on purpose that must pass their own check).
inline void Rehash(CardBlock& block, const CsvOptions& options = {}) {
    const DigestBytes digest = HashBuffer(block.bytes.data(), block.paddedLength + 32);
    std::copy(digest.begin(), digest.end(), block.bytes.begin() + block.paddedLength + 32);
    block.line = ArchiveLine(block, options);
}

}  // namespace tv::test
