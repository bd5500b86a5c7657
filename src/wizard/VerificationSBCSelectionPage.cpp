#include "wizard/VerificationSBCSelectionPage.h"

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "wizard/PageView.h"
#include "wizard/WizardDialog.h"

namespace tv {

CVerificationSBCSelectionPage::CVerificationSBCSelectionPage() : CSBCSelectionPage(kPageVerificationSbcSelection) {}

int CVerificationSBCSelectionPage::UpdateHeader() {
    if (Wizard()->ShowPageHeader(PageId(), true)) Wizard()->Window().Redraw();
    return 0;
}

void CVerificationSBCSelectionPage::UpdateTexts() { View().SetText(kCtlCardGroup, Text(116)); }

void CVerificationSBCSelectionPage::OnCardSelected(const std::string& entry) {
    GetAppContext().drive = std::string(1, DriveOfEntry(entry));
    Wizard()->SetNextOrCancelDefault(false);
}

int CVerificationSBCSelectionPage::OnWizardNext() {
    std::string entry;
    if (!IdentifyChosenCard(entry)) return -1;
    TV_LOG_INFO(kModVerificationSbcSelectionPage, "SMC selected for verification: " + entry);
    return kPageVerificationFileFolderSelection;
}

int CVerificationSBCSelectionPage::OnWizardBack() {
    LeaveBack();
    return kPageVerificationSelection;
}

}  // namespace tv
