#include "dx/DxLineFormat.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace tv {

namespace {

constexpr size_t kSector = 512;
constexpr size_t kSectorHeader = 22;  // the book-keeping values in front of each sector's payload
constexpr size_t kLeadBytes = 5;      // bytes 0 to 4 of a later sector, copied as they stand
constexpr size_t kIncidentText = 6;   // a short-form block's record type letter and content
constexpr char kHexDigits[] = "0123456789ABCDEF";

uint32_t Be32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

unsigned Be16(const uint8_t* p) { return (unsigned{p[0]} << 8) | unsigned{p[1]}; }

class LineBuilder {
public:
    LineBuilder(const std::vector<uint8_t>& bytes, std::string& line) : bytes_(bytes), line_(line) {}

    // The block's bytes from offset a up to b - 1; false when they are not all there.
    bool Text(size_t a, size_t b) {
        if (a > b || b > bytes_.size()) return false;
        line_.append(reinterpret_cast<const char*>(bytes_.data()) + a, b - a);
        return true;
    }

    // "%04X;%c;" then "%02X|%08X|%04X|%08X;" from the header of the sector at offset
    // c; the first sector's DS version is 2 (the decoder accepts no other).
    bool BookKeeping(size_t c, bool firstSector) {
        if (c + kSectorHeader > bytes_.size()) return false;
        const uint8_t* s = bytes_.data() + c;
        char text[48];
        const int n = std::snprintf(text, sizeof text, "%04X;%c;%02X|%08X|%04X|%08X;", Be16(s + 5),
                                    static_cast<char>(s[8]), firstSector ? 2u : unsigned{s[10]}, Be32(s + 11),
                                    Be16(s + 15), Be32(s + 17));
        if (n <= 0 || static_cast<size_t>(n) >= sizeof text) return false;
        line_.append(text, static_cast<size_t>(n));
        return true;
    }

    // The payload of a transaction-like block, sector by sector.
    bool SectorChunks(size_t padded) {
        const size_t sectors = DxOtherLineSectors(padded);
        if (sectors == 0) return false;
        size_t start = kSectorHeader;
        for (size_t c = kSector; c < sectors * kSector; c += kSector) {
            if (!Text(start, c) || !Text(c, c + kLeadBytes) || !BookKeeping(c, false)) return false;
            start = c + kSectorHeader;
        }
        return Text(start, padded);
    }

    // Exactly the three sectors of the origin of trust block.
    bool OriginChunks(size_t padded) {
        return Text(kSectorHeader, kSector) && Text(kSector, kSector + kLeadBytes) &&
               BookKeeping(kSector, false) && Text(kSector + kSectorHeader, 2 * kSector) &&
               Text(2 * kSector, 2 * kSector + kLeadBytes) && BookKeeping(2 * kSector, false) &&
               Text(2 * kSector + kSectorHeader, padded);
    }

private:
    const std::vector<uint8_t>& bytes_;
    std::string& line_;
};

void AppendHex(std::string& line, const BlockHash& hash) {
    for (const uint8_t b : hash) {
        line.push_back(kHexDigits[b >> 4]);
        line.push_back(kHexDigits[b & 0x0F]);
    }
}

}  // namespace

size_t DxOtherLineSectors(size_t paddedLength) {
    if (paddedLength < kSectorHeader) return 0;
    return std::max<size_t>(1, (paddedLength - kSectorHeader + kSector - 1) / kSector);
}

DxLineKind DxLineKindOf(const WormBlock& block) {
    const char type = block.recordType;
    if (block.contentLength == 0) {
        const bool incident = type == 'C' || type == 'F' || type == 'P' || type == 'R' || type == 'W';
        return incident ? DxLineKind::Incident : DxLineKind::Unknown;
    }
    switch (type) {
        case 'O': return DxLineKind::Origin;
        case 'S': return DxLineKind::Signature;
        case 'E':
        case 'H':
        case 'T':
        case 'U': return DxLineKind::Other;
        default: return DxLineKind::Unknown;
    }
}

std::string DxHashText(const BlockHash& hash) {
    std::string text;
    text.reserve(2 * hash.size());
    AppendHex(text, hash);
    return text;
}

DxLineStatus FormatDxBlockLine(const WormBlock& block, std::string_view fiscalVersion, std::string& line) {
    line.clear();
    const DxLineKind kind = DxLineKindOf(block);
    if (kind == DxLineKind::Unknown) return DxLineStatus::UnknownRecordType;
    const size_t padded = block.paddedLength;
    LineBuilder b(block.bytes, line);

    char head[16];
    std::snprintf(head, sizeof head, "%08X;", static_cast<unsigned>(block.contentLength));
    line.append(head, 9);

    bool complete = false;
    switch (kind) {
        case DxLineKind::Incident: {
            if (padded > kMaxIncidentPaddedLength) {
                line.clear();
                return DxLineStatus::IncidentTooLong;
            }
            std::snprintf(head, sizeof head, "%04X;", static_cast<unsigned>(block.shortLength));
            line.append(head, 5);
            complete = padded >= kIncidentText && b.Text(kIncidentText, padded);
            line.push_back(';');
            if (fiscalVersion == kFiscalVersionWithIncidentFields) line.append(32, ';');
            break;
        }
        case DxLineKind::Origin:
            if (padded <= 2 * kSector + kSectorHeader) {
                line.clear();
                return DxLineStatus::OriginTooShort;
            }
            complete = b.BookKeeping(0, true) && b.OriginChunks(padded);
            break;
        case DxLineKind::Signature:
            complete = padded >= kSectorHeader && b.BookKeeping(0, true) && b.Text(kSectorHeader, padded);
            break;
        case DxLineKind::Other: complete = b.BookKeeping(0, true) && b.SectorChunks(padded); break;
        case DxLineKind::Unknown: break;
    }
    if (!complete) {
        line.clear();
        return DxLineStatus::BlockTooShort;
    }
    AppendHex(line, block.previousHash);
    line.push_back(';');
    AppendHex(line, block.currentHash);
    line.push_back('\n');
    return DxLineStatus::Ok;
}

}  // namespace tv
