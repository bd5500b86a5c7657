// The line of a dX CSV archive for one store block: the content length, the
// book-keeping values of each sector, the payload text as the card holds it and
// the block's two hash values. One line per block, ended by a line feed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "store/WormBlock.h"

namespace tv {

// What a block's line is made of, by its record type and form.
enum class DxLineKind {
    Incident,   // C, F, P, R, W: short form
    Origin,     // O: long form over three sectors
    Signature,  // S: long form, payload in one piece
    Other,      // E, H, T, U: long form, sector by sector
    Unknown,    // any other letter, or a letter in the other form
};

enum class DxLineStatus {
    Ok,
    UnknownRecordType,
    OriginTooShort,   // an origin of trust block must reach into its third sector's payload
    IncidentTooLong,  // above kMaxIncidentPaddedLength
    BlockTooShort,    // the block's bytes end before a piece the line needs
};

// The longest incident block written: incident texts are short records of a
// date and a few words, and a longer one is damage.
constexpr size_t kMaxIncidentPaddedLength = 256;

// The fiscal version whose incident lines carry 32 further empty fields.
constexpr std::string_view kFiscalVersionWithIncidentFields = "01.00";

DxLineKind DxLineKindOf(const WormBlock& block);

// The line of a block (its bytes, padded length, short length, record type and
// trailer hashes) on a card of the fiscal version. Nothing outside the block's
// bytes is read, whatever its lengths claim.
DxLineStatus FormatDxBlockLine(const WormBlock& block, std::string_view fiscalVersion, std::string& line);

// How many sectors of an E, H, T or U block of this padded length have their
// book-keeping values spelled out in its line. Every sector up to the one in which
// the block's bytes end does, except a last sector holding no more than its 22-byte
// header: those bytes travel as they stand, after the payload of the sector before.
// 0 for a block shorter than a sector header, which has no line.
size_t DxOtherLineSectors(size_t paddedLength);

// 64 upper-case hexadecimal digits.
std::string DxHashText(const BlockHash& hash);

}  // namespace tv
