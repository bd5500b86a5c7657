#include "wizard/ArchiverRunPage.h"

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "archive/ArchiveRun.h"
#include "archive/BaseArchiver.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "smc/SmcAccess.h"
#include "wizard/PageView.h"
#include "wizard/WizardDialog.h"

namespace tv {

namespace {

constexpr int kTimerMilliseconds = 1000;

}  // namespace

CArchiverRunPage::CArchiverRunPage(int pageId, int module, int progressControl, bool followsBoundaryCheck)
    : CWizardPage(pageId),
      module_(module),
      progressControl_(progressControl),
      followsBoundaryCheck_(followsBoundaryCheck) {}

std::u16string CArchiverRunPage::FinishedText() const { return Text(success_ ? 127 : 126); }

void CArchiverRunPage::SetStatus(const std::u16string& text) { View().Status(kCtlRunStatus)->SetText(text); }

void CArchiverRunPage::ClearResults() {
    ResultList* list = View().Results(kCtlRunResultList);
    while (list->ItemCount() > 0) {
        if (!list->DeleteRow(list->ItemCount() - 1)) break;
    }
}

bool CArchiverRunPage::OnCreatePage() {
    View().Show(kCtlRunResultPicture, false);
    View().Show(kCtlRunResultList, false);
    View().Progress(progressControl_)->SetRange(0, 100);
    UpdateTexts();
    return true;
}

void CArchiverRunPage::OnBeforeNext() {
    finished_ = false;
    success_ = false;
    anotherOperation_ = false;
    backToPath_ = false;
}

int CArchiverRunPage::UpdateHeader() {
    ShowHeader();
    return 0;
}

void CArchiverRunPage::UpdateTexts() {
    View().SetColumns(kCtlRunResultList, {Text(190), Text(193), Text(194), Text(195)}, {50, 330, 90, 230});
    if (finished_) {
        SetStatus(FinishedText());
    } else if (!running_) {
        SetStatus(PleaseWaitText(123));
    }
}

void CArchiverRunPage::OnPaint() {
    // The first paint shows the page as it was set up; later ones of a finished
    // run put its outcome back on the status line.
    if (firstPaint_) {
        firstPaint_ = false;
        return;
    }
    if (finished_) SetStatus(FinishedText());
}

void CArchiverRunPage::SetSettingsEnabled(bool enabled) { Wizard()->Window().EnableSettings(enabled); }

void CArchiverRunPage::StopTimer() {
    if (followsBoundaryCheck_) View().KillTimer(kRunProgressTimer);
}

void CArchiverRunPage::OnTimer(int id) {
    if (id != kRunProgressTimer || !running_ || !HasAppContext() || !GetAppContext().boundaryCheck) return;
    SetStatus(ProgressText());
}

void CArchiverRunPage::ShowPicture(bool success) {
    View().SetChecked(kCtlRunResultPicture, success);
    View().Show(kCtlRunResultPicture, true);
}

void CArchiverRunPage::OnEnterForward() {
    AppContext& ctx = GetAppContext();
    PageView& view = View();
    ClearResults();
    backToPath_ = false;
    view.Show(kCtlRunResultPicture, false);
    if (RangeUnavailable(ctx)) {
        ShowRangeUnavailable(ctx);
        return;
    }

    WizardWindow& window = Wizard()->Window();
    view.SetText(kCtlRunMessage, {});
    view.SetTip(kCtlRunMessage, {});
    view.Progress(progressControl_)->SetPos(0);
    // The bar stays on screen while the run moves it.
    view.Show(progressControl_, true);
    window.ShowButton(WizardButton::kNext, false);
    window.ShowButton(WizardButton::kBack, false);
    window.ShowButton(WizardButton::kFinish, false);
    window.ShowButton(WizardButton::kCancel, true);
    window.SetButtonText(WizardButton::kCancel, Text(107));
    window.FocusButton(WizardButton::kCancel);
    Wizard()->SetNextOrCancelDefaultKeepEnabled(true);
    SetStatus(PleaseWaitText(123));
    view.Show(kCtlRunResultList, false);
    SetSettingsEnabled(false);
    if (followsBoundaryCheck_) view.SetTimer(kRunProgressTimer, kTimerMilliseconds);
    Ui().Repaint();

    running_ = true;
    const ArchiveRunOutcome outcome = RunCurrentArchiver(ctx, view.Progress(progressControl_),
                                                         view.Results(kCtlRunResultList), view.Status(kCtlRunStatus));
    running_ = false;
    // The user agreed to close while the run got through without another look
    // at the request: the program ends as it would have inside the run.
    if (ctx.abortRequested) AbortApplication();
    // The card may be taken out now; a later run opens it again.
    CloseSmc(ctx);

    if (outcome.backToPath) {
        // The user keeps the existing archive: another folder is chosen on the
        // path page.
        backToPath_ = true;
        SetSettingsEnabled(true);
        StopTimer();
        CWizardDialog* wizard = Wizard();
        wizard->OnBack();
        if (!IsActive()) {
            wizard->SetNextDefaultAfterBack();
            return;
        }
        backToPath_ = false;  // no path page to go back to: the run ends here
    }
    std::u16string messageLine = outcome.messageLine;
    if (!outcome.success && outcome.result == kArchiveFolderMissing) {
        messageLine = PathMessageText(ctx.archivePath);
        view.SetTip(kCtlRunMessage, outcome.messageLine);
    }
    ShowOutcome(outcome.success, messageLine);
}

void CArchiverRunPage::ShowOutcome(bool success, const std::u16string& messageLine) {
    PageView& view = View();
    WizardWindow& window = Wizard()->Window();
    window.ShowButton(WizardButton::kFinish, true);
    window.ShowButton(WizardButton::kCancel, false);
    window.FocusButton(WizardButton::kFinish);
    Wizard()->SetNextOrFinishDefault(true);
    view.Show(kCtlRunResultList, true);
    success_ = success;
    if (success) {
        view.Progress(progressControl_)->SetPos(100);
    } else {
        if (view.Results(kCtlRunResultList)->ItemCount() == 0) view.Show(kCtlRunResultList, false);
        view.SetText(kCtlRunMessage, messageLine);
    }
    view.Show(progressControl_, false);
    ShowPicture(success);
    finished_ = true;
    SetStatus(FinishedText());
    SetSettingsEnabled(true);
    StopTimer();
    Ui().Repaint();
}

void CArchiverRunPage::ShowRangeUnavailable(AppContext& ctx) {
    // Nothing runs: the engine tells why the dates could not be prepared.
    PageView& view = View();
    const ArchiveRunOutcome outcome = RunCurrentArchiver(ctx, nullptr, nullptr, view.Status(kCtlRunStatus));
    WizardWindow& window = Wizard()->Window();
    view.Show(progressControl_, false);
    window.ShowButton(WizardButton::kFinish, true);
    window.ShowButton(WizardButton::kNext, false);
    // Back would lead nowhere: only Finish and its question end the page.
    window.ShowButton(WizardButton::kBack, false);
    window.ShowButton(WizardButton::kCancel, false);
    window.FocusButton(WizardButton::kFinish);
    Wizard()->SetNextOrFinishDefault(true);
    view.Show(kCtlRunResultList, false);
    success_ = false;
    finished_ = true;
    SetStatus(FinishedText());
    view.SetText(kCtlRunMessage, outcome.messageLine);
    ShowPicture(false);
}

bool CArchiverRunPage::OnQueryCancel() {
    if (!AskYesNo(finished_ ? 109 : 163, kMbIconQuestion | kMbDefButton2)) return false;
    GetAppContext().abortRequested = true;
    if (!running_) AbortApplication();
    // The wizard ends; the run sees the request at its next check, undoes its
    // work and ends the program.
    return true;
}

int CArchiverRunPage::OnWizardBack() { return backToPath_ ? kPageArchiverPathSelection : -1; }

int CArchiverRunPage::OnWizardNext() {
    if (!finished_) return -1;  // the keys of Next reach the page while the run pumps events
    if (!anotherOperation_ && !AskYesNo(153, kMbIconQuestion)) {
        Wizard()->FinishWizard();
        return -1;
    }
    View().Show(kCtlRunResultPicture, false);
    Wizard()->Window().ShowButton(WizardButton::kCancel, true);
    Wizard()->SetNextOrFinishDefault(false);
    return GetAppContext().configuredScaleType != 0 ? kPageWelcome : kPageSbcSelection;
}

bool CArchiverRunPage::OnWizardFinish() {
    if (!AskYesNo(153, kMbIconQuestion)) {
        Wizard()->FinishWizard();
        return true;
    }
    anotherOperation_ = true;
    Wizard()->SetNextOrFinishDefault(false);
    Wizard()->OnNext();
    if (HasView()) View().Show(kCtlRunResultPicture, false);
    anotherOperation_ = false;
    return true;
}

bool CArchiverRunPage::OnFinishWizard() {
    // Every created page hears of the end; the page the user ended on closes
    // the program once.
    if (!IsActive() || !HasAppContext()) return true;
    TV_LOG_INFO(module_, "Application closed");
    DestroyAppContext();
    return true;
}

}  // namespace tv
