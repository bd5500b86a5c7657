// The dates of a date-based archive: the card's first and last days bound the
// two pickers; Next finds the blocks of the chosen days before the run.
#pragma once

#include "archive/DateRange.h"
#include "wizard/WizardPage.h"

namespace tv {

// The controls of the page's template.
constexpr int kCtlFromDate = 1019;       // date picker
constexpr int kCtlToDate = 1020;         // date picker
constexpr int kCtlFromLabel = 1045;      // "From"
constexpr int kCtlToLabel = 1046;        // "To"
constexpr int kCtlDateStatus = 1097;     // status line
constexpr int kCtlDateRangeBox = 1044;   // group box

// The page's timers: the blinking "Preparing SMC" while the card's dates are
// read, the progress while the blocks of the chosen dates are found (both tick
// while the engine pumps), and the move to the run page when the card's dates
// could not be found (due as soon as the face is idle again).
constexpr int kTimerPreparing = 8192;
constexpr int kTimerFinding = 12288;
constexpr int kTimerMoveOn = 8193;
constexpr int kTickMs = 1000;

class CDateSelectionPage : public CWizardPage {
public:
    CDateSelectionPage();

    bool RangeFailed() const { return rangeFailed_; }

    bool OnCreatePage() override;
    int UpdateHeader() override;
    void UpdateTexts() override;
    void OnBeforeNext() override;
    void OnEnterForward() override;
    void OnReturnTo(bool flag) override;
    void OnSetActive() override;
    bool OnKillActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;
    void OnEditChange(int control) override;
    void OnTimer(int id) override;

private:
    // The picker's day handed to the operation as its start (From) or end (To).
    void PassDate(int picker);
    // Both pickers back to today, with no bounds.
    void ShowToday();
    // The card's dates could not be found: Next goes on to the run page, which
    // tells why.
    void RangeUnavailable();

    bool dots_ = false;
    bool filling_ = false;
    bool rangeFailed_ = false;
};

// A day the pickers can show: a real calendar day after 1899.
bool IsCalendarDay(const DayDate& day);

}  // namespace tv
