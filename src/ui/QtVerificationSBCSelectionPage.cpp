#include "ui/QtVerificationSBCSelectionPage.h"

#include "app/StartUp.h"
#include "wizard/VerificationSBCSelectionPage.h"

namespace tv {

QtVerificationSBCSelectionPage::QtVerificationSBCSelectionPage(QWidget* parent)
    : QtSBCSelectionPage(std::make_unique<CVerificationSBCSelectionPage>(), kPageVerificationSbcSelection, parent) {}

}  // namespace tv
