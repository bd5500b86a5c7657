// Card images that grow by days, as a scale fills its card between archive runs.
#include <gtest/gtest.h>

#include "emulator/CardExtension.h"
#include "emulator/CardGenerator.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

class CardExtensionTest : public test::TestEnvironment {
protected:
    CardSummary Generate(const CardOptions& o, const std::string& name) {
        CardSummary summary;
        std::string error;
        EXPECT_TRUE(GenerateCard(o, TempPath(name), summary, error)) << error;
        return summary;
    }
    std::string Store(const std::string& name) const {
        std::string store;
        for (const char* file : {"WORMSTOR.DAT", "WORMSTO1.DAT", "WORMSTO2.DAT", "WORMSTO3.DAT"}) {
            if (FileExists(Join(TempPath(name), file))) store += ReadFile(Join(TempPath(name), file));
        }
        return store;
    }
};

TEST_F(CardExtensionTest, GrownCardsKeepTheirJournalAndEqualACardMadeAtOnce) {
    for (CardFamily family : {CardFamily::Dx, CardFamily::Zt4}) {
        SCOPED_TRACE(FamilyName(family));
        CardOptions o;
        o.family = family;
        o.days = 2;
        o.receiptsPerDay = 5;
        o.storeFiles = 3;
        const CardSummary before = Generate(o, "grown");
        const std::string journal = Store("grown").substr(0, size_t{before.sectorsUsed} * 512);
        WriteFile(Join(TempPath("grown"), "Archive.log"), "kept");

        CardSummary after;
        std::string error;
        ASSERT_TRUE(ExtendCard(TempPath("grown"), 3, after, error)) << error;
        EXPECT_GT(after.sectorsUsed, before.sectorsUsed);
        EXPECT_EQ(after.firstDate, before.firstDate);
        EXPECT_EQ(after.lastDate, "2015-12-24");
        EXPECT_EQ(Store("grown").substr(0, journal.size()), journal);
        EXPECT_EQ(ReadFile(Join(TempPath("grown"), "Archive.log")), "kept");
        EXPECT_FALSE(FileExists(TempPath("grown") + ".growing"));

        o.days = 5;
        Generate(o, "at-once");
        EXPECT_TRUE(Store("grown") == Store("at-once"));
        EXPECT_EQ(ReadFile(Join(TempPath("grown"), "WORMINFO.DAT")), ReadFile(Join(TempPath("at-once"), "WORMINFO.DAT")));
    }
}

TEST_F(CardExtensionTest, GrownCardsKeepTheShapesTheyWereMadeWith) {
    for (CardFamily family : {CardFamily::Dx, CardFamily::Zt4}) {
        SCOPED_TRACE(FamilyName(family));
        CardOptions o;
        o.family = family;
        o.days = 2;
        o.receiptsPerDay = 3;
        o.originIncident = 'C';
        o.closureSectors = 2;
        o.incidentAfterClosures = true;
        o.shortLastSector = true;
        o.multiSectorPercent = 50;
        Generate(o, "grown");
        CardSummary after;
        std::string error;
        ASSERT_TRUE(ExtendCard(TempPath("grown"), 2, after, error)) << error;
        o.days = 4;
        Generate(o, "at-once");
        EXPECT_TRUE(Store("grown") == Store("at-once"));
    }
}

TEST_F(CardExtensionTest, CardsThatCannotGrowAreLeftAlone) {
    CardSummary summary;
    std::string error;
    EXPECT_FALSE(ExtendCard(TempPath("nothing"), 1, summary, error));
    EXPECT_NE(error.find("only images made by make-card"), std::string::npos);

    CardOptions tail;
    tail.days = 2;
    tail.receiptsPerDay = 3;
    tail.unclosedTailReceipts = 2;
    Generate(tail, "tail");
    const std::string store = Store("tail");
    EXPECT_FALSE(ExtendCard(TempPath("tail"), 1, summary, error));
    EXPECT_NE(error.find("unclosed tail"), std::string::npos);
    EXPECT_TRUE(Store("tail") == store);

    // A full store: the grown journal does not fit and the card stays as it was.
    CardOptions full;
    full.days = 1;
    full.receiptsPerDay = 3;
    const CardSummary made = Generate(full, "full");
    full.totalSectors = made.sectorsUsed;
    Generate(full, "full");
    const std::string before = Store("full");
    EXPECT_FALSE(ExtendCard(TempPath("full"), 2, summary, error));
    EXPECT_TRUE(Store("full") == before);
    EXPECT_FALSE(FileExists(TempPath("full") + ".growing"));
}

}  // namespace
}  // namespace tv
