// The continuity table's rows without a face: columns left out by family, the
// cell texts, and the cells that tell of a failure.
#include <gtest/gtest.h>

#include "app/AppContext.h"
#include "platform/Text.h"
#include "support/TestEnvironment.h"
#include "wizard/ContinuityRows.h"

namespace tv::test {

namespace {

class ContinuityRowsTest : public TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        WriteConfig(ValidConfig());
    }
    static std::vector<std::string> Texts(const ContinuityRow& row) {
        std::vector<std::string> texts;
        for (const ContinuityCell& cell : row.cells) texts.push_back(ToNarrow(cell.text));
        return texts;
    }
    static std::vector<bool> Failed(const ContinuityRow& row) {
        std::vector<bool> failed;
        for (const ContinuityCell& cell : row.cells) failed.push_back(cell.failed);
        return failed;
    }
};

// A dX card whose archives leave a gap and overlap.
CardContinuity DxCard() {
    CardContinuity dx;
    dx.family = "dX";
    dx.smcUid = "04AA";
    dx.scaleSerial = "SN1";
    dx.files = {0, 1, 2};
    dx.covered = {{true, 1, 40, "2015-01-01 08:00:00", "2015-01-02 20:00:00"},
                  {true, 45, 90, "2015-01-03 08:00:00", "2015-01-04 20:00:00"}};
    Join gap;
    gap.kind = JoinKind::kGap;
    gap.missingFirst = 41;
    gap.missingLast = 44;
    Join overlap;
    overlap.before = 1;
    overlap.kind = JoinKind::kOverlap;
    overlap.repeatedFirst = 80;
    overlap.repeatedLast = 90;
    Join joined;
    joined.kind = JoinKind::kJoined;
    dx.joins = {gap, joined, overlap};
    return dx;
}

// A ZT4 card compared with its log.
CardContinuity Zt4Card() {
    CardContinuity zt4;
    zt4.family = "ZT4";
    zt4.smcUid = "04BB";
    zt4.files = {3};
    zt4.logGiven = true;
    zt4.missingFromFolder.resize(2);
    zt4.notInLog = {3};
    return zt4;
}

TEST_F(ContinuityRowsTest, MixedFamiliesShowEveryColumnAndMarkFailures) {
    ContinuityReport report;
    report.cards = {DxCard(), Zt4Card()};
    const ContinuityTable table = MakeContinuityTable(report);
    ASSERT_EQ(table.headers.size(), size_t{6});
    EXPECT_EQ(ToNarrow(table.headers[0]), "Card");
    EXPECT_EQ(ToNarrow(table.headers[5]), "Archive.log mismatches");
    ASSERT_EQ(table.rows.size(), size_t{2});
    EXPECT_EQ(Texts(table.rows[0]), (std::vector<std::string>{"SN1", "3", "1-40, 45-90", "2015-01-01 - 2015-01-04",
                                                               "gap 41-44, overlap 80-90", "-"}));
    EXPECT_EQ(Failed(table.rows[0]), (std::vector<bool>{false, false, false, false, true, false}));
    EXPECT_EQ(ToNarrow(table.rows[0].cardTip), "04AA (SN1)");
    EXPECT_EQ(Texts(table.rows[1]),
              (std::vector<std::string>{"04BB", "1", "", "", "none", "2 missing, 1 not in the log"}));
    EXPECT_EQ(Failed(table.rows[1]), (std::vector<bool>{false, false, false, false, false, true}));
    EXPECT_EQ(ToNarrow(table.rows[1].cardTip), "04BB");
}

TEST_F(ContinuityRowsTest, ColumnsThatWouldStayEmptyAreLeftOut) {
    ContinuityReport dxOnly;
    dxOnly.cards = {DxCard()};
    const ContinuityTable dx = MakeContinuityTable(dxOnly);
    EXPECT_EQ(dx.columns.size(), size_t{5});
    EXPECT_EQ(dx.columns.back(), ContinuityColumn::kJoins);
    EXPECT_EQ(dx.rows[0].cells.size(), size_t{5});

    ContinuityReport zt4Only;
    CardContinuity clean = Zt4Card();
    clean.missingFromFolder.clear();
    clean.notInLog.clear();
    CardContinuity noLog = Zt4Card();
    noLog.logGiven = false;
    zt4Only.cards = {clean, noLog};
    const ContinuityTable zt4 = MakeContinuityTable(zt4Only);
    EXPECT_EQ(zt4.columns, (std::vector<ContinuityColumn>{ContinuityColumn::kCard, ContinuityColumn::kFiles,
                                                          ContinuityColumn::kDates, ContinuityColumn::kJoins,
                                                          ContinuityColumn::kLog}));
    EXPECT_EQ(zt4.widths.size(), zt4.columns.size());
    EXPECT_EQ(ToNarrow(zt4.rows[0].cells[4].text), "none");
    EXPECT_FALSE(zt4.rows[0].cells[4].failed);
    EXPECT_EQ(ToNarrow(zt4.rows[1].cells[4].text), "no Archive.log");
    EXPECT_FALSE(zt4.rows[1].cells[4].failed);

    EXPECT_EQ(EmptyContinuityTable().headers.size(), size_t{6});
}

TEST_F(ContinuityRowsTest, ChainBreaksNameTheFileAfterWhichTheyHappen) {
    ContinuityReport report;
    CardContinuity dx = DxCard();
    tv::Join chainBreak;
    chainBreak.before = 0;
    chainBreak.kind = JoinKind::kChainBreak;
    tv::Join unknown;
    unknown.before = 1;
    unknown.kind = JoinKind::kUnknown;
    dx.joins = {chainBreak, unknown};
    report.cards = {dx};
    const ContinuityTable table = MakeContinuityTable(report);
    EXPECT_EQ(ToNarrow(table.rows[0].cells[4].text), "chain break after 1, not comparable after 2");
    EXPECT_TRUE(table.rows[0].cells[4].failed);
}

TEST(FillNumbersTest, ReplacesEachMarkEverywhere) {
    EXPECT_EQ(FillNumbers(u"%1-%2 (%1)", 7, 12), u"7-12 (7)");
    EXPECT_EQ(FillNumbers(u"%1 missing", 100), u"100 missing");
    EXPECT_EQ(FillNumbers(u"none", 1, 2), u"none");
    // A number that itself reads like a mark is not replaced again.
    EXPECT_EQ(FillNumbers(u"%1%2", 1, 2), u"12");
}

}  // namespace

}  // namespace tv::test
