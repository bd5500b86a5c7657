// Generated ZT4 card images: identifier and fusing blocks, XML documents the
// block reader accepts, closures by day, month and year with their signature
// pairs, signatures checked with the key each signature block carries.
#include <gtest/gtest.h>

#include <regex>

#include "emulator/CardGenerator.h"
#include "emulator/CardImageReader.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

using test::CardImageReader;
using test::ImageBlock;

class CardGeneratorZt4Test : public test::TestEnvironment {
protected:
    CardImageReader Make(const CardOptions& options, const std::string& name) {
        CardImageReader reader;
        std::string error;
        EXPECT_TRUE(GenerateCard(options, TempPath(name), summary_, error)) << error;
        EXPECT_TRUE(reader.Load(TempPath(name))) << reader.error;
        EXPECT_TRUE(reader.ReadBlocks(true, summary_.publicKey)) << reader.error;
        return reader;
    }
    CardSummary summary_;
};

CardOptions Zt4(uint64_t seed) {
    CardOptions o;
    o.family = CardFamily::Zt4;
    o.seed = seed;
    return o;
}

TEST_F(CardGeneratorZt4Test, YearEndCardHasItsClosuresSignaturesAndXml) {
    CardOptions o = Zt4(21);
    o.start = CalendarDate{2015, 11, 28};
    o.days = 36;  // to 2016-01-02: month ends in November and December, the year end
    o.receiptsPerDay = 6;
    o.multiSectorPercent = 40;
    o.storeFiles = 2;
    const CardImageReader r = Make(o, "zt4");

    EXPECT_EQ(r.LastWrite(), r.NextWrite() - 1);
    EXPECT_EQ(r.fileSizes.size(), 2u);
    ASSERT_GE(r.blocks.size(), 4u);
    EXPECT_EQ(r.blocks[0].type, 'I');
    EXPECT_EQ(r.blocks[0].Text(4, 7), "ZT4");
    EXPECT_EQ(r.blocks[1].number, 1u);
    EXPECT_EQ(r.blocks[1].kind, "fpg");
    EXPECT_EQ(r.serial_, summary_.scaleSerialNumber);
    EXPECT_EQ(r.printable_, r.PrintableUid());

    const std::string types = r.TypeSequence();
    EXPECT_TRUE(
        std::regex_match(types, std::regex("IOWS([TCFPR]*DWS[PR]?){2}[TCFPR]*DWSMWS"  // to Nov 30
                                           "([TCFPR]*DWS[PR]?){30}[TCFPR]*DWSMWSYWS"  // to Dec 31
                                           "([TCFPR]*DWS[PR]?){2}")))                 // Jan 1 and 2
        << types;

    int multi = 0;
    for (size_t i = 0; i < r.blocks.size(); ++i) {
        const ImageBlock& b = r.blocks[i];
        EXPECT_TRUE(b.hashOk) << b.number;
        EXPECT_TRUE(b.chainOk) << b.number;
        EXPECT_TRUE(b.headersOk) << b.number;
        if (b.type == 'S') {
            EXPECT_EQ(b.signatureOk, 1) << b.number;
        }
        if (b.contentLength == 0 || b.number == 0) continue;
        EXPECT_EQ(b.xmlResult, CXmlParse::kOk) << b.number;
        EXPECT_EQ(b.Text(4, 9), "<fit>");
        EXPECT_EQ(b.date.size(), 19u) << b.number;
        if (b.type == 'T' && b.sectors > 1) ++multi;
        // A closure's signature block carries the closure's date text; a
        // signature incident block stands between them.
        if (b.type == 'E') {
            ASSERT_LT(i + 2, r.blocks.size());
            EXPECT_EQ(r.blocks[i + 1].type, 'W');
            EXPECT_EQ(r.blocks[i + 2].type, 'S');
            EXPECT_EQ(r.blocks[i + 2].date, b.date);
        }
        // Month and year closures at the last day of a month and of the year.
        if (b.kind == "fcm") {
            EXPECT_TRUE(b.date.rfind("2015-11-30", 0) == 0 || b.date.rfind("2015-12-31", 0) == 0)
                << b.date;
        }
        if (b.kind == "fcy") {
            EXPECT_EQ(b.date.substr(0, 10), "2015-12-31");
            // The next year's first receipt follows the year closure's signature.
            ASSERT_LT(i + 3, r.blocks.size());
            EXPECT_EQ(r.blocks[i + 3].kind, "ftk");
        }
    }
    EXPECT_GT(multi, 0);
    EXPECT_EQ(summary_.firstDate, "2015-11-28");
    EXPECT_EQ(summary_.lastDate, "2016-01-02");
    EXPECT_EQ(summary_.blocksByType.at('E'), 36u + 2u + 1u);
}

TEST_F(CardGeneratorZt4Test, TailEmptyAndUnfusedCards) {
    CardOptions o = Zt4(4);
    o.days = 1;
    o.receiptsPerDay = 2;
    o.unclosedTailReceipts = 3;
    o.fused = false;
    CardImageReader r = Make(o, "tail");
    EXPECT_FALSE(r.Fused());
    const std::string types = r.TypeSequence();
    EXPECT_TRUE(std::regex_match(types, std::regex("IOWS[TCFPR]*DWS[PR]?TTT"))) << types;
    EXPECT_EQ(r.blocks.back().kind, "ftk");
    EXPECT_EQ(summary_.lastDate, "2015-12-21");

    o = Zt4(4);
    o.empty = true;
    o.totalSectors = 100;
    CardImageReader empty = Make(o, "empty");
    EXPECT_EQ(empty.NextWrite(), 0u);
    EXPECT_EQ(empty.LastWrite(), 0u);
    EXPECT_EQ(empty.Total(), 100u);
    EXPECT_TRUE(empty.Fused());
}

}  // namespace
}  // namespace tv
