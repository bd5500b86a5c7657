// The rule sets of continue-from-last and date-based runs of both families, on
// generated cards and on cards that grew after their last archive.
#include <gtest/gtest.h>

#include "app/AppContext.h"
#include "emulator/CardExtension.h"
#include "smc/SmcAccess.h"
#include "store/ArchiveResult.h"
#include "store/BoundaryVerification.h"
#include "support/GeneratedCard.h"

namespace tv {
namespace {

class RunBoundaryTest : public test::CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        ctx_ = &GetAppContext();
    }
    uint32_t Mount(const CardOptions& options) {
        summary_ = MountCard('E', options);
        ctx_->drive = "E";
        EXPECT_TRUE(InitSmc(*ctx_, WormMode::Data));
        return summary_.sectorsUsed - 1;
    }
    // The card as a scale leaves it after more days of trading (out of the
    // reader: closed here first).
    uint32_t Grow(uint32_t days) {
        CloseSmc(*ctx_);
        CardSummary grown;
        std::string error;
        EXPECT_TRUE(ExtendCard(CardFolder('E'), days, grown, error)) << error;
        EXPECT_TRUE(InitSmc(*ctx_, WormMode::Data));
        return grown.sectorsUsed - 1;
    }
    void SetType(uint32_t sector, char type) {
        const std::string path = Join(CardFolder('E'), "WORMSTOR.DAT");
        std::string store = ReadFile(path);
        const size_t at = size_t{sector} * 512;
        const bool shortForm = store.compare(at, 4, std::string(4, '\0')) == 0;
        store[at + (shortForm ? 6 : 8)] = type;
        WriteFile(path, store);
    }
    bool Logged(const std::string& text) { return LogText().find(text) != std::string::npos; }

    AppContext* ctx_ = nullptr;
    CardSummary summary_;
    const BoundaryScan scan_{5, {}};
};

TEST_F(RunBoundaryTest, DxContinueFindsOnlyWhatIsNew) {
    const uint32_t last = Mount(Small(CardFamily::Dx, 2));
    BlockBoundaries done;
    int result = 0;
    ASSERT_TRUE(VerifyDxCompleteBoundaries(*ctx_, last, scan_, done, result));

    // Nothing written since: the last W, its S and any incident blocks after it.
    BlockBoundaries b;
    result = 0;
    EXPECT_FALSE(VerifyDxContinueBoundaries(*ctx_, done.lastIncident, last, scan_, b, result));
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(Logged("No new data in SMC"));

    const uint32_t grown = Grow(2);
    b = {};
    result = 0;
    ASSERT_TRUE(VerifyDxContinueBoundaries(*ctx_, done.lastIncident, grown, scan_, b, result)) << LogText();
    EXPECT_GT(b.firstBlock, done.lastBlock);
    EXPECT_GT(b.lastClosure, b.firstBlock);
    EXPECT_GT(b.lastIncident, done.lastIncident);
    EXPECT_EQ(b.lastBlock, grown);

    // A start that is not a signature incident block is not where an archive ended.
    result = 0;
    EXPECT_FALSE(VerifyDxContinueBoundaries(*ctx_, done.lastIncident + 1, grown, scan_, b, result));
    EXPECT_TRUE(Logged("Signature Incident block not found ! Boundary block verification failed"));
    EXPECT_FALSE(VerifyDxContinueBoundaries(*ctx_, grown, grown, scan_, b, result));
}

TEST_F(RunBoundaryTest, DxContinueWithUnclosedReceiptsGivesResult4) {
    CardOptions o = Small(CardFamily::Dx, 2);
    o.unclosedTailReceipts = 2;
    const uint32_t last = Mount(o);
    uint32_t closed = 0;
    BlockBoundaries done;
    int result = 0;
    // Where a complete run up to the last closure would have ended.
    EXPECT_FALSE(VerifyDxCompleteBoundaries(*ctx_, last, scan_, done, result));
    closed = done.lastBlock;
    ASSERT_TRUE(VerifyDxCompleteBoundaries(*ctx_, closed, scan_, done, result));

    BlockBoundaries b;
    result = 0;
    EXPECT_FALSE(VerifyDxContinueBoundaries(*ctx_, done.lastIncident, last, scan_, b, result));
    // The receipts after the last archive are not closed: the check says so, and
    // the last signature incident block it found is the archived one.
    EXPECT_EQ(result, kArchiveNoClosure);
    EXPECT_EQ(b.lastIncident, done.lastIncident);
}

TEST_F(RunBoundaryTest, DxDateRangesFromTheOriginOrFromASignatureIncident) {
    const uint32_t last = Mount(Small(CardFamily::Dx, 3));
    BlockBoundaries whole;
    int result = 0;
    ASSERT_TRUE(VerifyDxCompleteBoundaries(*ctx_, last, scan_, whole, result));

    BlockBoundaries b;
    ASSERT_TRUE(VerifyDxDateBoundaries(*ctx_, 0, whole.lastBlock, false, scan_, b, result)) << LogText();
    EXPECT_EQ(b.firstBlock, whole.firstBlock);
    EXPECT_EQ(b.lastClosure, whole.lastClosure);
    EXPECT_EQ(b.lastIncident, whole.lastIncident);
    EXPECT_FALSE(ctx_->boundaryCheck);

    // From the W of the first day's closure group to the end.
    BlockBoundaries firstDay;
    uint32_t firstDayEnd = whole.firstBlock;
    while (true) {
        BlockBoundaries probe;
        int r = 0;
        if (VerifyDxCompleteBoundaries(*ctx_, firstDayEnd, scan_, probe, r) && probe.lastBlock == firstDayEnd) {
            firstDay = probe;
            break;
        }
        ASSERT_LT(++firstDayEnd, last);
    }
    b = {};
    ASSERT_TRUE(VerifyDxDateBoundaries(*ctx_, firstDay.lastIncident, last, false, scan_, b, result)) << LogText();
    EXPECT_GT(b.firstBlock, firstDay.lastBlock);
    EXPECT_EQ(b.lastClosure, whole.lastClosure);

    // A run that ends past its end date keeps the closure the walk chose.
    b = {};
    b.lastClosure = 0;
    ASSERT_TRUE(VerifyDxDateBoundaries(*ctx_, 0, whole.lastBlock, true, scan_, b, result));
    EXPECT_EQ(b.lastClosure, 0u);

    // Start blocks that are neither the origin nor a signature incident block.
    result = 0;
    EXPECT_FALSE(VerifyDxDateBoundaries(*ctx_, whole.firstBlock, last, false, scan_, b, result));
    EXPECT_TRUE(Logged("Signature Incident block not found ! Boundary block verification failed"));
    SetType(0, 'T');
    EXPECT_FALSE(VerifyDxDateBoundaries(*ctx_, 0, last, false, scan_, b, result));
    EXPECT_EQ(result, kArchiveCorrupted);
    EXPECT_TRUE(Logged("Origin of Trust block not found ! Boundary block verification failed"));
}

TEST_F(RunBoundaryTest, DxDateRangeEndingInsideADayIsRefused) {
    const uint32_t last = Mount(Small(CardFamily::Dx, 2));
    BlockBoundaries whole;
    int result = 0;
    ASSERT_TRUE(VerifyDxCompleteBoundaries(*ctx_, last, scan_, whole, result));
    // Ending on a receipt of the first day: no closure group ends the range.
    BlockBoundaries b;
    result = 0;
    EXPECT_FALSE(VerifyDxDateBoundaries(*ctx_, 0, whole.firstBlock, false, scan_, b, result));
    EXPECT_TRUE(Logged("Boundary block verification failed"));
    // A W before any S going backwards.
    SetType(last, 'W');
    SetType(last - 1, 'T');
    result = 0;
    EXPECT_FALSE(VerifyDxDateBoundaries(*ctx_, 0, last, false, scan_, b, result));
    EXPECT_EQ(result, kArchiveNoSignature);
}

TEST_F(RunBoundaryTest, Zt4ContinueAndDateRanges) {
    const uint32_t last = Mount(Small(CardFamily::Zt4, 2));
    BlockBoundaries whole;
    int result = 0;
    ASSERT_TRUE(VerifyZt4DateBoundaries(*ctx_, 0, last, scan_, whole, result)) << LogText();
    EXPECT_GT(whole.firstBlock, 2u);
    EXPECT_LE(whole.lastClosure, whole.lastIncident);
    EXPECT_LE(whole.lastIncident, last);

    // Continuing after the last archived sector of a card that did not change.
    BlockBoundaries b;
    result = 0;
    EXPECT_FALSE(VerifyZt4ContinueBoundaries(*ctx_, last + 1, last, scan_, b, result));
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(Logged("No new data in SMC"));

    const uint32_t grown = Grow(1);
    b = {};
    result = 0;
    ASSERT_TRUE(VerifyZt4ContinueBoundaries(*ctx_, last + 1, grown, scan_, b, result)) << LogText();
    EXPECT_GT(b.firstBlock, last);
    EXPECT_GT(b.lastIncident, last);
    EXPECT_LE(b.lastIncident, grown);

    // A date range that starts inside the journal needs no origin blocks.
    b = {};
    ASSERT_TRUE(VerifyZt4DateBoundaries(*ctx_, whole.firstBlock, grown, scan_, b, result));
    EXPECT_EQ(b.firstBlock, whole.firstBlock);
    // The fusing block in the middle of a continue range is damage.
    result = 0;
    EXPECT_FALSE(VerifyZt4ContinueBoundaries(*ctx_, 1, grown, scan_, b, result));
    EXPECT_EQ(result, kArchiveCorrupted);
    EXPECT_TRUE(Logged("Fusing block present inbetween.Boundary block verification failed"));
}

TEST_F(RunBoundaryTest, Zt4BackwardScanPassesOriginBlocks) {
    const uint32_t last = Mount(Small(CardFamily::Zt4, 1));
    BlockBoundaries whole;
    int result = 0;
    ASSERT_TRUE(VerifyZt4DateBoundaries(*ctx_, 0, last, scan_, whole, result));
    // The last XML block turned into a fusing block: going backwards it is
    // passed over and the journal block before it ends the range.
    const std::string path = Join(CardFolder('E'), "WORMSTOR.DAT");
    std::string store = ReadFile(path);
    const size_t cte = store.find("</cte><", size_t{whole.lastClosure} * 512);
    ASSERT_NE(cte, std::string::npos);
    store.replace(cte + 7, 3, "fpg");
    WriteFile(path, store);
    BlockBoundaries b;
    result = 0;
    EXPECT_TRUE(VerifyZt4ContinueBoundaries(*ctx_, whole.firstBlock, last, scan_, b, result));
    EXPECT_EQ(result, 0);
    EXPECT_LT(b.lastIncident, whole.lastClosure);
    EXPECT_GT(b.lastIncident, whole.firstBlock);
}

// The complete and the date-based rule sets begin with the same origin check.
TEST_F(RunBoundaryTest, Zt4RuleSetsFromTheCardsStartShareTheOriginCheck) {
    uint32_t last = Mount(Small(CardFamily::Zt4, 2));
    BlockBoundaries complete;
    BlockBoundaries dated;
    int result = 0;
    ASSERT_TRUE(VerifyZt4CompleteBoundaries(*ctx_, last, scan_, complete, result)) << LogText();
    ASSERT_TRUE(VerifyZt4DateBoundaries(*ctx_, 0, last, scan_, dated, result));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(complete.firstBlock, dated.firstBlock);
    EXPECT_EQ(complete.lastClosure, dated.lastClosure);
    EXPECT_EQ(complete.lastIncident, dated.lastIncident);

    // A fusing block whose XML does not parse: the reader's result 2 for both.
    CloseSmc(*ctx_);
    CardOptions o = Small(CardFamily::Zt4, 2);
    o.damage = CardDamage::FusingXml;
    last = Mount(o);
    for (bool isComplete : {true, false}) {
        SCOPED_TRACE(isComplete ? "complete" : "date-based");
        BlockBoundaries b;
        result = 0;
        EXPECT_FALSE(isComplete ? VerifyZt4CompleteBoundaries(*ctx_, last, scan_, b, result)
                                : VerifyZt4DateBoundaries(*ctx_, 0, last, scan_, b, result));
        EXPECT_EQ(result, kArchiveDataCheckFailed);
    }
}

}  // namespace
}  // namespace tv
