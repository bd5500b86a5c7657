// The date range page of the core: the card's range in the pickers, the
// status line while the card is read, the date checks, the search for the
// blocks of the chosen dates and the move to the run page when the card's
// range cannot be found.
#include <gtest/gtest.h>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "archive/BaseArchiver.h"
#include "archive/DateRange.h"
#include "platform/Text.h"
#include "wizard/ArchiverSelectionPage.h"
#include "wizard/ArchivingChoiceFixture.h"
#include "wizard/DateSelectionPage.h"

namespace tv::test {

namespace {

using Texts = std::vector<std::string>;

bool SameDay(const DayDate& a, const DayDate& b) { return CompareDates(a, b) == 0; }

DayDate Day(const std::string& text) {
    DayDate day;
    EXPECT_TRUE(ParseDateText(text, day)) << text;
    return day;
}

class DateSelectionPageTest : public ArchivingChoiceFixture {
protected:
    // A card of the family chosen for a date-based archive into the default
    // folder; the date page is shown.
    void OpenDates(CardFamily family, const std::vector<std::string>& overrides = {}) {
        std::vector<std::string> lines = {"UseDefaultArchivePath=YES"};
        lines.insert(lines.end(), overrides.begin(), overrides.end());
        Open(family == CardFamily::Dx ? "dX" : "ZT4", lines);
        ToChoice();
        ChooseAndNext(kCtlDateBasedArchive);
    }
    FakePageView& Dates() { return View(kPageDateSelection); }
    CDateSelectionPage& DatePage() { return Page<CDateSelectionPage>(kPageDateSelection); }
    CDateRange* Range() { return dynamic_cast<CDateRange*>(GetAppContext().currentArchiver.get()); }
    // A picker changed by the user.
    void Pick(int picker, const DayDate& day) {
        Dates().At(picker).date = day;
        DatePage().OnEditChange(picker);
    }
    DayDate DayOf(int64_t time) { return DayOfTime(GetAppContext(), time); }
    // Every time the engine pumps: the running timers of the date page tick,
    // and what the page and the wizard show is noted.
    void TickOnPump() {
        ui.onPump = [this] {
            if (!window_.HasView(kPageDateSelection)) return;
            const std::map<int, int> running = Dates().timers;
            for (const auto& [id, period] : running) {
                if (id == kTimerMoveOn) continue;
                DatePage().OnTimer(id);
                ticks.push_back(Dates().At(kCtlDateStatus).text);
            }
            if (!running.empty()) {
                backEnabled = backEnabled || window_.IsButtonEnabled(WizardButton::kBack);
                nextEnabled = nextEnabled || window_.IsButtonEnabled(WizardButton::kNext);
            }
        };
    }

    void ExpectTheCardsRange(CardFamily family);

    std::vector<std::u16string> ticks;
    bool backEnabled = false;
    bool nextEnabled = false;
};

}  // namespace

// The pickers hold the card's range and the operation has it.
void DateSelectionPageTest::ExpectTheCardsRange(CardFamily family) {
    const CardSummary card = MountCard('K', Small(family));
    OpenDates(family);
    ASSERT_EQ(Active(), kPageDateSelection);
    const DayDate first = Day(card.firstDate);
    const DayDate last = Day(card.lastDate);
    ASSERT_LT(CompareDates(first, last), 0);
    EXPECT_TRUE(SameDay(Dates().At(kCtlFromDate).date, first));
    EXPECT_TRUE(SameDay(Dates().At(kCtlToDate).date, last));
    for (int picker : {kCtlFromDate, kCtlToDate}) {
        EXPECT_TRUE(SameDay(Dates().At(picker).first, first));
        EXPECT_TRUE(SameDay(Dates().At(picker).last, last));
    }
    // The operation has the dates the page shows, as local midnights.
    ASSERT_NE(Range(), nullptr);
    EXPECT_TRUE(SameDay(DayOf(Range()->startTime), first));
    EXPECT_TRUE(SameDay(DayOf(Range()->endTime), last));
    EXPECT_EQ(Range()->startTime % 86400, 0);  // the tests' clock is UTC
    EXPECT_TRUE(Dates().At(kCtlDateStatus).text.empty());
    EXPECT_TRUE(Dates().timers.empty());
    EXPECT_EQ(Dates().Focused(), kCtlFromDate);
    EXPECT_TRUE(window_.IsButtonEnabled(WizardButton::kNext));
    EXPECT_EQ(window_.defaultButton, WizardButton::kNext);
    EXPECT_EQ(window_.breadcrumb, (std::vector<MessageId>{140, 114, 115, 130}));
    EXPECT_EQ(Dates().At(kCtlDateRangeBox).text,
              u"Choose date range for date based archive and click \"Next\".");
    EXPECT_FALSE(DatePage().RangeFailed());
}

TEST_F(DateSelectionPageTest, OffersTheRangeOfADxCard) { ExpectTheCardsRange(CardFamily::Dx); }

TEST_F(DateSelectionPageTest, OffersTheRangeOfAZt4Card) { ExpectTheCardsRange(CardFamily::Zt4); }

TEST_F(DateSelectionPageTest, TheStatusLineBlinksWhileTheCardIsRead) {
    MountCard('K', Small(CardFamily::Dx));
    TickOnPump();
    OpenDates(CardFamily::Dx, {"Language=French"});
    ASSERT_EQ(Active(), kPageDateSelection);
    ASSERT_GE(ticks.size(), 3u);
    EXPECT_EQ(ticks[0], u"          Préparation de la SMC. . . . .");
    EXPECT_EQ(ticks[1], u"          Préparation de la SMC . . . . .");
    EXPECT_EQ(ticks[2], ticks[0]);
    // Neither Back nor Next while the card is read; both afterwards.
    EXPECT_FALSE(backEnabled);
    EXPECT_FALSE(nextEnabled);
    EXPECT_TRUE(window_.IsButtonEnabled(WizardButton::kBack));
    EXPECT_TRUE(window_.IsButtonEnabled(WizardButton::kNext));
    EXPECT_TRUE(Dates().At(kCtlDateStatus).text.empty());
    EXPECT_EQ(Dates().At(kCtlFromLabel).text, u"Du");

    // The search for the blocks shows its progress the same way.
    ticks.clear();
    backEnabled = false;
    Next();
    EXPECT_EQ(Active(), kPageDateBasedArchiver);
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks.back().rfind(u"Préparation de l'archivage (", 0), 0u) << ToNarrow(ticks.back());
    EXPECT_FALSE(backEnabled);
    EXPECT_TRUE(Dates().At(kCtlDateStatus).text.empty());
    EXPECT_TRUE(Dates().timers.empty());
}

TEST_F(DateSelectionPageTest, PickedDatesGoToTheOperationAndAreChecked) {
    const CardSummary card = MountCard('K', Small(CardFamily::Dx));
    OpenDates(CardFamily::Dx);
    ASSERT_EQ(Active(), kPageDateSelection);
    const DayDate first = Day(card.firstDate);
    const DayDate last = Day(card.lastDate);
    Pick(kCtlFromDate, last);
    Pick(kCtlToDate, first);
    EXPECT_TRUE(SameDay(DayOf(Range()->startTime), last));
    EXPECT_TRUE(SameDay(DayOf(Range()->endTime), first));
    // A picker with no day in it hands the operation nothing.
    Pick(kCtlToDate, DayDate{2016, 2, 30});
    EXPECT_TRUE(SameDay(DayOf(Range()->endTime), first));
    Pick(kCtlToDate, first);

    Shown();
    Next();
    EXPECT_EQ(OnlyStyle(), unsigned{kMbIconError});
    EXPECT_EQ(Shown(), Texts{"Date range not valid.Please select valid date range."});
    EXPECT_EQ(Active(), kPageDateSelection);
    EXPECT_FALSE(window_.IsButtonEnabled(WizardButton::kNext));
    EXPECT_EQ(window_.defaultButton, WizardButton::kCancel);

    // Back sets the pickers to today (the tests' clock) and frees them.
    Back();
    EXPECT_EQ(Active(), kPageArchiverSelection);
    EXPECT_TRUE(window_.IsButtonEnabled(WizardButton::kNext));
    for (int picker : {kCtlFromDate, kCtlToDate}) {
        EXPECT_TRUE(SameDay(Dates().At(picker).date, DayDate{2016, 3, 1}));
        EXPECT_LT(CompareDates(Dates().At(picker).first, first), 0);
        EXPECT_GT(CompareDates(Dates().At(picker).last, DayDate{2016, 3, 1}), 0);
    }

    // Entering again starts over; the same day twice is a range.
    Next();
    ASSERT_EQ(Active(), kPageDateSelection);
    EXPECT_TRUE(window_.IsButtonEnabled(WizardButton::kNext));
    EXPECT_TRUE(SameDay(Dates().At(kCtlFromDate).date, first));
    Pick(kCtlFromDate, last);
    Pick(kCtlToDate, last);
    Next();
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(Active(), kPageDateBasedArchiver);
    EXPECT_GT(Range()->rangeEnd, 0u);
    EXPECT_GE(Range()->rangeEnd, Range()->rangeStart);
    EXPECT_FALSE(GetAppContext().dateRangeUnavailable);
    EXPECT_EQ(window_.focusedButton, WizardButton::kNext);
}

TEST_F(DateSelectionPageTest, AFailedSearchStaysAndSaysSo) {
    const CardSummary card = MountCard('K', Small(CardFamily::Dx));
    OpenDates(CardFamily::Dx);
    ASSERT_EQ(Active(), kPageDateSelection);
    // The card cannot be read any more once its range was shown.
    emulators_['K' - 'A']->Faults().readErrorAtSector = card.sectorsUsed / 2;
    Shown();
    Next();
    EXPECT_EQ(Active(), kPageDateSelection);
    const Texts shown = Shown();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), "Date based archiving process failed. Please check log file.");
    EXPECT_TRUE(GetAppContext().dateArchiveFailed);
    // Back and Next again, as before the search.
    EXPECT_TRUE(window_.IsButtonEnabled(WizardButton::kBack));
    EXPECT_TRUE(window_.IsButtonEnabled(WizardButton::kNext));
    EXPECT_TRUE(Dates().timers.empty());
}

TEST_F(DateSelectionPageTest, ARangeThatCannotBeFoundMovesOnToTheRun) {
    const CardSummary card = MountCard('K', Small(CardFamily::Dx));
    // The card's last sectors cannot be read: its last closure is not found.
    emulators_['K' - 'A']->Faults().readErrorAtSector = card.sectorsUsed - 1;
    OpenDates(CardFamily::Dx);
    ASSERT_EQ(Active(), kPageDateSelection);
    EXPECT_TRUE(DatePage().RangeFailed());
    ASSERT_EQ(Dates().timers.count(kTimerMoveOn), 1u);
    EXPECT_EQ(Dates().timers.at(kTimerMoveOn), 0);

    // The user goes back before the face is idle: nothing moves.
    Back();
    EXPECT_EQ(Active(), kPageArchiverSelection);
    DatePage().OnTimer(kTimerMoveOn);
    EXPECT_EQ(Active(), kPageArchiverSelection);

    // Forward again; the face is idle and Next follows by itself.
    Next();
    ASSERT_EQ(Active(), kPageDateSelection);
    ASSERT_EQ(Dates().timers.count(kTimerMoveOn), 1u);
    DatePage().OnTimer(kTimerMoveOn);
    EXPECT_EQ(Active(), kPageDateBasedArchiver);
    EXPECT_TRUE(GetAppContext().dateRangeUnavailable);
    EXPECT_FALSE(DatePage().RangeFailed());
    EXPECT_TRUE(Dates().timers.empty());
}

TEST_F(DateSelectionPageTest, ACardDayOutsideTheCalendarIsAnError) {
    const CardSummary card = MountCard('K', Small(CardFamily::Dx));
    // The card's first day claims a thirteenth month.
    const std::string path = Join(CardFolder('K'), "WORMSTOR.DAT");
    std::string bytes = ReadFile(path);
    const std::string bad = card.firstDate.substr(0, 5) + "13" + card.firstDate.substr(7);
    for (size_t at = bytes.find(card.firstDate, 1024); at != std::string::npos; at = bytes.find(card.firstDate, at)) {
        bytes.replace(at, 10, bad);
    }
    WriteFile(path, bytes);
    OpenDates(CardFamily::Dx);
    ASSERT_EQ(Active(), kPageDateSelection);
    EXPECT_TRUE(DatePage().RangeFailed());
    ASSERT_NE(Range(), nullptr);
    EXPECT_EQ(Range()->rangeResult, 2);  // the run page says "Incorrect data found."
    EXPECT_NE(LogText().find("Date range of SMC is not valid: " + bad), std::string::npos);
    DatePage().OnTimer(kTimerMoveOn);
    EXPECT_EQ(Active(), kPageDateBasedArchiver);
}

TEST(CalendarDayTest, OnlyRealDaysAfter1899) {
    EXPECT_TRUE(IsCalendarDay({2016, 2, 29}));
    EXPECT_TRUE(IsCalendarDay({2000, 2, 29}));
    EXPECT_FALSE(IsCalendarDay({1899, 12, 31}));
    EXPECT_FALSE(IsCalendarDay({2016, 13, 1}));
    EXPECT_FALSE(IsCalendarDay({2016, 4, 31}));
}

}  // namespace tv::test
