// The archive line of each kind of store block, piece by piece.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "dx/DxLineFormat.h"
#include "store/BlockDecoder.h"

namespace tv {
namespace {

BlockHash Hash(uint8_t first) {
    BlockHash h{};
    for (size_t i = 0; i < h.size(); ++i)
        h[i] = static_cast<uint8_t>(first + i * 7);
    return h;
}

void PutBe32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}

// A long-form block of content length L: every sector carries its header
// (sector index k, DS version ds[k], block number 0x100 + k, the sector count
// and header block 0x42) and distinguishable payload letters.
WormBlock LongBlock(char type, uint32_t contentLength, std::vector<uint8_t> ds = {}) {
    WormBlock b;
    b.contentLength = contentLength;
    b.paddedLength = static_cast<uint32_t>(LongFormPaddedLength(contentLength));
    b.sectorCount = static_cast<uint32_t>(SectorCountFor(b.paddedLength));
    b.recordType = type;
    b.bytes.assign(size_t{b.sectorCount} * 512, 0);
    for (size_t i = 0; i < b.bytes.size(); ++i)
        b.bytes[i] = static_cast<uint8_t>('a' + (i * 5 + i / 26) % 26);
    for (uint32_t k = 0; k < b.sectorCount; ++k) {
        uint8_t* s = b.bytes.data() + size_t{k} * 512;
        if (k == 0) PutBe32(s, contentLength);
        s[4] = ';';
        s[5] = 0;
        s[6] = static_cast<uint8_t>(k);
        s[7] = ';';
        s[8] = static_cast<uint8_t>(type);
        s[9] = ';';
        s[10] = k < ds.size() ? ds[k] : 2;
        PutBe32(s + 11, 0x100 + k);
        s[15] = 0;
        s[16] = static_cast<uint8_t>(b.sectorCount);
        PutBe32(s + 17, 0x42);
        s[21] = ';';
    }
    b.previousHash = Hash(1);
    b.currentHash = Hash(0xA0);
    return b;
}

// A short-form block of short length S: the letter, then content letters and
// zero padding up to P.
WormBlock ShortBlock(char type, uint16_t shortLength) {
    WormBlock b;
    b.shortLength = shortLength;
    b.paddedLength = static_cast<uint32_t>(ShortFormPaddedLength(shortLength));
    b.sectorCount = static_cast<uint32_t>(SectorCountFor(b.paddedLength));
    b.recordType = type;
    b.bytes.assign(size_t{b.sectorCount} * 512, 0);
    b.bytes[4] = static_cast<uint8_t>(shortLength >> 8);
    b.bytes[5] = static_cast<uint8_t>(shortLength);
    b.bytes[6] = static_cast<uint8_t>(type);
    for (size_t i = 7; i < size_t{6} + shortLength; ++i)
        b.bytes[i] = static_cast<uint8_t>('0' + i % 10);
    b.previousHash = Hash(3);
    b.currentHash = Hash(0x55);
    return b;
}

std::string Text(const WormBlock& b, size_t from, size_t to) {
    return std::string(reinterpret_cast<const char*>(b.bytes.data()) + from, to - from);
}

std::string Group(unsigned index, char type, unsigned ds, unsigned number, unsigned count, unsigned header) {
    char text[64];
    std::snprintf(text, sizeof text, "%04X;%c;%02X|%08X|%04X|%08X;", index, type, ds, number, count, header);
    return text;
}

std::string Hashes(const WormBlock& b) {
    return DxHashText(b.previousHash) + ";" + DxHashText(b.currentHash) + "\n";
}

std::string Line(const WormBlock& b, std::string_view fiscalVersion = "01.00") {
    std::string line;
    EXPECT_EQ(FormatDxBlockLine(b, fiscalVersion, line), DxLineStatus::Ok);
    return line;
}

TEST(DxLineFormatTest, IncidentLinesCarryShortLengthTextAndTheFieldsOfTheFiscalVersion) {
    const WormBlock c = ShortBlock('C', 10);
    ASSERT_EQ(c.paddedLength, 16u);
    const std::string text = Text(c, 6, 16);
    EXPECT_EQ(text.size(), 10u);
    EXPECT_EQ(text[0], 'C');
    EXPECT_EQ(Line(c), "00000000;000A;" + text + ";" + std::string(32, ';') + Hashes(c));
    EXPECT_EQ(Line(c, "02.00"), "00000000;000A;" + text + ";" + Hashes(c));

    // The padding up to P is copied as it stands (zero bytes included).
    const WormBlock w = ShortBlock('W', 13);
    ASSERT_EQ(w.paddedLength, 32u);
    const std::string padded = Line(w);
    EXPECT_EQ(padded.substr(0, 14), "00000000;000D;");
    EXPECT_EQ(padded.substr(14, 27), Text(w, 6, 32) + ";");
    EXPECT_EQ(padded[14 + 25], '\0');

    // The longest incident written, and one longer.
    EXPECT_EQ(Line(ShortBlock('R', 250)).size(), 14u + 250 + 1 + 32 + 129 + 1);
    std::string line = "stale";
    EXPECT_EQ(FormatDxBlockLine(ShortBlock('F', 251), "01.00", line), DxLineStatus::IncidentTooLong);
    EXPECT_TRUE(line.empty());
}

TEST(DxLineFormatTest, TransactionLinesGoSectorBySector) {
    // One sector: one text chunk, no further group.
    const WormBlock one = LongBlock('T', 396);
    ASSERT_EQ(one.paddedLength, 400u);
    EXPECT_EQ(Line(one), "0000018C;" + Group(0, 'T', 2, 0x100, 1, 0x42) + Text(one, 22, 400) + Hashes(one));

    // Three sectors: the groups of sectors 2 and 3 behind their five bytes as
    // they stand; later sectors show their DS version as found.
    const WormBlock three = LongBlock('T', 1196, {2, 7, 2});
    ASSERT_EQ(three.paddedLength, 1200u);
    ASSERT_EQ(three.sectorCount, 3u);
    EXPECT_EQ(Line(three), "000004AC;" + Group(0, 'T', 2, 0x100, 3, 0x42) + Text(three, 22, 512) +
                               Text(three, 512, 517) + Group(1, 'T', 7, 0x101, 3, 0x42) +
                               Text(three, 534, 1024) + Text(three, 1024, 1029) +
                               Group(2, 'T', 2, 0x102, 3, 0x42) + Text(three, 1046, 1200) + Hashes(three));

    // Only the trailer reaches into the second sector: one piece.
    const WormBlock trailerOnly = LongBlock('E', 476);
    ASSERT_EQ(trailerOnly.paddedLength, 480u);
    ASSERT_EQ(trailerOnly.sectorCount, 2u);
    EXPECT_EQ(Line(trailerOnly), "000001DC;" + Group(0, 'E', 2, 0x100, 2, 0x42) + Text(trailerOnly, 22, 480) +
                                     Hashes(trailerOnly));

    // The first sector's DS version is always written as 2.
    EXPECT_EQ(Line(LongBlock('H', 100, {9})).substr(9, 33), Group(0, 'H', 2, 0x100, 1, 0x42));
}

TEST(DxLineFormatTest, ALastSectorHoldingNoMoreThanItsHeaderTravelsAsItStands) {
    // Sectors spelled out, by how far the block's bytes reach into the last sector.
    EXPECT_EQ(DxOtherLineSectors(0), 0u);
    EXPECT_EQ(DxOtherLineSectors(16), 0u);
    EXPECT_EQ(DxOtherLineSectors(22), 1u);
    EXPECT_EQ(DxOtherLineSectors(512 + 22), 1u);
    EXPECT_EQ(DxOtherLineSectors(512 + 23), 2u);
    EXPECT_EQ(DxOtherLineSectors(2 * 512 + 1), 2u);
    EXPECT_EQ(DxOtherLineSectors(2 * 512 + 22), 2u);
    EXPECT_EQ(DxOtherLineSectors(2 * 512 + 23), 3u);

    // 16 bytes into the second sector: its partial header follows the payload raw.
    const WormBlock sixteen = LongBlock('T', 524);
    ASSERT_EQ(sixteen.paddedLength, 528u);
    ASSERT_EQ(sixteen.sectorCount, 2u);
    EXPECT_EQ(Line(sixteen), "0000020C;" + Group(0, 'T', 2, 0x100, 2, 0x42) + Text(sixteen, 22, 528) + Hashes(sixteen));

    // 32 bytes in: the second sector's group is spelled out.
    const WormBlock thirtyTwo = LongBlock('U', 540);
    ASSERT_EQ(thirtyTwo.paddedLength, 544u);
    EXPECT_EQ(Line(thirtyTwo), "0000021C;" + Group(0, 'U', 2, 0x100, 2, 0x42) + Text(thirtyTwo, 22, 512) +
                                   Text(thirtyTwo, 512, 517) + Group(1, 'U', 2, 0x101, 2, 0x42) +
                                   Text(thirtyTwo, 534, 544) + Hashes(thirtyTwo));

    // Three sectors ending exactly at the third: two groups, the payload up to P.
    const WormBlock exact = LongBlock('H', 1020);
    ASSERT_EQ(exact.paddedLength, 1024u);
    ASSERT_EQ(exact.sectorCount, 3u);
    EXPECT_EQ(Line(exact), "000003FC;" + Group(0, 'H', 2, 0x100, 3, 0x42) + Text(exact, 22, 512) +
                               Text(exact, 512, 517) + Group(1, 'H', 2, 0x101, 3, 0x42) + Text(exact, 534, 1024) +
                               Hashes(exact));

    // Shorter than a sector header: no line, nothing read past the block.
    WormBlock tiny = LongBlock('T', 4);
    ASSERT_EQ(tiny.paddedLength, 16u);
    std::string line = "stale";
    EXPECT_EQ(FormatDxBlockLine(tiny, "01.00", line), DxLineStatus::BlockTooShort);
    EXPECT_TRUE(line.empty());
}

TEST(DxLineFormatTest, OriginAndSignatureLines) {
    const WormBlock origin = LongBlock('O', 1196);
    EXPECT_EQ(Line(origin), "000004AC;" + Group(0, 'O', 2, 0x100, 3, 0x42) + Text(origin, 22, 512) +
                                Text(origin, 512, 517) + Group(1, 'O', 2, 0x101, 3, 0x42) +
                                Text(origin, 534, 1024) + Text(origin, 1024, 1029) +
                                Group(2, 'O', 2, 0x102, 3, 0x42) + Text(origin, 1046, 1200) + Hashes(origin));
    // The shortest origin of trust block that reaches its third sector's payload.
    EXPECT_TRUE(Line(LongBlock('O', 1036 + 16)).find(Group(2, 'O', 2, 0x102, 3, 0x42)) != std::string::npos);
    std::string line;
    EXPECT_EQ(FormatDxBlockLine(LongBlock('O', 1036), "01.00", line), DxLineStatus::OriginTooShort);
    EXPECT_EQ(FormatDxBlockLine(LongBlock('O', 300), "01.00", line), DxLineStatus::OriginTooShort);

    // A signature block's payload goes in one piece, whatever its sectors.
    const WormBlock s = LongBlock('S', 700);
    EXPECT_EQ(Line(s),
              "000002BC;" + Group(0, 'S', 2, 0x100, 2, 0x42) + Text(s, 22, s.paddedLength) + Hashes(s));
}

TEST(DxLineFormatTest, UnknownTypesAndShortBytesAreRefusedWithoutReadingOutside) {
    std::string line;
    EXPECT_EQ(FormatDxBlockLine(LongBlock('X', 100), "01.00", line), DxLineStatus::UnknownRecordType);
    EXPECT_EQ(FormatDxBlockLine(LongBlock('W', 100), "01.00", line), DxLineStatus::UnknownRecordType);
    EXPECT_EQ(FormatDxBlockLine(ShortBlock('T', 10), "01.00", line), DxLineStatus::UnknownRecordType);

    // Lengths that claim more than the bytes hold.
    for (char type : {'T', 'O', 'S'}) {
        WormBlock cut = LongBlock(type, 1196);
        cut.bytes.resize(700);
        EXPECT_EQ(FormatDxBlockLine(cut, "01.00", line), DxLineStatus::BlockTooShort) << type;
        EXPECT_TRUE(line.empty());
        cut.bytes.resize(10);
        EXPECT_EQ(FormatDxBlockLine(cut, "01.00", line), DxLineStatus::BlockTooShort) << type;
    }
    WormBlock incident = ShortBlock('P', 200);
    incident.bytes.resize(100);
    EXPECT_EQ(FormatDxBlockLine(incident, "01.00", line), DxLineStatus::BlockTooShort);
    EXPECT_EQ(DxHashText(Hash(0xF0)).substr(0, 6), "F0F7FE");
}

}  // namespace
}  // namespace tv
