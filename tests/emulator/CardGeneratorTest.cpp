// Generated dX card images, read back with the tests' own reader: the info
// sector, the origin of trust block, the sector headers, the hash chain, the
// scale's signatures, the order of the blocks and their dates; the same seed
// gives the same bytes, the store options shape the files.
#include <gtest/gtest.h>

#include <regex>

#include "emulator/CardGenerator.h"
#include "emulator/CardImageReader.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

using test::CardImageReader;
using test::ImageBlock;

class CardGeneratorTest : public test::TestEnvironment {
protected:
    // Generates the card and reads it back; the summary is kept in summary_.
    CardImageReader Make(const CardOptions& options, const std::string& name) {
        CardImageReader reader;
        std::string error;
        folder_ = TempPath(name);
        EXPECT_TRUE(GenerateCard(options, folder_, summary_, error)) << error;
        EXPECT_TRUE(reader.Load(folder_)) << reader.error;
        EXPECT_TRUE(reader.ReadBlocks(options.family == CardFamily::Zt4, summary_.publicKey))
            << reader.error;
        return reader;
    }

    CardSummary summary_;
    std::string folder_;
};

// Every block sound: hash, chain, headers, signatures.
void ExpectSound(const CardImageReader& r) {
    for (const ImageBlock& b : r.blocks) {
        EXPECT_TRUE(b.hashOk) << b.number;
        EXPECT_TRUE(b.chainOk) << b.number;
        EXPECT_TRUE(b.headersOk) << b.number;
        if (b.contentLength != 0) {
            EXPECT_EQ(b.dsVersion, 2) << b.number;
        }
        if (b.type == 'S') {
            EXPECT_EQ(b.signatureOk, 1) << b.number;
        }
    }
}

TEST_F(CardGeneratorTest, DxCardHasTheOriginSectorLayoutChainAndSignatures) {
    CardOptions o;
    o.seed = 11;
    o.days = 12;
    o.receiptsPerDay = 12;
    o.multiSectorPercent = 30;
    const CardImageReader r = Make(o, "dx");

    // Info sector.
    EXPECT_EQ(r.CustId(), "QX33");
    EXPECT_TRUE(r.Fused());
    EXPECT_EQ(r.info[29], 0);
    EXPECT_EQ(r.NextWrite(), summary_.sectorsUsed);
    EXPECT_EQ(r.LastWrite(), r.NextWrite() - 1);
    EXPECT_GT(r.Total(), r.NextWrite());
    EXPECT_EQ(r.UidHex(), summary_.smcUid);
    EXPECT_EQ(r.PrintableUid(), summary_.printableUid);
    EXPECT_EQ(r.PrintableUid().find_first_not_of("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"),
              std::string::npos);

    // The origin of trust block: three sectors, its labels with the 0xF8 and 0xE9 bytes.
    ASSERT_FALSE(r.blocks.empty());
    const ImageBlock& o0 = r.blocks[0];
    EXPECT_EQ(o0.type, 'O');
    EXPECT_EQ(o0.sectors, 3u);
    EXPECT_GT(o0.paddedLength, 1046u);
    EXPECT_EQ(CardImageReader::LabelValue(o0, 22, "Balance N\xF8 de Serie:;", 10),
              summary_.scaleSerialNumber);
    EXPECT_EQ(CardImageReader::LabelValue(o0, 22, "Balance type:;", 4), "dX  ");
    EXPECT_EQ(CardImageReader::LabelValue(o0, 22,
                                          "Version fiscalis\xE9"
                                          "e:;",
                                          5),
              "01.00");
    EXPECT_EQ(CardImageReader::LabelValue(o0, 534, "SMC Unique ID:;", 32), r.UidHex());
    EXPECT_EQ(CardImageReader::LabelValue(o0, 534, "SMC signature clef public:;", 266),
              summary_.publicKey);
    EXPECT_EQ(std::string(o0.PreviousHash(), o0.PreviousHash() + 32), std::string(32, '\0'));

    ExpectSound(r);
    EXPECT_EQ(summary_.blockCount, r.blocks.size());

    // Block order: origin, two W S pairs, then per day a header, the day and E W S.
    const std::string types = r.TypeSequence();
    EXPECT_TRUE(std::regex_match(types, std::regex("OWSWS(H[TUCFPR]*EWS[PR]?){12}"))) << types;
    EXPECT_EQ(r.blocks[1].number, 3u);
    EXPECT_EQ(r.blocks[2].number, 4u);
    EXPECT_EQ(summary_.blocksByType.at('T'), 12u * 12u);
    EXPECT_EQ(summary_.blocksByType.at('E'), 12u);
    EXPECT_EQ(summary_.blocksByType.at('S'), 2u + 12u);
    EXPECT_EQ(summary_.blocksByType.at('W'), 2u + 12u);
    // User messages and incidents of the day, and after a closure.
    EXPECT_NE(types.find('U'), std::string::npos) << types;
    EXPECT_NE(types.find_first_of("CF"), std::string::npos) << types;
    EXPECT_TRUE(std::regex_search(types, std::regex("EWS[PR]"))) << types;

    // Closures and signature blocks take one sector (scans step sector by
    // sector); some receipts take several.
    uint32_t multi = 0;
    for (const ImageBlock& b : r.blocks) {
        if (b.type == 'E' || b.type == 'S' || b.type == 'H' || b.contentLength == 0) {
            EXPECT_EQ(b.sectors, 1u) << b.number;
        }
        if (b.sectors > 1 && b.type == 'T') ++multi;
    }
    EXPECT_GT(multi, 0u);
    EXPECT_EQ(summary_.multiSectorBlocks, multi + 1);  // and the origin of trust block

    // Dates: every dated block within the twelve days, in order.
    std::string last;
    for (const ImageBlock& b : r.blocks) {
        if (b.date.empty()) continue;
        EXPECT_GE(b.date, last) << b.number;
        last = b.date;
        EXPECT_GE(b.date, "2015-12-20");
        EXPECT_LE(b.date, "2015-12-31");
    }
    EXPECT_EQ(summary_.firstDate, "2015-12-20");
    EXPECT_EQ(summary_.lastDate, "2015-12-31");
}

TEST_F(CardGeneratorTest, SameSeedGivesTheSameBytesAndAnotherSeedAnotherCard) {
    for (CardFamily family : {CardFamily::Dx, CardFamily::Zt4}) {
        CardOptions o;
        o.family = family;
        o.seed = 5;
        o.days = 3;
        o.receiptsPerDay = 8;
        CardSummary a, b, c;
        std::string error;
        const std::string name = FamilyName(family);
        ASSERT_TRUE(GenerateCard(o, TempPath(name + "a"), a, error)) << error;
        ASSERT_TRUE(GenerateCard(o, TempPath(name + "b"), b, error)) << error;
        o.seed = 6;
        ASSERT_TRUE(GenerateCard(o, TempPath(name + "c"), c, error)) << error;
        for (const char* file : {"WORMINFO.DAT", "WORMSTOR.DAT"}) {
            const std::string first = ReadFile(TempPath(name + "a/") + file);
            EXPECT_EQ(first, ReadFile(TempPath(name + "b/") + file)) << name << file;
            EXPECT_NE(first, ReadFile(TempPath(name + "c/") + file)) << name << file;
        }
        EXPECT_NE(a.publicKey, c.publicKey);
        EXPECT_NE(a.smcUid, c.smcUid);
        EXPECT_NE(a.scaleSerialNumber, c.scaleSerialNumber);
    }
}

TEST_F(CardGeneratorTest, StoreOptionsShapeTheFilesAndTheInfoSector) {
    CardOptions o;
    o.seed = 3;
    o.days = 4;
    o.storeFiles = 3;
    o.totalSectors = 3001;
    o.fused = false;
    o.customisationId = "AB12";
    CardImageReader split = Make(o, "split");
    EXPECT_EQ(split.Total(), 3001u);
    EXPECT_EQ(split.fileSizes, (std::vector<uint64_t>{1000 * 512, 1000 * 512, 1001 * 512}));
    EXPECT_FALSE(split.Fused());
    EXPECT_EQ(split.CustId(), "AB12");
    ExpectSound(split);
    // The free sectors are zero.
    for (size_t i = uint64_t{split.NextWrite()} * 512; i < split.store.size(); ++i) {
        ASSERT_EQ(split.store[i], 0) << i;
    }

    // Writing one file into the same folder removes the old continuation files.
    o.storeFiles = 1;
    o.totalSectors = 0;
    const CardImageReader single = Make(o, "split");
    EXPECT_EQ(single.fileSizes.size(), 1u);
    EXPECT_FALSE(FileExists(Join(folder_, "WORMSTO1.DAT")));
    EXPECT_EQ(single.Total() % 2048, 0u);
    EXPECT_GE(single.Total() - single.NextWrite(), 2048u);
    // Same journal whatever the store's shape.
    EXPECT_TRUE(std::equal(single.store.begin(), single.store.begin() + single.NextWrite() * 512,
                           split.store.begin()));

    // A total below what the journal takes is refused, and no half-written image
    // (nor the earlier one) stays in the folder.
    o.totalSectors = 20;
    std::string error;
    EXPECT_FALSE(GenerateCard(o, folder_, error));
    EXPECT_NE(error.find("total store size"), std::string::npos) << error;
    EXPECT_FALSE(FileExists(Join(folder_, "WORMSTOR.DAT")));
    EXPECT_FALSE(FileExists(Join(folder_, "WORMINFO.DAT")));
}

TEST_F(CardGeneratorTest, EmptyCardsTailsAndSharesOfMultiSectorReceipts) {
    CardOptions o;
    o.empty = true;
    CardImageReader empty = Make(o, "empty");
    EXPECT_EQ(empty.NextWrite(), 0u);
    EXPECT_EQ(empty.LastWrite(), 0u);
    EXPECT_TRUE(empty.Fused());
    EXPECT_TRUE(empty.blocks.empty());
    EXPECT_EQ(empty.Total(), 2048u);
    EXPECT_TRUE(summary_.firstDate.empty());

    // An unclosed tail: a header and receipts of the next day after the last group.
    o = CardOptions{};
    o.days = 2;
    o.receiptsPerDay = 5;
    o.unclosedTailReceipts = 4;
    o.multiSectorPercent = 100;
    CardImageReader tail = Make(o, "tail");
    ExpectSound(tail);
    const std::string types = tail.TypeSequence();
    EXPECT_TRUE(std::regex_match(types, std::regex("OWSWS(H[TUCFPR]*EWS[PR]?){2}HTTTT"))) << types;
    EXPECT_EQ(summary_.lastDate, "2015-12-22");
    for (const ImageBlock& b : tail.blocks) {
        if (b.type == 'T') {
            EXPECT_GT(b.sectors, 1u) << b.number;
        }
    }

    o.multiSectorPercent = 0;
    o.unclosedTailReceipts = 0;
    CardImageReader single = Make(o, "single");
    for (const ImageBlock& b : single.blocks) {
        if (b.type == 'T') {
            EXPECT_EQ(b.sectors, 1u) << b.number;
        }
    }

    // No closed day at all: the origin and its pairs only.
    o.days = 0;
    CardImageReader bare = Make(o, "bare");
    EXPECT_EQ(bare.TypeSequence(), "OWSWS");
    EXPECT_EQ(bare.NextWrite(), 7u);
}

TEST_F(CardGeneratorTest, ShapesOfRealScalesOnBothFamilies) {
    // An incident between the origin and its first signature, closures of three
    // sectors, an incident after every closure group: each where a scale writes it.
    struct Case {
        CardFamily family;
        const char* pattern;
    };
    for (const Case& c : {Case{CardFamily::Dx, "OPWSWS(H[TUCFPR]*EWS[PR])+"},
                          Case{CardFamily::Zt4, "IOPWS([TCFPR]*DWS[PR])+"}}) {
        SCOPED_TRACE(FamilyName(c.family));
        CardOptions o;
        o.family = c.family;
        o.days = 4;
        o.receiptsPerDay = 3;
        o.originIncident = 'P';
        o.closureSectors = 3;
        o.incidentAfterClosures = true;
        const CardImageReader r = Make(o, c.family == CardFamily::Dx ? "dx-shapes" : "zt4-shapes");
        if (c.family == CardFamily::Dx) ExpectSound(r);
        for (const ImageBlock& b : r.blocks) {
            EXPECT_TRUE(b.hashOk && b.chainOk && b.signatureOk != 0) << b.number;
        }
        const std::string types = r.TypeSequence();
        EXPECT_TRUE(std::regex_match(types, std::regex(c.pattern))) << types;
        uint32_t closures = 0;
        for (const ImageBlock& b : r.blocks) {
            if (b.type != 'E') continue;
            ++closures;
            EXPECT_EQ(b.sectors, 3u) << b.number;
            // The closure's date stands in its first sector, as in any dated block.
            EXPECT_GE(b.date.substr(0, 10), "2015-12-20") << b.number;
            EXPECT_LE(b.date.substr(0, 10), "2015-12-23") << b.number;
        }
        EXPECT_EQ(closures, 4u);
        EXPECT_EQ(summary_.lastDate, "2015-12-23");
    }

    // Without the options the cards stay as they were: one-sector closures and
    // the origin's first signature pair right after it.
    CardOptions plain;
    plain.days = 3;
    const CardImageReader r = Make(plain, "plain");
    EXPECT_EQ(r.TypeSequence().substr(0, 5), "OWSWS");
    for (const ImageBlock& b : r.blocks) {
        if (b.type == 'E') {
            EXPECT_EQ(b.sectors, 1u) << b.number;
        }
    }
}

TEST_F(CardGeneratorTest, RefusedOptionsAndFolders) {
    std::string error;
    CardOptions o;
    o.customisationId = "QX3";
    EXPECT_FALSE(GenerateCard(o, TempPath("a"), error));
    o = CardOptions{};
    o.storeFiles = 17;
    EXPECT_FALSE(GenerateCard(o, TempPath("a"), error));
    o = CardOptions{};
    o.family = CardFamily::Zt4;
    o.damage = CardDamage::DsVersion;
    EXPECT_FALSE(GenerateCard(o, TempPath("a"), error));
    o = CardOptions{};
    o.days = 0;
    o.damage = CardDamage::Payload;
    EXPECT_FALSE(GenerateCard(o, TempPath("a"), error));
    o = CardOptions{};
    o.originIncident = 'W';
    EXPECT_FALSE(GenerateCard(o, TempPath("a"), error));
    o = CardOptions{};
    o.closureSectors = 5;
    EXPECT_FALSE(GenerateCard(o, TempPath("a"), error));
    EXPECT_FALSE(FileExists(TempPath("a")));
    EXPECT_FALSE(GenerateCard(CardOptions{}, "", error));

    // A folder that cannot be made: a file stands in its place.
    WriteFile(TempPath("file"), "x");
    EXPECT_FALSE(GenerateCard(CardOptions{}, Join(TempPath("file"), "card"), error));
    EXPECT_FALSE(error.empty());
    // Missing parent folders are made.
    EXPECT_TRUE(GenerateCard(CardOptions{}, Join(Join(TempPath("deep"), "er"), "card"), error)) << error;
}

}  // namespace
}  // namespace tv
