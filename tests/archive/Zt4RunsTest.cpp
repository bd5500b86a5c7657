// Continue-from-last and date-based archives of generated ZT4 cards: which
// blocks each run takes, the questions of the date range, the files and the
// card's Archive.log after the runs.
#include <algorithm>
#include <filesystem>

#include "archive/DateBasedArchiverZT4.h"
#include "archive/DateRange.h"
#include "archive/PartialArchiverZT4.h"
#include "archive/RunFixture.h"
#include "archive/SmcProfile.h"
#include "messages/Messages.h"
#include "zt4/ArchiveVerifierZT4.h"
#include "zt4/LogVerifierZT4.h"

namespace tv {
namespace {

namespace fs = std::filesystem;

// The block documents of one archive file, in file order.
std::vector<std::string> Documents(const std::string& text) {
    std::vector<std::string> docs;
    for (size_t at = text.find("<fit>"); at != std::string::npos; at = text.find("<fit>", at + 1)) {
        const size_t end = text.find("</fit>", at);
        if (end == std::string::npos) break;
        docs.push_back(text.substr(at, end + 6 - at));
    }
    return docs;
}

class Zt4RunsTest : public test::RunFixture {
protected:
    static CardOptions Card(uint32_t days) {
        CardOptions o = Small(CardFamily::Zt4, days);
        o.multiSectorPercent = 40;
        return o;
    }
    // The date page: the card's dates, then the range of the chosen ones.
    CDateBasedArchiverZT4* DatePage(DayDate& first, DayDate& last) {
        ChooseCard();
        SetArchiveType(*ctx_, 3);
        auto* archiver = dynamic_cast<CDateBasedArchiverZT4*>(ctx_->currentArchiver.get());
        EXPECT_NE(archiver, nullptr);
        if (archiver != nullptr) prepared_ = archiver->PrepareDateRange(&first, &last);
        return archiver;
    }
    bool FindRange(CDateBasedArchiverZT4* archiver, const std::string& from, const std::string& until) {
        SetDates(from, until);
        return archiver->FindBlockRange();
    }
    // A date-based run into its own folder, no questions expected.
    std::vector<std::string> Dated(const std::string& folder, const std::string& from, const std::string& until) {
        UseFolder(folder);
        DayDate first, last;
        CDateBasedArchiverZT4* archiver = DatePage(first, last);
        EXPECT_TRUE(prepared_) << LogText();
        ui_.shown.clear();
        EXPECT_TRUE(archiver != nullptr && FindRange(archiver, from, until)) << LogText();
        EXPECT_TRUE(ui_.shown.empty());
        const ArchiveRunOutcome outcome = RunPage();
        EXPECT_TRUE(outcome.success) << outcome.result << LogText();
        return Journal(TempPath(folder));
    }
    static std::vector<std::string> Files(const std::string& folder) {
        std::vector<std::string> paths;
        std::error_code ec;
        for (const auto& e : fs::recursive_directory_iterator(folder, ec)) {
            if (e.is_regular_file() && e.path().extension() == ".xml") paths.push_back(e.path().string());
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    }
    // The journal of the archive files of a folder: each file validates and
    // begins with the card's leading blocks up to the first signature block,
    // which are left out here.
    std::vector<std::string> Journal(const std::string& folder) {
        std::vector<std::string> journal;
        const auto files = Files(folder);
        EXPECT_FALSE(files.empty()) << folder;
        for (const std::string& path : files) {
            SCOPED_TRACE(path);
            EXPECT_TRUE(Validates(path));
            const std::vector<std::string> docs = Documents(ReadFile(path));
            const auto signature = std::find_if(docs.begin(), docs.end(),
                                                [](const std::string& d) { return d.find("<fsg>") != std::string::npos; });
            EXPECT_NE(signature, docs.end());
            if (signature == docs.end()) continue;
            const std::vector<std::string> preamble(docs.begin(), signature + 1);
            if (preamble_.empty()) preamble_ = preamble;
            EXPECT_EQ(preamble, preamble_);
            EXPECT_NE(docs.front().find("<fpg>"), std::string::npos);
            // The name gives the dates of the file's first and last journal blocks.
            const std::string name = fs::path(path).filename().string();
            if (signature + 1 != docs.end()) {
                EXPECT_EQ(name.substr(0, 14), Stamp(*(signature + 1)));
                EXPECT_EQ(name.substr(15, 14), Stamp(docs.back()));
            }
            journal.insert(journal.end(), signature + 1, docs.end());
        }
        return journal;
    }
    std::string CardLog() const { return ReadFile(Join(CardFolder('E'), "Archive.log")); }
    static std::string Stamp(const std::string& doc) {
        const size_t at = doc.find("<cte>");
        std::string stamp;
        for (size_t i = at + 5; at != std::string::npos && i < doc.size() && doc[i] != '<'; ++i) {
            if (doc[i] >= '0' && doc[i] <= '9') stamp += doc[i];
        }
        return stamp;
    }
    static std::string Date(const std::string& doc) {
        const size_t at = doc.find("<cte>");
        return at == std::string::npos ? std::string() : doc.substr(at + 5, 10);
    }

    bool prepared_ = false;
    std::vector<std::string> preamble_;
};

TEST_F(Zt4RunsTest, CompleteThenContinueTakeEveryBlockOnce) {
    card_ = MountCard('E', Card(3));
    ASSERT_TRUE(Complete().success) << LogText();
    const std::vector<std::string> first = Journal(TempPath("archives"));
    const std::string lastDate = card_.lastDate;

    Grow(3);
    const std::string second = UseFolder("continued");
    const ArchiveRunOutcome outcome = Continue();
    ASSERT_TRUE(outcome.success) << outcome.result << LogText();
    const std::vector<std::string> next = Journal(second);
    ASSERT_FALSE(next.empty());
    // The new archive begins with the first block written after the last run.
    EXPECT_GT(Date(next.front()), lastDate);
    EXPECT_EQ(Files(second).size(), 1u);
    EXPECT_NE(Files(second)[0].find(card_.scaleSerialNumber + "_" + card_.smcUid + "_" + card_.lastDate.substr(0, 4)),
              std::string::npos);

    // The card's Archive.log: one run header and one record per run, signed.
    const std::string log = CardLog();
    EXPECT_EQ(Count(log, "Scale serial num             : "), 2u);
    EXPECT_EQ(Count(log, "Archive file name            : "), 2u);
    EXPECT_NE(log.find("Archive file path            : " + Join(second, fs::path(Files(second)[0]).parent_path().filename().string()) + "\r\n"),
              std::string::npos);
    EXPECT_TRUE(Validates(Join(CardFolder('E'), "Archive.log")));

    // Nothing new: result 1 and nothing written.
    const std::string third = UseFolder("again");
    const ArchiveRunOutcome again = Continue();
    EXPECT_FALSE(again.success);
    EXPECT_EQ(again.result, 1);
    EXPECT_EQ(again.messageLine, GetMessageText(183));
    EXPECT_TRUE(Logged("No new data in SMC"));
    EXPECT_TRUE(Files(third).empty());
    EXPECT_EQ(Count(CardLog(), "Archive file name            : "), 2u);

    // The grown card archived at once holds the same blocks, in the same order.
    UseFolder("whole");
    ASSERT_TRUE(Complete().success);
    std::vector<std::string> both = first;
    both.insert(both.end(), next.begin(), next.end());
    EXPECT_EQ(Journal(TempPath("whole")), both);
}

TEST_F(Zt4RunsTest, AContinueRunOverTheYearEndSplitsWithTheLeadingBlocksInEachFile) {
    ctx_->yearEnd = "1231";
    CardOptions o = Card(3);
    o.start = CalendarDate{2015, 12, 27};
    card_ = MountCard('E', o);
    ASSERT_TRUE(Complete().success) << LogText();
    const std::vector<std::string> first = Journal(TempPath("archives"));

    Grow(4);
    const std::string second = UseFolder("continued");
    ASSERT_TRUE(Continue().success) << LogText();
    const auto files = Files(second);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(fs::path(files[1]).filename().string().substr(0, 8), "20160101");
    const std::vector<std::string> next = Journal(second);
    EXPECT_EQ(results_.ItemCount(), 2);
    // One run header for the run, one record for each of its files.
    const std::string log = CardLog();
    EXPECT_EQ(Count(log, "Scale serial num             : "), 2u);
    EXPECT_EQ(Count(log, "Archive file name            : "), 3u);
    EXPECT_TRUE(Validates(Join(CardFolder('E'), "Archive.log")));

    UseFolder("whole");
    ASSERT_TRUE(Complete().success);
    std::vector<std::string> both = first;
    both.insert(both.end(), next.begin(), next.end());
    EXPECT_EQ(Journal(TempPath("whole")), both);
}

TEST_F(Zt4RunsTest, AProfileBeyondTheCardOrForAnotherScaleStopsTheContinueRun) {
    card_ = MountCard('E', Card(2));
    ASSERT_TRUE(Complete().success) << LogText();
    const std::string path = Join(DataFolder(), "SMCProfile.ini");
    const std::string profile = ReadFile(path);
    auto withValue = [&](const std::string& key, const std::string& value) {
        std::string text = profile;
        const size_t at = text.find(key + "=");
        EXPECT_NE(at, std::string::npos);
        if (at != std::string::npos) text.replace(at + key.size() + 1, text.find('\r', at) - at - key.size() - 1, value);
        return text;
    };
    WriteFile(path, withValue("LastArchivedBlockNum", std::to_string(card_.sectorsUsed + 4)));
    const std::string folder = UseFolder("continued");
    ArchiveRunOutcome outcome = Continue();
    EXPECT_FALSE(outcome.success);
    EXPECT_EQ(outcome.result, kArchiveDataCheckFailed);
    EXPECT_TRUE(Files(folder).empty());

    // A section whose scale type is not ZT4 is set aside with the profile.
    WriteFile(path, withValue("ScaleType", "dX"));
    ChooseCard();
    SetArchiveType(*ctx_, 2);
    outcome = RunPage();
    EXPECT_FALSE(outcome.success);
    EXPECT_TRUE(Logged("Scale type in SMC profile file is incorrect"));
    EXPECT_FALSE(FileExists(path));
    EXPECT_TRUE(Files(folder).empty());

    // The next complete run writes a fresh section, and a continue run may follow.
    UseFolder("fresh");
    ASSERT_TRUE(Complete().success) << LogText();
    EXPECT_NE(ReadFile(path).find("ScaleType=ZT4"), std::string::npos);
    EXPECT_EQ(Continue().result, 1);
}

TEST_F(Zt4RunsTest, DateRangesGiveTheBlocksOfTheCompleteArchiveWithoutGapOrOverlap) {
    card_ = MountCard('E', Card(4));
    ASSERT_TRUE(Complete().success) << LogText();
    const std::vector<std::string> whole = Journal(TempPath("archives"));
    const std::string logBefore = CardLog();

    DayDate first, last;
    UseFolder("pages");
    DatePage(first, last);
    ASSERT_TRUE(prepared_) << LogText();
    EXPECT_EQ(DateText(first), card_.firstDate);
    EXPECT_EQ(DateText(last), card_.lastDate);

    EXPECT_EQ(Dated("all", card_.firstDate, card_.lastDate), whole);

    // Two ranges that meet: together they are the whole card.
    DayDate day;
    ASSERT_TRUE(ParseDateText(card_.firstDate, day));
    const std::string second = DateText(DayDate{day.year, day.month, day.day + 1});
    const std::string third = DateText(DayDate{day.year, day.month, day.day + 2});
    std::vector<std::string> parts = Dated("early", card_.firstDate, second);
    const std::vector<std::string> late = Dated("late", third, card_.lastDate);
    ASSERT_FALSE(parts.empty());
    ASSERT_FALSE(late.empty());
    EXPECT_EQ(Date(parts.back()), second);
    EXPECT_EQ(Date(late.front()), third);
    parts.insert(parts.end(), late.begin(), late.end());
    EXPECT_EQ(parts, whole);

    // A day in the middle: its transactions, its closures and their signature.
    const std::vector<std::string> middle = Dated("middle", second, second);
    ASSERT_FALSE(middle.empty());
    for (const std::string& doc : middle) EXPECT_EQ(Date(doc), second) << doc;
    EXPECT_NE(middle.back().find("<fsg>"), std::string::npos);

    // Each run recorded itself in the card's log.
    EXPECT_EQ(Count(CardLog(), "Scale serial num             : "), Count(logBefore, "Scale serial num") + 4);
    EXPECT_TRUE(Validates(Join(CardFolder('E'), "Archive.log")));
}

TEST_F(Zt4RunsTest, AnOpenLastDayEndsWithItsLastTransaction) {
    CardOptions o = Card(2);
    o.unclosedTailReceipts = 3;
    card_ = MountCard('E', o);
    ASSERT_TRUE(Complete().success) << LogText();
    const std::vector<std::string> whole = Journal(TempPath("archives"));
    ASSERT_FALSE(whole.empty());
    EXPECT_NE(whole.back().find("<ftk>"), std::string::npos);
    const std::string tailDay = Date(whole.back());
    EXPECT_EQ(Dated("dated", card_.firstDate, tailDay), whole);
}

TEST_F(Zt4RunsTest, DatesOutsideTheCardAskAndNoWritesNothing) {
    card_ = MountCard('E', Card(3));
    const std::string folder = UseFolder("dated");
    DayDate first, last;
    CDateBasedArchiverZT4* archiver = DatePage(first, last);
    ASSERT_TRUE(prepared_) << LogText();
    DayDate day = first;
    const std::string before = DateText(DayDate{day.year - 1, day.month, day.day});
    day = last;
    const std::string after = DateText(DayDate{day.year + 1, day.month, day.day});

    // The start date has no journal: the run would begin later.
    ui_.shown.clear();
    ui_.answers = {false};
    EXPECT_FALSE(FindRange(archiver, before, card_.lastDate));
    ASSERT_EQ(ui_.shown.size(), 1u);
    EXPECT_EQ(ToNarrow(ui_.shown[0].text),
              "Transaction not available for the selected start date (" + before +
                  "). Do you want to continue archiving from " + card_.firstDate + "?");
    EXPECT_TRUE(Logged("Date based archival stopped"));

    // The end date lies after the card's journal: the run would end earlier.
    ui_.shown.clear();
    ui_.answers = {false};
    EXPECT_FALSE(FindRange(archiver, card_.firstDate, after));
    ASSERT_EQ(ui_.shown.size(), 1u);
    EXPECT_EQ(ToNarrow(ui_.shown[0].text),
              "Transaction not available for the selected end date (" + after +
                  "). Do you want to continue archiving upto " + card_.lastDate + "?");
    EXPECT_TRUE(Files(folder).empty());
    EXPECT_FALSE(FileExists(Join(CardFolder('E'), "Archive.log")));

    // Yes to both: the whole card.
    ui_.shown.clear();
    ui_.answers = {true, true};
    ASSERT_TRUE(FindRange(archiver, before, after)) << LogText();
    EXPECT_EQ(ui_.shown.size(), 2u);
    EXPECT_TRUE(Logged("As per user's choice, Archive will be done till " + card_.lastDate));
    const ArchiveRunOutcome outcome = RunPage();
    ASSERT_TRUE(outcome.success) << outcome.result << LogText();
    const std::vector<std::string> dated = Journal(folder);
    EXPECT_EQ(Date(dated.front()), card_.firstDate);
    EXPECT_EQ(Date(dated.back()), card_.lastDate);
    EXPECT_TRUE(Validates(Join(CardFolder('E'), "Archive.log")));
}

}  // namespace
}  // namespace tv
