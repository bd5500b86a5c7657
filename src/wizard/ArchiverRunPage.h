// What the three archive run pages share: the run of the archive operation the
// choice pages prepared, its progress and outcome, and the questions at its end.
// The run itself, its questions and its clean-up are the engine's; the page
// moves the wizard and tells the face what to show.
#pragma once

#include "wizard/WizardPage.h"

namespace tv {

class AppContext;

// Controls of the run templates 135, 136 and 137 (the progress bar's ID differs
// by page and is given to the constructor).
constexpr int kCtlRunMessage = 1060;
constexpr int kCtlRunResultPicture = 1090;  // checked: bitmap 189 (success), else 188 (failure)
constexpr int kCtlRunResultList = 1089;
// Added by our faces: the status line (a static without ID in the templates).
constexpr int kCtlRunStatus = 1500;

// The timer that follows the boundary check while a run goes on.
constexpr int kRunProgressTimer = 4096;

class CArchiverRunPage : public CWizardPage {
public:
    bool IsFinished() const { return finished_; }
    bool IsRunning() const { return running_; }
    bool Succeeded() const { return success_; }
    bool BackToPath() const { return backToPath_; }
    int ProgressControl() const { return progressControl_; }

    void OnBeforeNext() override;
    int UpdateHeader() override;
    void UpdateTexts() override;
    bool OnCreatePage() override;
    void OnEnterForward() override;
    bool OnQueryCancel() override;
    int OnWizardBack() override;
    int OnWizardNext() override;
    bool OnWizardFinish() override;
    bool OnFinishWizard() override;
    void OnTimer(int id) override;
    void OnPaint() override;

protected:
    // The module named in the log, the progress bar's control ID and whether the
    // page follows the boundary check on its status line.
    CArchiverRunPage(int pageId, int module, int progressControl, bool followsBoundaryCheck);
    // The date-based page: the chosen dates could not be prepared, so there is
    // nothing to run.
    virtual bool RangeUnavailable(const AppContext&) const { return false; }

private:
    void ShowRangeUnavailable(AppContext& ctx);
    void ShowOutcome(bool success, const std::u16string& messageLine);
    void ShowPicture(bool success);
    void SetStatus(const std::u16string& text);
    void ClearResults();
    void SetSettingsEnabled(bool enabled);
    void StopTimer();
    std::u16string FinishedText() const;

    int module_;
    int progressControl_;
    bool followsBoundaryCheck_;
    bool finished_ = false;
    bool success_ = false;
    bool anotherOperation_ = false;
    bool backToPath_ = false;
    bool running_ = false;
    bool firstPaint_ = true;
};

}  // namespace tv
