#include "wizard/WelcomePage.h"

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "wizard/PageView.h"
#include "wizard/WizardDialog.h"
#include "zt4/VerifierChoice.h"

namespace tv {

CWelcomePage::CWelcomePage() : CWizardPage(kPageWelcome) {}

bool CWelcomePage::OnCreatePage() {
    configured_ = GetAppContext().configuredScaleType;
    SelectOperation(kCtlNewArchive);
    View().Show(kCtlWithoutSmc, false);
    View().Focus(kCtlNewArchive);
    operation_ = 1;
    LogFile::Instance().UseConfiguredFolder();
    GetAppContext().operation = 1;
    return true;
}

int CWelcomePage::UpdateHeader() {
    if (ShowHeader()) Wizard()->Window().Redraw();
    return 0;
}

void CWelcomePage::UpdateTexts() {
    PageView& v = View();
    v.SetText(kCtlOperationGroup, Text(110));
    v.SetText(kCtlNewArchive, Text(111));
    v.SetText(kCtlExistingArchive, Text(IsDx() ? 112 : 259));
    v.SetText(kCtlWithoutSmc, Text(242));
    v.SetText(kCtlLogValidation, Text(273));
}

// Radio buttons of one group: the chosen one checked, the others cleared.
void CWelcomePage::SelectOperation(int control) {
    for (int radio : {kCtlNewArchive, kCtlExistingArchive, kCtlLogValidation}) {
        View().SetChecked(radio, radio == control);
    }
}

void CWelcomePage::OnEnterForward() {
    PageView& v = View();
    Wizard()->SetNextOrCancelDefault(false);  // one operation is always chosen
    operation_ = 1;
    v.Enable(kCtlWithoutSmc, false);
    v.Show(kCtlWithoutSmc, false);
    v.SetChecked(kCtlWithoutSmc, false);
    GetAppContext().operation = 1;
    SelectOperation(kCtlNewArchive);
    v.Focus(kCtlNewArchive);
    v.Enable(kCtlLogValidation, !IsDx());
    v.Show(kCtlLogValidation, !IsDx());
    v.SetText(kCtlExistingArchive, Text(IsDx() ? 112 : 259));
    Ui().Repaint();
}

void CWelcomePage::OnReturnTo(bool flag) {
    if (!flag) ShowHeader();
    if (operation_ == 1) {
        View().Focus(kCtlNewArchive);
    } else if (IsDx() || GetAppContext().validationKind == 1) {
        View().Focus(kCtlExistingArchive);
    } else {
        View().Focus(kCtlLogValidation);
    }
}

void CWelcomePage::ShowBackButton() {
    // Only the card page of auto-detection comes before this page.
    Wizard()->Window().ShowButton(WizardButton::kBack, configured_ == 0);
}

void CWelcomePage::OnSetActive() {
    ShowBackButton();
    OnReturnTo(true);
}

bool CWelcomePage::OnQueryCancel() {
    if (AskYesNo(109, kMbIconQuestion | kMbDefButton2)) CloseApplication(kModWelcomePage);
    return false;
}

void CWelcomePage::OnCommand(int control) {
    switch (control) {
        case kCtlNewArchive:
            ChooseNewArchive();
            break;
        case kCtlExistingArchive:
            ChooseExisting();
            break;
        case kCtlLogValidation:
            ChooseLog();
            break;
        case kCtlWithoutSmc:
            GetAppContext().verificationMode = View().IsChecked(kCtlWithoutSmc) ? 2 : 1;
            break;
        default:
            break;
    }
}

void CWelcomePage::ChooseNewArchive() {
    operation_ = 1;
    View().Enable(kCtlWithoutSmc, false);
    View().Show(kCtlWithoutSmc, false);
    GetAppContext().operation = 1;
}

void CWelcomePage::ChooseExisting() {
    AppContext& ctx = GetAppContext();
    operation_ = 2;
    if (ctx.scaleType == '0') {
        const bool standalone = View().IsChecked(kCtlWithoutSmc);
        View().Enable(kCtlWithoutSmc, true);
        View().Show(kCtlWithoutSmc, true);
        ctx.operation = 2;
        PrepareDxVerifier(ctx);
        ctx.verificationMode = standalone ? 2 : 1;
        SetValidationKind(ctx, 2);
    } else if (ctx.scaleType == '1') {
        ctx.operation = 2;
        PrepareDxVerifier(ctx);
        ctx.verificationMode = 2;
        SetValidationKind(ctx, 1);
    }
}

void CWelcomePage::ChooseLog() {
    AppContext& ctx = GetAppContext();
    operation_ = 2;
    ctx.operation = 2;
    PrepareDxVerifier(ctx);
    ctx.verificationMode = 2;
    SetValidationKind(ctx, 3);
}

int CWelcomePage::OnWizardNext() {
    const AppContext& ctx = GetAppContext();
    repaint_ = true;
    if (operation_ == 1) return configured_ != 0 ? kPageSbcSelection : kPageArchiverSelection;
    if (operation_ == 2) {
        return configured_ == 1 && ctx.verificationMode == 1 ? kPageSbcSelection
                                                              : kPageVerificationFileFolderSelection;
    }
    TV_LOG_ERROR(kModWelcomePage, "VerificationType : " + std::to_string(operation_));
    FatalError(kModWelcomePage, __LINE__, "Unexpected Verification type found.Application Aborted");
}

void CWelcomePage::OnPaint() {
    if (!repaint_) return;
    repaint_ = false;
    WizardWindow& w = Wizard()->Window();
    ShowBackButton();
    w.ShowButton(WizardButton::kNext, true);
    w.ShowButton(WizardButton::kCancel, true);
    w.ShowButton(WizardButton::kFinish, false);
}

}  // namespace tv
