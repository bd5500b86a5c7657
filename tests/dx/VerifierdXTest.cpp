// The dX verifier on archives of generated cards: sound archives, the order and
// chain rules, the card's own damage and changes made to archive files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>

#include "dx/VerifierdXFixture.h"

namespace tv::test {
namespace {

using Row = std::vector<std::string>;

std::string BlockMessage(uint32_t position, uint32_t number) {
    char text[64];
    std::snprintf(text, sizeof text, "Failed when verifying block %u (%08X)", position, number);
    return text;
}

TEST_F(VerifierdXTest, SoundArchivesVerifyStandaloneAndAgainstTheirCard) {
    const std::vector<CardBlock> blocks = Card('K', SmallCard(3));
    ASSERT_GT(summary_.multiSectorBlocks, 0u);
    ASSERT_EQ(std::string(
                  {blocks[0].type, blocks[1].type, blocks[2].type, blocks[3].type, blocks[4].type}),
              "OWSWS");
    const std::string sn = summary_.scaleSerialNumber;
    const std::string uid = summary_.smcUid;

    const std::string whole = Archive("whole.csv", JoinLines(blocks));
    VerifyOutcome r = Verify(whole);
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.errors.empty()) << r.errors.front();
    EXPECT_EQ(r.rows, (std::vector<Row>{{"1", "whole.csv", "Success",
                                         "Root Hash:" + CurrentHashText(blocks[0]), sn, uid}}));
    for (const char* entry :
         {"Verification operation started", "Verification type: File Verification",
          "Verification Mode: Standalone", "Verification success"}) {
        EXPECT_NE(r.log.find(entry), std::string::npos) << entry;
    }
    EXPECT_NE(r.log.find("Filename: " + whole), std::string::npos);
    EXPECT_NE(r.log.find("Scale SN: " + sn + " SMC UID:" + uid), std::string::npos);
    ASSERT_FALSE(r.progress.empty());
    EXPECT_EQ(r.progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(r.progress.begin(), r.progress.end()));

    r = Verify(whole, 'K');
    EXPECT_TRUE(r.ok) << (r.errors.empty() ? "" : r.errors.front());
    EXPECT_EQ(r.rows, (std::vector<Row>{{"1", "whole.csv", "Success", "", sn, uid}}));
    EXPECT_NE(r.log.find("Verification Mode: SMC"), std::string::npos);

    // What a split or a continuation writes: the leading blocks up to the first
    // signature block, then a later range from a signature incident block on. The
    // chain jumps after the first signature block and the block numbers jump at
    // the signature block that follows.
    const size_t closure = FindBlock(blocks, 'E');
    ASSERT_LT(closure + 1, blocks.size());
    ASSERT_EQ(blocks[closure + 1].type, 'W');
    const std::string split =
        Archive("split.CSV", JoinLines(blocks, 0, 3) + JoinLines(blocks, closure + 1));
    r = Verify(split);
    EXPECT_TRUE(r.ok) << (r.errors.empty() ? "" : r.errors.front());
    EXPECT_EQ(r.rows[0][2], "Success");
    r = Verify(split, 'K');
    EXPECT_TRUE(r.ok) << (r.errors.empty() ? "" : r.errors.front());
}

TEST_F(VerifierdXTest, BlocksEndingInTheHeaderOfTheirLastSectorVerify) {
    CardOptions options = SmallCard(6);
    options.shortLastSector = true;
    const std::vector<CardBlock> blocks = Card('K', options);
    // Every kind of end near a sector boundary is on the card, after one and after two sectors.
    std::set<int64_t> tails;
    bool laterSector = false;
    for (const CardBlock& b : blocks) {
        if (b.type != 'T' || b.sectors < 2) continue;
        const int64_t tail = int64_t{b.paddedLength} - 512 * int64_t{b.sectors - 1};
        if (tail > 22) continue;
        tails.insert(tail);
        laterSector = laterSector || b.sectors > 2;
    }
    EXPECT_EQ(tails, (std::set<int64_t>{-48, -32, -16, 0, 16}));
    EXPECT_TRUE(laterSector);

    const std::string whole = Archive("short.csv", JoinLines(blocks));
    VerifyOutcome r = Verify(whole);
    EXPECT_TRUE(r.ok) << (r.errors.empty() ? "" : r.errors.front());
    EXPECT_EQ(r.rows.at(0).at(2), "Success");
    r = Verify(whole, 'K');
    EXPECT_TRUE(r.ok) << (r.errors.empty() ? "" : r.errors.front());
    EXPECT_EQ(r.rows.at(0).at(2), "Success");
}

TEST_F(VerifierdXTest, FilesThatCannotBeReadFailWithTheirRemark) {
    const std::vector<CardBlock> blocks = Card('K', SmallCard(1));
    const std::string content = JoinLines(blocks);

    VerifyOutcome r = Verify(Archive("a.csv.bak", content));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.rows, (std::vector<Row>{{"1", "a.csv.bak", "Failure", "Check log file.", "", ""}}));
    EXPECT_NE(r.log.find("File is not of extension csv"), std::string::npos);
    EXPECT_EQ(r.errors,
              (std::vector<std::string>{"File Verification failed", "Verification failed"}));

    r = Verify(TempPath("none.csv"));
    EXPECT_EQ(r.rows, (std::vector<Row>{{"1", "none.csv", "Failure", "File not found.", "", ""}}));
    EXPECT_NE(r.log.find("File not found"), std::string::npos);

    r = Verify(Archive("empty.csv", ""));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.rows, (std::vector<Row>{{"1", "empty.csv", "Failure", "Check log file.", "", ""}}));
    EXPECT_EQ(r.errors, (std::vector<std::string>{"Zero file size", "Verification failed"}));

    platform_->InjectFault(FaultOp::Open, kErrAccessDenied, "locked.csv");
    r = Verify(Archive("locked.csv", content));
    EXPECT_EQ(r.rows,
              (std::vector<Row>{{"1", "locked.csv", "Failure", "Check log file.", "", ""}}));
    EXPECT_EQ(r.errors, (std::vector<std::string>{"File open failed(E 5)", "Verification failed"}));
    platform_->ClearFaults();

    // Against a card that is not there.
    r = Verify(Archive("b.csv", content), 'Q');
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.rows, (std::vector<Row>{{"1", "b.csv", "Failure", "Check log file.", "", ""}}));
    EXPECT_TRUE(Contains(r.errors, "Extract SMC data failed"));
}

TEST_F(VerifierdXTest, LongFormBlocksMustOpenWithOriginAndTwoSignaturesAndEndSigned) {
    const std::vector<CardBlock> blocks = Card('K', SmallCard(1));
    const std::string leading = JoinLines(blocks, 0, 5);  // O W S W S: blocks 0 to 6
    const CardBlock& s6 = blocks[4];
    ASSERT_EQ(s6.number, 6u);

    // O, S, S and then only transactions.
    const CardBlock t7 = LongBlock('T', ReceiptPayload(300), 7, s6);
    const CardBlock t8 = LongBlock('T', ReceiptPayload(200), 8, t7);
    VerifyOutcome r = Verify(Archive("unsigned.csv", leading + t7.line + t8.line));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.errors, (std::vector<std::string>{"Signature is not found at the end of archive",
                                                  "Verification failed"}));
    EXPECT_EQ(r.rows[0][3], "Incorrect data found.");

    // O, S, S, S: three signatures that verify.
    const CardBlock s7 = SignatureBlock(7, s6);
    r = Verify(Archive("three.csv", leading + s7.line));
    EXPECT_TRUE(r.ok) << (r.errors.empty() ? "" : r.errors.front());

    // O, S, S alone holds too few signatures.
    r = Verify(Archive("two.csv", leading));
    EXPECT_EQ(r.errors, (std::vector<std::string>{"Incorrect data found", "Verification failed"}));

    // O, S, T, ..., S: the third long-form block is no signature block. The
    // incident after the first signature block takes the block number to 5, after
    // which any number may follow.
    const CardBlock c = ShortBlock("C;2016-01-05 09:00:00;TIROIR;", blocks[2]);
    const CardBlock t = LongBlock('T', ReceiptPayload(1200), 1000, c);
    const CardBlock s = SignatureBlock(1000 + t.sectors, t);
    ASSERT_GT(t.sectors, 1u);
    r = Verify(Archive("late.csv", JoinLines(blocks, 0, 3) + c.line + t.line + s.line));
    EXPECT_EQ(r.errors, (std::vector<std::string>{"Incorrect data found", "Verification failed"}));
    EXPECT_EQ(r.rows[0][3], "Incorrect data found.");

    // A second origin of trust block that passes every check of its own.
    r = Verify(Archive("twice.csv", JoinLines(blocks, 0, 3) + leading));
    EXPECT_EQ(r.errors, (std::vector<std::string>{"Origin of trust block present inbetween archive",
                                                  "Incorrect data found", "Verification failed"}));

    // The first numbered sector after the file's first signature block may take
    // any number, wherever that signature block ends; no other may.
    const CardBlock w = ShortBlock("W;2016-01-05 09:00:00;CLOTURE;", blocks[2]);
    const CardBlock s1000 = SignatureBlock(1000, w);
    const CardBlock t1001 = LongBlock('T', ReceiptPayload(100), 1001, s1000);
    const CardBlock s1002 = SignatureBlock(1002, t1001);
    r = Verify(Archive("jump5.csv",
                       JoinLines(blocks, 0, 3) + w.line + s1000.line + t1001.line + s1002.line));
    EXPECT_TRUE(r.ok) << (r.errors.empty() ? "" : r.errors.front());
    const CardBlock t1000 = LongBlock('T', ReceiptPayload(100), 1000, s6);
    r = Verify(Archive("jump6.csv", leading + t1000.line + SignatureBlock(1001, t1000).line));
    EXPECT_EQ(r.errors, (std::vector<std::string>{"Current block number is not consecutive",
                                                  BlockMessage(7, 7), "Verification failed"}));
    EXPECT_EQ(r.rows[0][3], "Failed when verifying block 7 (00000007)");

    // An incident between the origin and its first pair: the first signature
    // block ends at sector 5, and the range after it starts at 1000.
    const CardBlock c3 = ShortBlock("P;2015-12-20 06:30:00;MISE EN SERVICE;", blocks[0]);
    const CardBlock w4 = ShortBlock("W;2015-12-20 06:30:01;ORIGINE;", c3);
    const CardBlock s5 = SignatureBlock(5, w4);
    const CardBlock w999 = ShortBlock("W;2016-01-05 09:00:00;CLOTURE;", s5);
    const CardBlock after = SignatureBlock(1000, w999);
    const CardBlock receipt = LongBlock('T', ReceiptPayload(100), 1001, after);
    r = Verify(Archive("incident first.csv", JoinLines(blocks, 0, 1) + c3.line + w4.line + s5.line + w999.line +
                                                 after.line + receipt.line + SignatureBlock(1002, receipt).line));
    EXPECT_TRUE(r.ok) << (r.errors.empty() ? "" : r.errors.front());
    // The block after the first signature block follows on at 5: the numbers
    // may not jump at the block after it.
    const CardBlock next5 = SignatureBlock(5, blocks[2]);
    const CardBlock late = LongBlock('T', ReceiptPayload(100), 1000, next5);
    r = Verify(Archive("late jump.csv", JoinLines(blocks, 0, 3) + next5.line + late.line + SignatureBlock(1001, late).line));
    EXPECT_EQ(r.errors, (std::vector<std::string>{"Current block number is not consecutive",
                                                  BlockMessage(6, 6), "Verification failed"}));
}

TEST_F(VerifierdXTest, HashChainStartsAtZeroAndBreaksOnlyAfterTheFirstSignature) {
    std::vector<CardBlock> blocks = Card('K', SmallCard(2));
    const size_t closure = FindBlock(blocks, 'E');
    std::vector<CardBlock> split(blocks.begin(), blocks.begin() + 3);
    split.insert(split.end(), blocks.begin() + static_cast<long>(closure) + 1, blocks.end());

    // The origin of trust block must carry 32 zero bytes as previous hash.
    std::vector<CardBlock> changed = blocks;
    changed[0].line.replace(changed[0].line.size() - 130, 1, "1");
    VerifyOutcome r = Verify(Archive("root.csv", JoinLines(changed)));
    EXPECT_EQ(r.errors, (std::vector<std::string>{
                            "Hash validation failed in first block.Archive verification failed",
                            "Verification failed"}));
    EXPECT_EQ(r.rows[0][3], "Failed when verifying first block.");

    // One payload byte of a transaction block.
    const size_t t = FindBlock(blocks, 'T');
    changed = blocks;
    changed[t].line[60] ^= 1;
    r = Verify(Archive("payload.csv", JoinLines(changed)));
    const std::string at = BlockMessage(blocks[t].number, blocks[t].number);
    EXPECT_EQ(r.errors, (std::vector<std::string>{"Current hash validation failed", at,
                                                  "Verification failed"}));
    EXPECT_EQ(r.rows[0][3], at);

    // The block after the first signature block may carry any previous hash, and
    // yet its own hash is checked over the one it carries.
    std::vector<CardBlock> edited = split;
    edited[3].line.replace(edited[3].line.size() - 130, 1,
                           edited[3].line[edited[3].line.size() - 130] == 'A' ? "B" : "A");
    r = Verify(Archive("break.csv", JoinLines(edited)));
    EXPECT_EQ(r.errors,
              (std::vector<std::string>{"Current hash validation failed",
                                        "Failed when verifying block 5", "Verification failed"}));
    EXPECT_EQ(r.rows[0][3], "Failed when verifying block 5");
    edited = split;
    const size_t prevAt = edited[3].line.size() - 130;
    edited[3].bytes[edited[3].paddedLength] ^= 0xFF;
    Rehash(edited[3]);
    ASSERT_NE(edited[3].line.substr(prevAt, 2), split[3].line.substr(prevAt, 2));
    // ... then the signature block after it no longer chains.
    r = Verify(Archive("after.csv", JoinLines(edited)));
    EXPECT_EQ(r.errors,
              (std::vector<std::string>{"Previous hash validation failed",
                                        BlockMessage(6, split[4].number), "Verification failed"}));
    // The same change one block later breaks the chain at once.
    edited = split;
    edited[4].line.replace(edited[4].line.size() - 130, 1,
                           edited[4].line[edited[4].line.size() - 130] == 'A' ? "B" : "A");
    r = Verify(Archive("later.csv", JoinLines(edited)));
    EXPECT_EQ(r.errors.front(), "Previous hash validation failed");

    // A short-form block lettered S is an incident, not a signature block: put in
    // place of the incident before the second signature block, it does not
    // chain to that signature block.
    for (const char* content : {"S;2016-01-05 09:00:00;FAUX;", "C;2016-01-05 09:00:00;FAUX;"}) {
        edited = split;
        edited[3] = ShortBlock(content, split[2]);
        r = Verify(Archive("fake.csv", JoinLines(edited)));
        EXPECT_FALSE(r.ok) << content;
        EXPECT_EQ(r.errors, (std::vector<std::string>{"Previous hash validation failed",
                                                      BlockMessage(6, split[4].number),
                                                      "Verification failed"}));
    }
}

TEST_F(VerifierdXTest, EveryDamageOfTheCardIsFoundAtItsBlock) {
    struct Case {
        CardDamage damage;
        char letter;
    };
    for (const Case c : {Case{CardDamage::Payload, 'K'}, Case{CardDamage::Chain, 'L'},
                         Case{CardDamage::Signature, 'M'}, Case{CardDamage::DsVersion, 'N'}}) {
        SCOPED_TRACE(DamageName(c.damage));
        CardOptions options = SmallCard(3);
        options.damage = c.damage;
        const std::vector<CardBlock> blocks = Card(c.letter, options);
        ASSERT_GE(summary_.damagedBlock, 0);
        const auto number = static_cast<uint32_t>(summary_.damagedBlock);
        const auto damaged = std::find_if(blocks.begin(), blocks.end(),
                                          [&](const CardBlock& b) { return b.number == number; });
        ASSERT_NE(damaged, blocks.end());
        const std::string at = BlockMessage(number, number);

        const VerifyOutcome r = Verify(Archive("damaged.csv", JoinLines(blocks)));
        EXPECT_FALSE(r.ok);
        ASSERT_EQ(r.rows.size(), 1u);
        EXPECT_EQ(r.rows[0][2], "Failure");
        EXPECT_EQ(r.rows[0][3], at);
        std::vector<std::string> expected;
        switch (c.damage) {
            case CardDamage::Payload:
                expected = {"Current hash validation failed", at};
                break;
            case CardDamage::Chain:
                expected = {"Previous hash validation failed", at};
                break;
            case CardDamage::Signature:
                EXPECT_EQ(damaged->type, 'S');
                expected = {"Signature Verification failed", at};
                break;
            default:
                // The writer prints the first sector's version as 2: the block's
                // own hash no longer matches (a later sector keeps its 03).
                expected = damaged->sectors == 1
                               ? std::vector<std::string>{"Current hash validation failed", at}
                               : std::vector<std::string>{"Invalid data structure version found",
                                                          "Other blocks extraction failed", at};
                break;
        }
        expected.push_back("Verification failed");
        EXPECT_EQ(r.errors, expected);
        EXPECT_EQ(Verify(Archive("damaged.csv", JoinLines(blocks)), c.letter).errors, expected);

        if (c.damage == CardDamage::DsVersion) {
            const VerifyOutcome found =
                Verify(Archive("ds.csv", JoinLines(ReadCardBlocks(c.letter, CsvOptions{true}))));
            EXPECT_EQ(found.errors,
                      (std::vector<std::string>{"Invalid data structure version found", at,
                                                "Verification failed"}));
        }
    }
}

TEST_F(VerifierdXTest, ChangedMissingAndCutLinesFail) {
    const std::vector<CardBlock> blocks = Card('K', SmallCard(2));
    const size_t t = FindBlock(blocks, 'T', 5);
    // A one-sector transaction block followed by a long-form block.
    size_t single = t;
    while (single + 1 < blocks.size() &&
           (blocks[single].type != 'T' || blocks[single].sectors != 1 ||
            blocks[single + 1].shortForm)) {
        ++single;
    }
    ASSERT_LT(single + 1, blocks.size());
    const CardBlock& block = blocks[single];
    const std::string at = BlockMessage(block.number, block.number);

    // Transaction block count of the first sector (line offset 28).
    std::vector<CardBlock> changed = blocks;
    ASSERT_EQ(changed[single].line.substr(28, 4), "0001");
    changed[single].line.replace(28, 4, "0002");
    VerifyOutcome r = Verify(Archive("count.csv", JoinLines(changed)));
    EXPECT_EQ(r.errors,
              (std::vector<std::string>{
                  "Transaction block count in book keeping value and count calculated from block "
                  "length is not same",
                  at, "Verification failed"}));
    EXPECT_EQ(r.rows[0][3], "Incorrect data found.");

    // The block number (line offset 19).
    changed = blocks;
    char number[16];
    std::snprintf(number, sizeof number, "%08X", block.number + 1);
    changed[single].line.replace(19, 8, number);
    r = Verify(Archive("number.csv", JoinLines(changed)));
    EXPECT_EQ(r.errors, (std::vector<std::string>{"Current block number is not consecutive", at,
                                                  "Verification failed"}));

    // A hash digit that is no hexadecimal digit.
    changed = blocks;
    changed[single].line[changed[single].line.size() - 100] = 'G';
    r = Verify(Archive("digit.csv", JoinLines(changed)));
    EXPECT_EQ(r.errors.front(), "Previous hash is not in hexadecimal format");
    // A lower-case hash is the same hash.
    changed = blocks;
    for (CardBlock& b : changed) {
        std::string& line = b.line;
        std::transform(line.end() - 130, line.end(), line.end() - 130, [](char ch) {
            return static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        });
    }
    EXPECT_TRUE(Verify(Archive("lower.csv", JoinLines(changed))).ok);

    // A missing line.
    changed = blocks;
    changed.erase(changed.begin() + static_cast<long>(single));
    r = Verify(Archive("missing.csv", JoinLines(changed)));
    EXPECT_EQ(r.errors.front(), "Current block number is not consecutive");

    // Cut files.
    // A line that is cut short cannot fit the rest of the file: this is known
    // before its block is read.
    const std::string whole = JoinLines(blocks);
    const std::string last = BlockMessage(blocks.back().number, blocks.back().number);
    for (size_t cut : {size_t{1}, size_t{10}, size_t{200}}) {
        r = Verify(Archive("cut.csv", whole.substr(0, whole.size() - cut)));
        EXPECT_EQ(r.errors,
                  (std::vector<std::string>{
                      "Data position calculated based on length excceds maximum file size", last,
                      "Verification failed"}));
        EXPECT_EQ(r.rows[0][3], "Incorrect data found.");
    }
    std::string broken = whole;
    broken.back() = ';';
    r = Verify(Archive("cut.csv", broken));
    EXPECT_EQ(r.errors,
              (std::vector<std::string>{"New line character is not found after current hash", last,
                                        "Verification failed"}));
    broken = whole;
    broken[broken.size() - 20] = '\n';
    EXPECT_EQ(Verify(Archive("cut.csv", broken)).errors.front(),
              "Hash size is less than expected(64 characters)");
    broken = whole;
    broken[broken.size() - 100] = ';';
    EXPECT_EQ(Verify(Archive("cut.csv", broken)).errors.front(),
              "Hash size is less than expected(64 characters)");
    r = Verify(Archive("cut.csv", JoinLines(blocks, 0, single + 1)));
    EXPECT_EQ(r.errors.front(), "Signature is not found at the end of archive");
    r = Verify(Archive("cut.csv", whole.substr(0, whole.size() - blocks.back().line.size() + 20)));
    EXPECT_EQ(r.errors.front(), "Reading current block number failed");
    EXPECT_EQ(r.rows[0][3], BlockMessage(blocks.back().number, blocks.back().number));
}

TEST_F(VerifierdXTest, AgainstTheCardTheIdentityAndTheExtentMustBeTheCards) {
    std::vector<CardBlock> blocks = Card('K', SmallCard(2));
    const std::string whole = JoinLines(blocks);
    const std::string publicKey = summary_.publicKey;
    CardOptions other = SmallCard(2);
    other.seed = 77;
    Card('L', other);

    VerifyOutcome r = Verify(Archive("a.csv", whole), 'L');
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.errors,
              (std::vector<std::string>{"Incorrect SMC", "SMC correctness verification failed",
                                        BlockMessage(0, 0), "Verification failed"}));
    EXPECT_EQ(r.rows[0][3], "Incorrect Secure Memory Card");

    // Another origin of trust block text of the same card: its own hash holds, the root hash is not
    // the card's.
    std::vector<CardBlock> changed = blocks;
    CardBlock& origin = changed[0];
    const std::string text(origin.bytes.begin(), origin.bytes.end());
    const size_t fin = text.find("FIN ORIGINE");
    ASSERT_NE(fin, std::string::npos);
    origin.bytes[fin] = 'f';
    Rehash(origin);
    r = Verify(Archive("root.csv", JoinLines(changed)), 'K');
    EXPECT_EQ(r.errors, (std::vector<std::string>{"Incorrect root hash",
                                                  "SMC correctness verification failed",
                                                  BlockMessage(0, 0), "Verification failed"}));
    EXPECT_EQ(r.rows[0][3], "First block data not integral");

    // Another public key (its last digit): it is part of the block the root hash covers.
    changed = blocks;
    const size_t key = text.find(publicKey);
    ASSERT_NE(key, std::string::npos);
    changed[0].bytes[key + publicKey.size() - 1] ^= 1;
    Rehash(changed[0]);
    r = Verify(Archive("key.csv", JoinLines(changed)), 'K');
    EXPECT_EQ(r.errors.front(), "Incorrect root hash");
    EXPECT_EQ(r.rows[0][3], "First block data not integral");

    // An archive that reaches the card's next write index holds more than the
    // card: here the card is made to hold the archive's blocks but its last sector.
    const size_t signature = FindBlock(blocks, 'S', FindBlock(blocks, 'E'));
    const std::string prefix = Archive("prefix.csv", JoinLines(blocks, 0, signature + 1));
    const uint32_t last = blocks[signature].number;
    auto setNextWriteIndex = [&](uint32_t index) {
        std::fstream info(Join(CardFolder('K'), "WORMINFO.DAT"),
                          std::ios::in | std::ios::out | std::ios::binary);
        const char bytes[4] = {static_cast<char>(index >> 24), static_cast<char>(index >> 16),
                               static_cast<char>(index >> 8), static_cast<char>(index)};
        info.seekp(24);
        info.write(bytes, 4);
    };
    setNextWriteIndex(last);
    r = Verify(prefix, 'K');
    EXPECT_EQ(r.errors,
              (std::vector<std::string>{"Current block number exceeds next write index in SMC",
                                        "Verification failed"}));
    EXPECT_EQ(r.rows[0][3], "Incorrect data found.");
    setNextWriteIndex(last + 1);
    r = Verify(prefix, 'K');
    EXPECT_TRUE(r.ok) << (r.errors.empty() ? "" : r.errors.front());
    setNextWriteIndex(9);
    EXPECT_TRUE(Contains(Verify(prefix, 'K').errors, "Extract SMC data failed"));
}

}  // namespace
}  // namespace tv::test
