#include "ui/VerificationSBCSelectionPage.h"

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "log/LogFile.h"
#include "ui/QtText.h"
#include "ui/WizardDialog.h"

namespace tv {

CVerificationSBCSelectionPage::CVerificationSBCSelectionPage(QWidget* parent)
    : CSBCSelectionPage(kPageVerificationSbcSelection, parent) {}

int CVerificationSBCSelectionPage::UpdateHeader() {
    if (Wizard()->ShowPageHeader(PageId(), true)) Wizard()->update();
    return 0;
}

void CVerificationSBCSelectionPage::UpdateTexts() { box_->setTitle(Text(116)); }

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
    list_->clear();
    list_->setFocus();
    Wizard()->SetNextOrCancelDefault(false);
    return kPageVerificationSelection;
}

}  // namespace tv
