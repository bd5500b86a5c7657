// The dX verifier on lines that do not fit their block and on cut, garbled and
// random files: every one ends with a failure row, never outside a buffer.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <random>

#include "dx/VerifierdXFixture.h"

namespace tv::test {
namespace {

using Row = std::vector<std::string>;

// A long-form block of the scale's framing with a content length of our choice:
// sector headers in every sector, the payload text from offset 22 on, the
// trailer at P (wherever it falls) chained to the block before.
CardBlock RawLongBlock(char type, uint32_t length, uint16_t sectorsInHeader, uint32_t number,
                       const CardBlock& previous) {
    CardBlock block;
    block.number = number;
    block.type = type;
    block.paddedLength = (length + 19) / 16 * 16;
    block.sectors = (block.paddedLength + 575) / 512;
    block.bytes.assign(static_cast<size_t>(block.sectors) * 512, 'x');
    for (uint32_t k = 0; k < block.sectors; ++k) {
        uint8_t* s = block.bytes.data() + static_cast<size_t>(k) * 512;
        PutBe32(s, length - k * 512);
        s[4] = ';';
        PutBe16(s + 5, static_cast<uint16_t>(k));
        s[7] = ';';
        s[8] = static_cast<uint8_t>(type);
        s[9] = ';';
        s[10] = 2;
        PutBe32(s + 11, number + k);
        PutBe16(s + 15, sectorsInHeader);
        PutBe32(s + 17, 0);
        s[21] = ';';
    }
    std::copy_n(previous.bytes.begin() + previous.paddedLength + 32, 32,
                block.bytes.begin() + block.paddedLength);
    Rehash(block);
    return block;
}

TEST_F(VerifierdXTest, LinesThatDoNotFitTheirBlockFailCleanly) {
    const std::vector<CardBlock> blocks = Card('K', SmallCard(1));
    const std::string leading = JoinLines(blocks, 0, 5);
    const CardBlock& s6 = blocks[4];
    auto errorsOf = [&](const std::string& lines) {
        const VerifyOutcome r = Verify(Archive("odd.csv", lines));
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.rows.size(), 1u);
        if (!r.rows.empty()) {
            EXPECT_EQ(r.rows[0][2], "Failure");
        }
        return r.errors;
    };

    // A last sector holding nothing beyond its header travels with the sector
    // before: P = 480 in two sectors, where only the trailer reaches the second
    // one, and P = 528, where the second holds 16 bytes of its own header. The
    // block numbers go on after both sectors.
    const CardBlock twoSectors = RawLongBlock('T', 470, 2, 7, s6);
    ASSERT_EQ(twoSectors.paddedLength, 480u);
    ASSERT_EQ(twoSectors.sectors, 2u);
    const CardBlock header = RawLongBlock('U', 512, 2, 7, s6);
    ASSERT_EQ(header.paddedLength, 528u);
    for (const CardBlock* b : {&twoSectors, &header}) {
        const VerifyOutcome r = Verify(Archive("fits.csv", leading + b->line + SignatureBlock(9, *b).line));
        EXPECT_TRUE(r.ok) << (r.errors.empty() ? "" : r.errors.front());
    }
    // A one-sector block with P = 16 is shorter than its header. (Its trailer
    // covers its own header: the line is written out by hand.)
    const std::string hashes = s6.line.substr(s6.line.size() - 130);
    const std::string tiny =
        "00000001;0000;E;02|00000007|0001|00000000;" + std::string(490, 'x') + hashes;
    EXPECT_EQ(errorsOf(leading + tiny).front(),
              "Block length does not fit the sectors of the block");

    // An origin of trust block of P = 1040: three sectors, the third without payload.
    CardBlock origin = blocks[0];
    PutBe32(origin.bytes.data(), 1030);
    origin.paddedLength = 1040;
    std::fill(origin.bytes.begin() + 1040, origin.bytes.begin() + 1072, 0);
    Rehash(origin);
    EXPECT_EQ(errorsOf(origin.line + JoinLines(blocks, 1, 5)),
              (std::vector<std::string>{"Origin of trust block is shorter than three sectors",
                                        "Origin of trust block extraction failed",
                                        "Failed when verifying block 0 (00000000)",
                                        "Verification failed"}));

    // Signature blocks whose DER lengths do not fit: the sequence longer than the
    // block, an r of 67 bytes, digits that are no length.
    const CardBlock longSequence =
        LongBlock('S', "3081FF0242" + std::string(200, '1') + ";", 7, s6);
    EXPECT_EQ(errorsOf(leading + longSequence.line).front(),
              "Signature length exceeds the signature block");
    const std::string r67 =
        "30818802"
        "43" +
        std::string(134, 'A') + "0241" + std::string(130, 'B');
    EXPECT_EQ(errorsOf(leading + LongBlock('S', r67 + ";2016-01-01 00:00:00;", 7, s6).line),
              (std::vector<std::string>{
                  "Signature lengths are not in expected format", "Signature Verification failed",
                  "Failed when verifying block 7 (00000007)", "Verification failed"}));
    const std::string badLength =
        "30818802"
        "4G" +
        std::string(268, 'A');
    EXPECT_EQ(errorsOf(leading + LongBlock('S', badLength + ";", 7, s6).line).front(),
              "Signature lengths are not in expected format");
    EXPECT_EQ(errorsOf(leading + LongBlock('S', "30ZZ88;", 7, s6).line).front(),
              "Signature header is not in hexadecimal format");
    EXPECT_EQ(errorsOf(leading + "00000001;0000;S;02|00000007|0001|00000000;" + hashes).front(),
              "Signature block is shorter than its signature header");

    // Lengths far beyond the file are refused before any buffer is taken for them.
    const std::string tail = s6.line.substr(9);
    EXPECT_EQ(errorsOf(leading + "FFFFFFFF;0000;T;02|00000007|FFFF|00000000;" + tail).front(),
              "Transaction block count in book keeping value and count calculated from block "
              "length is not same");
    const std::vector<std::string> huge =
        errorsOf(leading + "01FFFBC0;0000;T;02|00000007|FFFF|00000000;" + tail);
    EXPECT_EQ(huge.front(), "Data position calculated based on length excceds maximum file size");
    EXPECT_NE(
        LogText().find("Block length = 33553344 .Block Length exceeds maximum transaction size"),
        std::string::npos);
    EXPECT_EQ(errorsOf(leading + "00000000;FFFF;W" + tail).front(),
              "Data position calculated based on length excceds maximum file size");
    // A block of more than 65535 bytes is noted and verified like any other.
    const CardBlock big = LongBlock('T', ReceiptPayload(65600), 7, s6);
    ASSERT_GT(Be32At(big.bytes.data()), 65535u);
    const VerifyOutcome r =
        Verify(Archive("big.csv", leading + big.line + SignatureBlock(7 + big.sectors, big).line));
    EXPECT_TRUE(r.ok) << (r.errors.empty() ? "" : r.errors.front());
    EXPECT_NE(r.log.find(".Block Length exceeds maximum transaction size"), std::string::npos);
}

TEST_F(VerifierdXTest, FieldReadersFailInTheirOrder) {
    const std::vector<CardBlock> blocks = Card('K', SmallCard(1));
    const std::string leading = JoinLines(blocks, 0, 5);  // blocks 0 to 6
    const std::string at7 = "Failed when verifying block 7 (00000007)";
    const std::string position7 = "Failed when verifying block 7";
    const std::string separators = std::string(31, ';') + ":";
    struct Case {
        std::string line;
        bool fileEnds;  // the line ends the file; otherwise room follows it
        std::string error;
        std::string remark;
    };
    const std::vector<Case> cases = {
        {"0000;", true, "Reading block length failed", position7},
        {"0000;0000;", false, "Block length size is less than expected(8 characters)", position7},
        {"00000010,", false, "Delimiter(';') is not found after block length", position7},
        {"0000001G;", false, "Block Length is not in hexadecimal format", position7},
        {"00000000;00", true, "Reading incident block length failed", position7},
        {"00000000;0;00;", false, "Incident block length size is less than expected(4 characters)",
         position7},
        {"00000000;000A,", false, "Delimiter(';') is not found after incident block length",
         position7},
        {"00000000;00G0;", false, "Incident block Length is not in hexadecimal format", position7},
        {"00000000;000A;W;2016-01-X", false,
         "Delimiter(';') is not found after event string in incident block", position7},
        {"00000000;000A;W;2016-01-;" + separators, false, "Incident block seperators are not valid",
         "Incorrect data found."},
        {"00000100;00", true, "Reading block index failed", at7},
        {"00000100;00;0;", false, "Block Index size is less than expected(4 characters)", at7},
        {"00000100;00X0;", false, "Block Index is not in hexadecimal format", at7},
        {"00000100;0000,", false, "Delimiter(';') is not found after block index", at7},
        {"00000100;0000;T,", false, "Delimiter(';') is not found after record type", at7},
        {"00000100;0000;T;0", true, "Reading DS version failed", at7},
        {"00000100;0000;T;0|", false, "DS Version size is less than expected(2 characters)", at7},
        {"00000100;0000;T;02;", false, "Delimiter('|') is not found after DS version", at7},
        {"00000100;0000;T;0X|", false, "DS version is not in hexadecimal format", at7},
        {"00000100;0000;T;03|", false, "Invalid data structure version found", at7},
        {"00000100;0000;T;02|0000", true, "Reading current block number failed", at7},
        {"00000100;0000;T;02|0000|00000", false,
         "Current block number size is less than expected(8 characters)", at7},
        {"00000100;0000;T;02|00000007;", false,
         "Delimiter('|') is not found after current block number", at7},
        {"00000100;0000;T;02|00000007|01", true, "Reading transaction block count failed", at7},
        {"00000100;0000;T;02|00000007|01|", false,
         "Transaction Block count size is less than expected(4 characters)", at7},
        {"00000100;0000;T;02|00000007|0001;", false,
         "Delimiter('|') is not found after transaction block count", at7},
        {"00000100;0000;T;02|00000007|0001|0000", true,
         "Reading previous header block number failed", at7},
        {"00000100;0000;T;02|00000007|0001|000;0000", false,
         "Previous header block number size is less than the expected(8 characters)", at7},
        {"00000100;0000;T;02|00000007|0001|00000000|", false,
         "Delimiter(';') is not found after previous header block number", at7},
        {"00000100;0000;T;02|0000000X|0001|00000000;", false,
         "Current block number is not in hexadecimal format", at7},
        {"00000100;0000;T;02|00000007|000X|00000000;", false,
         "Transaction block count is not in hexadecimal format", at7},
        {"00000100;0000;T;02|00000007|0001|0000000X;", false,
         "Previous header block number is not in hexadecimal format", at7},
        {"00000100;0000;T;02|00000009|0001|00000000;", false,
         "Current block number is not consecutive", at7},
        {"00000100;0001;T;02|00000007|0001|00000000;", false,
         "Block index exceeds transaction block count(as in book keeping values)", at7},
        {"00000100;0002;T;02|00000007|0003|00000000;", false, "Block index is not consecutive",
         at7},
        {"00000100;0000;T;02|00000007|0001|00000007;", false,
         "Current block number is less than/equal to previous header block number", at7},
        {"00000100;0000;Q;02|00000007|0001|00000000;", false, "Invalid data in SMC",
         "Check log file."},
    };
    const std::string room(2000, '\n');
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const VerifyOutcome r =
            Verify(Archive("field.csv", leading + c.line + (c.fileEnds ? "" : room)));
        EXPECT_FALSE(r.ok);
        ASSERT_GE(r.errors.size(), 2u);
        EXPECT_EQ(r.errors.front(), c.error);
        EXPECT_EQ(r.errors.back(), "Verification failed");
        ASSERT_EQ(r.rows.size(), 1u);
        EXPECT_EQ(r.rows[0][2], "Failure");
        EXPECT_EQ(r.rows[0][3], c.remark);
    }
}

// Every byte changed into one that is not the same character in another case
// (hexadecimal digits are read in either case) makes the archive fail.
TEST_F(VerifierdXTest, CutAndGarbledArchivesAlwaysEndWithAFailureRow) {
    const std::vector<CardBlock> blocks = Card('K', Small(CardFamily::Dx, 1));
    const std::string whole = JoinLines(blocks);
    std::vector<size_t> lineEnds;
    size_t at = 0;
    for (const CardBlock& block : blocks) lineEnds.push_back(at += block.line.size());

    std::mt19937 random(20160301);
    auto expectFailure = [&](const std::string& content, const char* what, size_t where) {
        const VerifyOutcome r = Verify(Archive("fuzz.csv", content));
        EXPECT_FALSE(r.ok) << what << " at " << where;
        ASSERT_EQ(r.rows.size(), 1u);
        EXPECT_EQ(r.rows[0][2], "Failure") << what << " at " << where;
        EXPECT_FALSE(r.rows[0][3].empty()) << what << " at " << where;
    };
    for (size_t cut = 1; cut < whole.size(); cut += 1 + random() % 41) {
        const bool atLineEnd = std::find(lineEnds.begin(), lineEnds.end(), cut) != lineEnds.end();
        if (!atLineEnd) expectFailure(whole.substr(0, cut), "cut", cut);
    }
    for (int i = 0; i < 150; ++i) {
        std::string content = whole;
        const size_t where = random() % content.size();
        const auto original = static_cast<unsigned char>(content[where]);
        unsigned char replacement = 0;
        do {
            replacement = static_cast<unsigned char>(random());
        } while (std::tolower(replacement) == std::tolower(original));
        content[where] = static_cast<char>(replacement);
        expectFailure(content, "changed byte", where);
    }
    for (int i = 0; i < 60; ++i) {
        std::string content = whole;
        const size_t where = random() % content.size();
        if (i % 2 == 0) {
            content.insert(where, 1, static_cast<char>(random()));
        } else {
            content.erase(where, 1);
        }
        expectFailure(content, i % 2 == 0 ? "inserted byte" : "removed byte", where);
    }
    for (int i = 0; i < 30; ++i) {
        std::string garbage(1 + random() % 3000, '\0');
        for (char& c : garbage) c = static_cast<char>(random());
        if (i % 3 == 0) garbage = whole.substr(0, random() % whole.size()) + garbage;
        if (i % 3 == 1) garbage = JoinLines(blocks, 0, 5) + garbage;
        const VerifyOutcome r = Verify(Archive("fuzz.csv", garbage));
        EXPECT_FALSE(r.ok);
        ASSERT_EQ(r.rows.size(), 1u);
        EXPECT_EQ(r.rows[0][2], "Failure");
    }
}

}  // namespace
}  // namespace tv::test
