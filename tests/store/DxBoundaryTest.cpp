// The block order of dX cards and the boundaries of a complete run.
#include <gtest/gtest.h>

#include "app/AppContext.h"
#include "smc/SmcAccess.h"
#include "store/ArchiveResult.h"
#include "store/BoundaryVerification.h"
#include "support/GeneratedCard.h"

namespace tv {
namespace {

class DxBoundaryTest : public test::CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        ctx_ = &GetAppContext();
    }
    // Mounts the card, opens it and verifies up to its last index.
    bool Verify(const CardOptions& options, BlockBoundaries& b, int& result, uint32_t* lastIndex = nullptr) {
        summary_ = MountCard('E', options);
        ctx_->drive = "E";
        EXPECT_TRUE(InitSmc(*ctx_, WormMode::Data));
        const uint32_t last = lastIndex != nullptr ? *lastIndex : summary_.sectorsUsed - 1;
        result = kArchiveOtherFailure;
        return VerifyDxCompleteBoundaries(*ctx_, last, BoundaryScan{3, [this] { ++pumps_; }}, b, result);
    }
    // Overwrites the record type of the block at a sector of the card's store
    // (byte 8 of the long form, byte 6 of the short form).
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
    int pumps_ = 0;
};

TEST_F(DxBoundaryTest, SoundCardEndsAtItsLastClosureGroup) {
    BlockBoundaries b;
    int result = 0;
    ASSERT_TRUE(Verify(Small(CardFamily::Dx, 3), b, result));
    EXPECT_GT(b.firstBlock, 6u);
    EXPECT_LT(b.lastClosure, b.lastIncident);
    EXPECT_LE(b.lastIncident, b.lastBlock);
    EXPECT_LE(b.lastBlock, summary_.sectorsUsed - 1);
    EXPECT_GT(pumps_, 0);
    EXPECT_FALSE(ctx_->boundaryCheck);
    EXPECT_GT(ctx_->progressDone, 0);
}

TEST_F(DxBoundaryTest, ReceiptsAfterTheLastClosureGiveResult4) {
    CardOptions o = Small(CardFamily::Dx, 3);
    o.unclosedTailReceipts = 3;
    BlockBoundaries b;
    int result = 0;
    EXPECT_FALSE(Verify(o, b, result));
    EXPECT_EQ(result, kArchiveNoClosure);
    EXPECT_TRUE(Logged("Closure block not found.Boundary block verification failed"));
    // lastBlock is the last signature block of the last complete group: stopping
    // there passes.
    uint32_t last = b.lastBlock;
    BlockBoundaries again;
    EXPECT_TRUE(Verify(o, again, result, &last));
    EXPECT_EQ(again.lastBlock, last);
}

TEST_F(DxBoundaryTest, BrokenOrdersAreRefusedWithTheirResult) {
    BlockBoundaries b;
    int result = 0;
    // Only the origin of trust block: nothing to scan forward.
    uint32_t two = 2;
    EXPECT_FALSE(Verify(Small(CardFamily::Dx, 1), b, result, &two));
    EXPECT_EQ(result, kArchiveCorrupted);
    EXPECT_TRUE(Logged("Corrupted SMC.Boundary block verification failed"));

    // The first signature pair's S without its W.
    Verify(Small(CardFamily::Dx, 1), b, result);
    SetType(3, 'H');
    EXPECT_FALSE(VerifyDxCompleteBoundaries(*ctx_, summary_.sectorsUsed - 1, BoundaryScan{3, {}}, b, result));
    EXPECT_EQ(result, kArchiveCorrupted);
    EXPECT_TRUE(Logged("Header block present without a signature block.Boundary block verification failed"));

    // A W met going backwards before any S: result 3.
    Verify(Small(CardFamily::Dx, 1), b, result);
    SetType(summary_.sectorsUsed - 1, 'T');
    result = 0;
    EXPECT_FALSE(VerifyDxCompleteBoundaries(*ctx_, summary_.sectorsUsed - 1, BoundaryScan{3, {}}, b, result));
    EXPECT_EQ(result, kArchiveNoSignature);
    EXPECT_TRUE(Logged("Signature block not found.Boundary block verification failed"));

    Verify(Small(CardFamily::Dx, 1), b, result);
    SetType(0, 'T');
    EXPECT_FALSE(VerifyDxCompleteBoundaries(*ctx_, summary_.sectorsUsed - 1, BoundaryScan{3, {}}, b, result));
    EXPECT_TRUE(Logged("Origin of trust block not found ! Boundary block verification failed"));
}

TEST_F(DxBoundaryTest, IncidentBlocksAfterTheLastGroupAreArchivedToo) {
    BlockBoundaries b;
    int result = 0;
    ASSERT_TRUE(Verify(Small(CardFamily::Dx, 2), b, result));
    const uint32_t p = summary_.sectorsUsed - 1;
    // ... E W S C C at the end of the journal.
    const char tail[] = {'E', 'W', 'S', 'C', 'R'};
    for (uint32_t i = 0; i < 5; ++i) SetType(p - 4 + i, tail[i]);
    ASSERT_TRUE(VerifyDxCompleteBoundaries(*ctx_, p, BoundaryScan{3, {}}, b, result));
    EXPECT_EQ(b.lastBlock, p);
    EXPECT_EQ(b.lastIncident, p - 3);
    EXPECT_EQ(b.lastClosure, p - 4);
    // An incident block that does not follow the S directly is a journal block after
    // the closure group no more than any other.
    SetType(p - 1, 'T');
    EXPECT_FALSE(VerifyDxCompleteBoundaries(*ctx_, p, BoundaryScan{3, {}}, b, result));
    EXPECT_EQ(result, kArchiveNoClosure);
}

TEST_F(DxBoundaryTest, AClosureOfSeveralSectorsCountsFromItsFirstSector) {
    CardOptions o = Small(CardFamily::Dx, 2);
    o.closureSectors = 3;
    BlockBoundaries b;
    int result = 0;
    ASSERT_TRUE(Verify(o, b, result)) << LogText();
    // The backward scan meets the closure's last sector; the closure starts two
    // sectors before it, with block index 0, and its W follows the whole block.
    const std::string store = ReadFile(Join(CardFolder('E'), "WORMSTOR.DAT"));
    const size_t at = size_t{b.lastClosure} * 512;
    EXPECT_EQ(store[at + 8], 'E');
    EXPECT_EQ(store[at + 5], '\0');
    EXPECT_EQ(store[at + 6], '\0');
    EXPECT_EQ(b.lastIncident, b.lastClosure + 3);

    // A block index that leads to no closure start is damage, not a boundary.
    const uint32_t last = b.lastClosure + 2;
    std::string damaged = store;
    damaged[size_t{last} * 512 + 6] = 5;
    WriteFile(Join(CardFolder('E'), "WORMSTOR.DAT"), damaged);
    EXPECT_FALSE(VerifyDxCompleteBoundaries(*ctx_, summary_.sectorsUsed - 1, BoundaryScan{3, {}}, b, result));
    EXPECT_TRUE(Logged("Boundary block verification failed"));
    damaged[size_t{last} * 512 + 5] = 0x7F;  // past the store's first sector
    WriteFile(Join(CardFolder('E'), "WORMSTOR.DAT"), damaged);
    EXPECT_FALSE(VerifyDxCompleteBoundaries(*ctx_, summary_.sectorsUsed - 1, BoundaryScan{3, {}}, b, result));
}

}  // namespace
}  // namespace tv
