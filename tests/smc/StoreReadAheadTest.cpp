// The written part of the store read ahead in large transfers: the same bytes as
// single reads, far fewer requests to the card, and card faults still found at
// the runs they touch.
#include <gtest/gtest.h>

#include <string>

#include "app/AppContext.h"
#include "emulator/SmcEmulator.h"
#include "log/LogFile.h"
#include "smc/CardImageBuilder.h"
#include "smc/SmcAccess.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

constexpr uint32_t kChunk = StoreReadAhead::kChunkSectors;

class StoreReadAheadTest : public test::TestEnvironment {
protected:
    // A store of 5000 sectors split 3000 + 2000, written up to sector 4500.
    void SetUp() override {
        TestEnvironment::SetUp();
        WriteConfig(ValidConfig());
        folder_ = TempPath("card");
        test::InfoFields info;
        info.totalSectors = 5000;
        info.nextWriteIndex = kWritten;
        info.lastWriteIndex = kWritten - 1;
        test::WriteCardImage(folder_, info, {3000, 2000});
        card_ = MountEmulatedCard(*platform_, 'K', folder_);
        ctx_ = &GetAppContext();
        ctx_->drive = "K";
    }

    // Opens the card and reads its counters, as every data operation does.
    void OpenCard() {
        WormUsage usage;
        ASSERT_TRUE(CheckSmcUsage(*ctx_, usage));
        card_->ResetReadCounters();
    }

    bool Read(uint32_t first, uint32_t count, std::string& bytes) {
        bytes.assign(size_t{count} * 512, '\0');
        return GetSmcBlocks(*ctx_, count, bytes.data(), first);
    }

    static constexpr uint32_t kWritten = 4500;
    std::string folder_;
    std::shared_ptr<SmcEmulator> card_;
    AppContext* ctx_ = nullptr;
};

TEST_F(StoreReadAheadTest, TheWrittenPartComesInAlignedChunksWithTheSameBytes) {
    OpenCard();
    std::string bytes;
    for (uint32_t s = 0; s < 5000; ++s) {
        ASSERT_TRUE(Read(s, 1, bytes)) << s;
        ASSERT_TRUE(bytes == test::StoreSectors(s, 1)) << s;
    }
    // Three chunks below the written end (the one across the two store files
    // takes a request from each), then one request for every sector above it.
    EXPECT_EQ(card_->ReadCounters().storeRequests, 4u + (5000 - kWritten));
    EXPECT_EQ(card_->ReadCounters().storeSectors, 5000u) << "every sector read once";

    // Runs across chunk boundaries, across the store files and across the
    // written end give the card's bytes.
    for (const auto& [first, count] : {std::pair<uint32_t, uint32_t>{kChunk - 2, 5}, {2998, 4},
                                       {2 * kChunk - 1, 2}, {kWritten - 3, 6}, {0, kWritten}}) {
        ASSERT_TRUE(Read(first, count, bytes)) << first;
        EXPECT_TRUE(bytes == test::StoreSectors(first, count)) << first;
    }
    EXPECT_TRUE(test::LoggedErrors(LogText(), kModCore).empty());
}

TEST_F(StoreReadAheadTest, NothingIsReadAheadBeforeTheCardToldItsWrittenPart) {
    ASSERT_TRUE(InitSmc(*ctx_, WormMode::Data));
    card_->ResetReadCounters();
    std::string bytes;
    for (uint32_t s = 0; s < 10; ++s) ASSERT_TRUE(Read(s, 1, bytes));
    EXPECT_EQ(card_->ReadCounters().storeRequests, 10u);
    EXPECT_EQ(card_->ReadCounters().storeBytes, 10u * 512);

    // A card that says it holds less than before gives up what was read ahead.
    WormHandle& handle = *ctx_->worm;
    handle.readAhead.NoteWrittenSectors(kWritten);
    ASSERT_TRUE(Read(100, 1, bytes));
    EXPECT_EQ(card_->ReadCounters().storeRequests, 11u);
    ASSERT_TRUE(Read(101, 1, bytes));
    EXPECT_EQ(card_->ReadCounters().storeRequests, 11u);
    handle.readAhead.NoteWrittenSectors(50);
    ASSERT_TRUE(Read(101, 1, bytes));
    EXPECT_TRUE(bytes == test::StoreSectors(101, 1));
    EXPECT_EQ(card_->ReadCounters().storeRequests, 12u);
}

TEST_F(StoreReadAheadTest, ABadSectorFailsOnlyTheRunsThatTouchIt) {
    OpenCard();
    card_->Faults().readErrorAtSector = 1000;
    std::string bytes;
    ASSERT_TRUE(Read(999, 1, bytes));
    EXPECT_TRUE(bytes == test::StoreSectors(999, 1));
    EXPECT_FALSE(Read(1000, 1, bytes));
    EXPECT_FALSE(Read(998, 4, bytes));
    ASSERT_TRUE(Read(1001, 2, bytes));
    EXPECT_TRUE(bytes == test::StoreSectors(1001, 2));
    // The next chunk is read ahead again.
    ASSERT_TRUE(Read(kChunk, 1, bytes));
    const uint64_t before = card_->ReadCounters().storeRequests;
    ASSERT_TRUE(Read(kChunk + 1, 1, bytes));
    EXPECT_EQ(card_->ReadCounters().storeRequests, before);
    EXPECT_EQ(test::LoggedErrors(LogText(), kModCore),
              (std::vector<std::string>{"Get block from WORM STORE failed", "Get block from WORM STORE failed"}));
}

TEST_F(StoreReadAheadTest, TheLatencyModelAddsUpCardTimeWithoutWaiting) {
    card_->SetLatency(CardLatency{0.0005, 90e6});
    OpenCard();
    std::string bytes;
    ASSERT_TRUE(Read(0, 1, bytes));
    const CardReadCounters& reads = card_->ReadCounters();
    EXPECT_EQ(reads.requests, 1u);
    EXPECT_EQ(reads.storeBytes, uint64_t{kChunk} * 512);
    EXPECT_NEAR(reads.modelledSeconds, 0.0005 + kChunk * 512 / 90e6, 1e-9);
    // Requests to the info and command sectors cost their time too.
    bool fused = false;
    ASSERT_TRUE(GetSmcFusedState(*ctx_, fused));
    EXPECT_EQ(reads.requests, 2u);
    EXPECT_EQ(reads.storeRequests, 1u);
    EXPECT_NEAR(reads.modelledSeconds, 2 * 0.0005 + (kChunk * 512 + 512) / 90e6, 1e-9);
}

}  // namespace
}  // namespace tv
