// Date-based archives of dX cards: the dates the card offers, the block range
// of the chosen dates with its questions, and the run.
#include "archive/DateBasedArchiverdX.h"
#include "archive/DateRange.h"
#include "archive/RunFixture.h"

namespace tv {
namespace {

class DateArchiveTest : public test::RunFixture {
protected:
    // The date page: the card's dates, then the range of the chosen ones.
    CDateBasedArchiverdX* DatePage(DayDate& first, DayDate& last) {
        ChooseCard();
        SetArchiveType(*ctx_, 3);
        auto* archiver = dynamic_cast<CDateBasedArchiverdX*>(ctx_->currentArchiver.get());
        EXPECT_NE(archiver, nullptr);
        prepared_ = archiver->PrepareDateRange(&first, &last);
        return archiver;
    }
    bool FindRange(CDateBasedArchiverdX* archiver, const std::string& from, const std::string& until) {
        SetDates(from, until);
        return archiver->FindBlockRange();
    }
    // Block starts and types of the card's store, walked by sector counts.
    std::vector<std::pair<uint32_t, char>> Blocks() const {
        const std::string store = ReadFile(Join(CardFolder('E'), "WORMSTOR.DAT"));
        std::vector<std::pair<uint32_t, char>> blocks;
        for (uint32_t n = 0; n < card_.sectorsUsed;) {
            const auto* s = reinterpret_cast<const uint8_t*>(store.data()) + size_t{n} * 512;
            const bool shortForm = (s[0] | s[1] | s[2] | s[3]) == 0;
            blocks.emplace_back(n, static_cast<char>(shortForm ? s[6] : s[8]));
            n += shortForm ? 1 : static_cast<uint32_t>((s[15] << 8) | s[16]);
        }
        return blocks;
    }
    bool prepared_ = false;
};

TEST_F(DateArchiveTest, TheWholeCardGivesTheBlocksOfTheCompleteArchive) {
    CardOptions o = Small(CardFamily::Dx, 4);
    o.multiSectorPercent = 40;
    card_ = MountCard('E', o);
    ASSERT_TRUE(Complete().success);
    std::vector<std::string> whole = Lines(TempPath("archives"));
    // The complete archive ends with the incident blocks after the last closure
    // group; a date range ends with the group's signature block.
    while (!whole.empty() && TypeOf(whole.back()) != 'S') whole.pop_back();

    const std::string folder = UseFolder("dated");
    DayDate first, last;
    CDateBasedArchiverdX* archiver = DatePage(first, last);
    ASSERT_TRUE(prepared_) << LogText();
    EXPECT_EQ(DateText(first), card_.firstDate);
    EXPECT_EQ(DateText(last), card_.lastDate);
    ui_.shown.clear();
    ASSERT_TRUE(FindRange(archiver, card_.firstDate, card_.lastDate)) << LogText();
    EXPECT_TRUE(ui_.shown.empty());
    EXPECT_EQ(archiver->rangeStart, 0u);
    const ArchiveRunOutcome outcome = RunPage();
    ASSERT_TRUE(outcome.success) << outcome.result << LogText();
    const std::vector<std::string> dated = Lines(folder);
    ASSERT_EQ(dated.size(), whole.size());
    EXPECT_TRUE(dated == whole);
}

TEST_F(DateArchiveTest, DatesWithClosuresNeedNoQuestion) {
    card_ = MountCard('E', Small(CardFamily::Dx, 4));
    const std::string folder = UseFolder("dated");
    DayDate first, last;
    CDateBasedArchiverdX* archiver = DatePage(first, last);
    ASSERT_TRUE(prepared_);
    ui_.shown.clear();
    ASSERT_TRUE(FindRange(archiver, "2015-12-21", "2015-12-22")) << LogText();
    EXPECT_TRUE(ui_.shown.empty());
    // From the signature incident block of the day before to the signature
    // after the end date's closure.
    const auto blocks = Blocks();
    auto typeAt = [&blocks](uint32_t n) {
        for (const auto& [at, type] : blocks) {
            if (at == n) return type;
        }
        return '?';
    };
    EXPECT_EQ(typeAt(archiver->rangeStart), 'W');
    EXPECT_EQ(typeAt(archiver->rangeEnd), 'S');
    ASSERT_TRUE(RunPage().success) << LogText();
    const std::vector<std::string> lines = Lines(folder);
    // The card's leading blocks, the anchor W and S, then the start day.
    ASSERT_GT(lines.size(), 6u);
    EXPECT_EQ(TypeOf(lines[3]), 'W');
    EXPECT_EQ(TypeOf(lines[5]), 'H');
    EXPECT_NE(lines[5].find(";2015-12-21 "), std::string::npos);
    EXPECT_NE(lines[lines.size() - 3].find(";2015-12-22 "), std::string::npos);
}

TEST_F(DateArchiveTest, DatesBeyondTheJournalAskAndNoStopsWithNothingWritten) {
    card_ = MountCard('E', Small(CardFamily::Dx, 3));
    const std::string folder = UseFolder("dated");
    DayDate first, last;
    CDateBasedArchiverdX* archiver = DatePage(first, last);

    // A start date without journal: the question names the next day with one.
    ui_.answers = {false};
    EXPECT_FALSE(FindRange(archiver, "2015-12-19", "2015-12-21"));
    ASSERT_EQ(ui_.shown.size(), 1u);
    EXPECT_EQ(ToNarrow(ui_.shown[0].text),
              "Transaction not available for the selected start date (2015-12-19). Do you want to continue "
              "archiving from 2015-12-20?");
    EXPECT_TRUE(Logged("Date based archive operation stopped"));

    // An end date after the last closure: the question names that closure's day.
    ui_.shown.clear();
    ui_.answers = {true, false};
    EXPECT_FALSE(FindRange(archiver, "2015-12-19", "2015-12-30"));
    ASSERT_EQ(ui_.shown.size(), 2u);
    EXPECT_EQ(ToNarrow(ui_.shown[1].text),
              "Closure not available for the selected end date (2015-12-30). Do you want to continue archiving "
              "upto 2015-12-22?");
    EXPECT_TRUE(std::filesystem::is_empty(folder));

    ui_.shown.clear();
    ui_.answers = {true, true};
    ASSERT_TRUE(FindRange(archiver, "2015-12-19", "2015-12-30")) << LogText();
    EXPECT_TRUE(Logged("As per user's choice, Archive will be done till 2015-12-22"));
    ASSERT_TRUE(RunPage().success) << LogText();
    EXPECT_FALSE(Lines(folder).empty());
}

TEST_F(DateArchiveTest, ReceiptsWithoutAClosureInTheRange) {
    CardOptions o = Small(CardFamily::Dx, 2);
    o.unclosedTailReceipts = 3;
    card_ = MountCard('E', o);
    DayDate first, last;
    CDateBasedArchiverdX* archiver = DatePage(first, last);
    ASSERT_TRUE(prepared_);
    EXPECT_EQ(DateText(last), "2015-12-21");  // the last closure, not the unclosed day
    ui_.shown.clear();
    EXPECT_FALSE(FindRange(archiver, "2015-12-22", "2015-12-22"));
    ASSERT_FALSE(ui_.shown.empty());
    EXPECT_EQ(ToNarrow(ui_.shown.back().text), "Closure not found.");
    EXPECT_TRUE(ctx_->dateArchiveFailed);
}

TEST_F(DateArchiveTest, AClosureAfterMidnightStillClosesTheEndDate) {
    card_ = MountCard('E', Small(CardFamily::Dx, 3));
    // The second day's closure dated the next morning, its receipt before it
    // still of the second day.
    const auto blocks = Blocks();
    std::vector<uint32_t> closures;
    for (size_t i = 1; i < blocks.size(); ++i) {
        if (blocks[i].second == 'E') closures.push_back(blocks[i].first);
    }
    ASSERT_EQ(closures.size(), 3u);
    size_t index = 0;
    while (blocks[index].first != closures[1]) ++index;
    if (blocks[index - 1].second != 'T') GTEST_SKIP() << "the day does not end with a receipt";
    const std::string path = Join(CardFolder('E'), "WORMSTOR.DAT");
    std::string store = ReadFile(path);
    store.replace(size_t{closures[1]} * 512 + 22, 19, "2015-12-22 00:10:00");
    WriteFile(path, store);

    DayDate first, last;
    CDateBasedArchiverdX* archiver = DatePage(first, last);
    ui_.shown.clear();
    ASSERT_TRUE(FindRange(archiver, "2015-12-20", "2015-12-21")) << LogText();
    EXPECT_TRUE(ui_.shown.empty());
    EXPECT_TRUE(archiver->endIsNotClosure);
    EXPECT_EQ(archiver->lastClosure, blocks[index - 1].first);
    EXPECT_EQ(archiver->rangeEnd, blocks[index + 2].first);
}

TEST_F(DateArchiveTest, KeepingAnArchiveInAChosenFolderGoesBackToThePathPage) {
    card_ = MountCard('E', Small(CardFamily::Dx, 2));
    DayDate first, last;
    for (const bool defaultPath : {false, true}) {
        SCOPED_TRACE(defaultPath);
        UseFolder(defaultPath ? "default" : "chosen");
        ctx_->useDefaultArchivePath = defaultPath;
        CDateBasedArchiverdX* archiver = DatePage(first, last);
        ASSERT_TRUE(FindRange(archiver, card_.firstDate, card_.lastDate));
        ASSERT_TRUE(RunPage().success);
        ui_.answers = {false};
        const ArchiveRunOutcome outcome = RunPage();
        EXPECT_EQ(outcome.result, kArchiveRefused);
        EXPECT_EQ(outcome.backToPath, !defaultPath);
        EXPECT_EQ(ToNarrow(outcome.messageLine), "File already exists.");
    }
}

TEST_F(DateArchiveTest, ACardWithoutDataNeverRuns) {
    CardOptions o = Small(CardFamily::Dx, 1);
    o.empty = true;
    card_ = MountCard('E', o);
    ctx_->drive = "E";
    ctx_->scaleType = '0';
    SetArchiveType(*ctx_, 3);
    auto* archiver = dynamic_cast<CDateBasedArchiverdX*>(ctx_->currentArchiver.get());
    ASSERT_NE(archiver, nullptr);
    DayDate first, last;
    EXPECT_FALSE(archiver->PrepareDateRange(&first, &last));
    EXPECT_EQ(archiver->rangeResult, kArchiveNoData);
    // The page goes on to the run page, which tells why without running.
    ctx_->dateRangeUnavailable = true;
    const ArchiveRunOutcome outcome = RunPage();
    EXPECT_FALSE(outcome.success);
    EXPECT_EQ(ToNarrow(outcome.messageLine), "No data found.");
    EXPECT_FALSE(ctx_->dateRangeUnavailable);
    EXPECT_FALSE(Logged("Date based archive operation started"));
    // Without a range a run has nothing to write.
    EXPECT_FALSE(RunPage().success);
}

}  // namespace
}  // namespace tv
