#include "ui/QtVerificationSBCSelectionPage.h"

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "log/LogFile.h"
#include "ui/QtText.h"
#include "ui/QtWizardDialog.h"

namespace tv {

QtVerificationSBCSelectionPage::QtVerificationSBCSelectionPage(QWidget* parent)
    : QtSBCSelectionPage(kPageVerificationSbcSelection, parent) {}

int QtVerificationSBCSelectionPage::UpdateHeader() {
    if (Wizard()->ShowPageHeader(PageId(), true)) Wizard()->update();
    return 0;
}

void QtVerificationSBCSelectionPage::UpdateTexts() { box_->setTitle(Text(116)); }

void QtVerificationSBCSelectionPage::OnCardSelected(const std::string& entry) {
    GetAppContext().drive = std::string(1, DriveOfEntry(entry));
    Wizard()->SetNextOrCancelDefault(false);
}

int QtVerificationSBCSelectionPage::OnWizardNext() {
    std::string entry;
    if (!IdentifyChosenCard(entry)) return -1;
    TV_LOG_INFO(kModVerificationSbcSelectionPage, "SMC selected for verification: " + entry);
    return kPageVerificationFileFolderSelection;
}

int QtVerificationSBCSelectionPage::OnWizardBack() {
    list_->clear();
    list_->setFocus();
    Wizard()->SetNextOrCancelDefault(false);
    return kPageVerificationSelection;
}

}  // namespace tv
