#include "wizard/DateSelectionPage.h"

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "archive/BaseArchiver.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "store/ArchiveResult.h"
#include "wizard/PageView.h"
#include "wizard/WizardDialog.h"

namespace tv {

namespace {

constexpr MessageId kPreparingSmc = 243;
constexpr MessageId kInvalidRange = 179;
constexpr MessageId kDateArchiveFailed = 212;

// The widest range the pickers offer when no card bounds them.
constexpr DayDate kEarliestDay{1900, 1, 1};
constexpr DayDate kLatestDay{9999, 12, 31};

CDateRange* Range() { return dynamic_cast<CDateRange*>(GetAppContext().currentArchiver.get()); }

void LogNoArchiver() { TV_LOG_ERROR(kModDateBasedArchiverPage, "Archive element not found"); }

}  // namespace

bool IsCalendarDay(const DayDate& d) {
    if (d.year <= 1899 || d.month < 1 || d.month > 12 || d.day < 1) return false;
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
    const int days = d.month == 2 && leap ? 29 : kDays[d.month - 1];
    return d.day <= days;
}

CDateSelectionPage::CDateSelectionPage() : CWizardPage(kPageDateSelection) {}

bool CDateSelectionPage::OnCreatePage() {
    ShowToday();
    View().Focus(kCtlFromDate);
    return true;
}

void CDateSelectionPage::ShowToday() {
    AppContext& ctx = GetAppContext();
    const DayDate today = DayOfTime(ctx, ctx.platform.Now());
    filling_ = true;
    for (int picker : {kCtlFromDate, kCtlToDate}) {
        View().SetDateRange(picker, kEarliestDay, kLatestDay);
        View().SetDate(picker, today);
    }
    filling_ = false;
}

void CDateSelectionPage::PassDate(int picker) {
    AppContext& ctx = GetAppContext();
    CBaseArchiver* archiver = ctx.currentArchiver.get();
    const DayDate day = View().GetDate(picker);
    int64_t time = 0;
    if (archiver == nullptr || !IsCalendarDay(day) || !TimeOfDay(ctx, day, time)) return;
    if (picker == kCtlFromDate) {
        archiver->SetStartDate(time);
    } else {
        archiver->SetEndDate(time);
    }
}

void CDateSelectionPage::OnEditChange(int control) {
    if (filling_ || (control != kCtlFromDate && control != kCtlToDate)) return;
    PassDate(control);
}

int CDateSelectionPage::UpdateHeader() {
    ShowHeader();
    return 0;
}

void CDateSelectionPage::UpdateTexts() {
    View().SetText(kCtlDateRangeBox, Text(131));
    View().SetText(kCtlFromLabel, Text(132));
    View().SetText(kCtlToLabel, Text(133));
}

void CDateSelectionPage::OnBeforeNext() { rangeFailed_ = false; }

void CDateSelectionPage::OnTimer(int id) {
    switch (id) {
        case kTimerPreparing:
            dots_ = !dots_;
            View().SetText(kCtlDateStatus,
                           std::u16string(10, u' ') + Text(kPreparingSmc) + (dots_ ? u". . . . ." : u" . . . . ."));
            break;
        case kTimerFinding:
            View().SetText(kCtlDateStatus, ProgressText());
            break;
        case kTimerMoveOn:
            View().KillTimer(kTimerMoveOn);
            if (IsActive() && rangeFailed_) Wizard()->OnNext();
            break;
        default:
            break;
    }
}

void CDateSelectionPage::OnEnterForward() {
    AppContext& ctx = GetAppContext();
    PageView& view = View();
    WizardWindow& window = Wizard()->Window();
    view.SetText(kCtlDateStatus, {});
    CDateRange* range = Range();
    if (range == nullptr) {
        LogNoArchiver();
        return;
    }
    Wizard()->SetNextOrCancelDefault(true);
    window.EnableButton(WizardButton::kBack, false);
    dots_ = false;
    view.SetTimer(kTimerPreparing, kTickMs);
    view.Focus(kCtlDateStatus);
    DayDate first;
    DayDate last;
    const bool prepared = range->PrepareDateRange(&first, &last);
    view.KillTimer(kTimerPreparing);
    view.SetText(kCtlDateStatus, {});
    window.EnableButton(WizardButton::kBack, true);
    Wizard()->SetNextOrCancelDefault(false);
    if (!prepared) {
        RangeUnavailable();
        return;
    }
    int64_t firstTime = 0;
    int64_t lastTime = 0;
    if (!IsCalendarDay(first) || !IsCalendarDay(last) || !TimeOfDay(ctx, first, firstTime) ||
        !TimeOfDay(ctx, last, lastTime)) {
        TV_LOG_ERROR(kModDateBasedArchiverPage,
                     "Date range of SMC is not valid: " + DateText(first) + " to " + DateText(last));
        // The run page tells the user that the card holds data it cannot use.
        range->rangeResult = kArchiveDataCheckFailed;
        RangeUnavailable();
        return;
    }
    ctx.dateRangeUnavailable = false;
    filling_ = true;
    for (int picker : {kCtlFromDate, kCtlToDate}) view.SetDateRange(picker, first, last);
    view.SetDate(kCtlFromDate, first);
    view.SetDate(kCtlToDate, last);
    ctx.currentArchiver->SetStartDate(firstTime);
    ctx.currentArchiver->SetEndDate(lastTime);
    // What the operation keeps is what the page shows.
    view.SetDate(kCtlFromDate, DayOfTime(ctx, range->startTime));
    view.SetDate(kCtlToDate, DayOfTime(ctx, range->endTime));
    filling_ = false;
    view.Focus(kCtlFromDate);
}

void CDateSelectionPage::RangeUnavailable() {
    rangeFailed_ = true;
    View().SetTimer(kTimerMoveOn, 0);
}

void CDateSelectionPage::OnReturnTo(bool flag) {
    if (!flag) ShowHeader();
    View().Focus(kCtlFromDate);
}

void CDateSelectionPage::OnSetActive() {
    Wizard()->Window().ShowButton(WizardButton::kBack, true);
    PassDate(kCtlFromDate);
    PassDate(kCtlToDate);
}

bool CDateSelectionPage::OnKillActive() {
    Wizard()->Window().ShowButton(WizardButton::kBack, true);
    return true;
}

int CDateSelectionPage::OnWizardNext() {
    AppContext& ctx = GetAppContext();
    PageView& view = View();
    WizardWindow& window = Wizard()->Window();
    Wizard()->SetNextOrCancelDefault(true);
    if (rangeFailed_) {
        rangeFailed_ = false;
        view.KillTimer(kTimerMoveOn);
        ctx.dateRangeUnavailable = true;
        return kPageDateBasedArchiver;
    }
    if (CompareDates(view.GetDate(kCtlFromDate), view.GetDate(kCtlToDate)) > 0) {
        ShowMessage(kInvalidRange, kMbIconError);
        return -1;
    }
    CDateRange* range = Range();
    if (range == nullptr) {
        LogNoArchiver();
        return -1;
    }
    ctx.progressDone = 0;
    ctx.progressTotal = 0;
    view.SetTimer(kTimerFinding, kTickMs);
    window.EnableButton(WizardButton::kBack, false);
    window.FocusButton(WizardButton::kCancel);
    const bool found = range->FindBlockRange();
    window.EnableButton(WizardButton::kBack, true);
    Wizard()->SetNextOrCancelDefault(false);
    window.FocusButton(WizardButton::kNext);
    view.KillTimer(kTimerFinding);
    view.SetText(kCtlDateStatus, {});
    if (found) return kPageDateBasedArchiver;
    if (ctx.dateArchiveFailed) ShowMessage(kDateArchiveFailed, kMbIconWarning);
    return -1;
}

int CDateSelectionPage::OnWizardBack() {
    View().KillTimer(kTimerMoveOn);
    ShowToday();
    Wizard()->SetNextOrCancelDefault(false);
    return GetAppContext().useDefaultArchivePath ? kPageArchiverSelection : kPageArchiverPathSelection;
}

}  // namespace tv
