#include "wizard/VerificationSelectionPage.h"

#include <string>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "wizard/PageView.h"
#include "wizard/WizardDialog.h"

namespace tv {

CVerificationSelectionPage::CVerificationSelectionPage() : CWizardPage(kPageVerificationSelection) {}

int CVerificationSelectionPage::UpdateHeader() {
    ShowHeader();
    return 0;
}

void CVerificationSelectionPage::UpdateTexts() {
    WizardWindow& w = Wizard()->Window();
    w.ShowButton(WizardButton::kNext, true);
    w.ShowButton(WizardButton::kCancel, true);
    w.ShowButton(WizardButton::kFinish, false);
    View().SetText(kCtlVerificationChoiceGroup, Text(165));
    View().SetText(kCtlVerifyUsingSmc, Text(166));
    View().SetText(kCtlStandaloneVerification, Text(167));
}

void CVerificationSelectionPage::Choose(uint32_t type) {
    type_ = type;
    GetAppContext().verificationMode = type;
}

void CVerificationSelectionPage::OnCommand(int control) {
    if (control == kCtlVerifyUsingSmc) Choose(1);
    if (control == kCtlStandaloneVerification) Choose(2);
}

void CVerificationSelectionPage::OnEnterForward() {
    Choose(1);
    Wizard()->SetNextOrCancelDefault(false);  // one option is always chosen
    View().SetChecked(kCtlVerifyUsingSmc, true);
    View().SetChecked(kCtlStandaloneVerification, false);
    View().Focus(kCtlVerifyUsingSmc);
}

void CVerificationSelectionPage::OnReturnTo(bool) {
    View().Focus(type_ == 1 ? kCtlVerifyUsingSmc : kCtlStandaloneVerification);
}

int CVerificationSelectionPage::OnWizardBack() { return kPageWelcome; }

int CVerificationSelectionPage::OnWizardNext() {
    if (type_ == 1) return kPageVerificationSbcSelection;
    if (type_ == 2) return kPageVerificationFileFolderSelection;
    TV_LOG_ERROR(kModVerificationSelectionPage, "VerificationType : " + std::to_string(type_));
    FatalError(kModVerificationSelectionPage, __LINE__, "Unexpected Verification type found.Application Aborted");
}

}  // namespace tv
