#include "wizard/Pages.h"

#include "app/StartUp.h"
#include "wizard/MasterDlg.h"
#include "wizard/SBCSelectionPage.h"
#include "wizard/VerificationSBCSelectionPage.h"
#include "wizard/VerificationSelectionPage.h"
#include "wizard/WelcomePage.h"
#include "wizard/WizardPage.h"

namespace tv {

std::unique_ptr<CWizardPage> MakeWizardPage(int pageId) {
    switch (pageId) {
        case kPageWelcome:
            return std::make_unique<CWelcomePage>();
        case kPageSbcSelection:
            return std::make_unique<CSBCSelectionPage>();
        case kPageVerificationSbcSelection:
            return std::make_unique<CVerificationSBCSelectionPage>();
        case kPageVerificationSelection:
            return std::make_unique<CVerificationSelectionPage>();
        default:
            return nullptr;
    }
}

std::vector<std::unique_ptr<CWizardPage>> AddWizardPages(CMasterDlg& wizard, const std::vector<int>& pageOrder) {
    std::vector<std::unique_ptr<CWizardPage>> pages;
    for (int id : pageOrder) {
        std::unique_ptr<CWizardPage> page = MakeWizardPage(id);
        if (!page) continue;
        wizard.AddPage(page.get());
        pages.push_back(std::move(page));
    }
    return pages;
}

}  // namespace tv
