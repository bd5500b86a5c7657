#include "wizard/Pages.h"

#include "app/StartUp.h"
#include "wizard/ArchiverPathSelectionPage.h"
#include "wizard/ArchiverSelectionPage.h"
#include "wizard/CompleteArchiverPage.h"
#include "wizard/DateBasedArchiverPage.h"
#include "wizard/DateSelectionPage.h"
#include "wizard/MasterDlg.h"
#include "wizard/PartialArchiverPage.h"
#include "wizard/SBCSelectionPage.h"
#include "wizard/VerificationFileFolderSelectionPage.h"
#include "wizard/VerificationPage.h"
#include "wizard/VerificationSBCSelectionPage.h"
#include "wizard/VerificationSelectionPage.h"
#include "wizard/WelcomePage.h"
#include "wizard/WizardPage.h"

namespace tv {

std::unique_ptr<CWizardPage> MakeWizardPage(int pageId) {
    switch (pageId) {
        case kPageVerificationFileFolderSelection:
            return std::make_unique<CVerificationFileFolderSelectionPage>();
        case kPageVerification:
            return std::make_unique<CVerificationPage>();
        case kPageArchiverSelection:
            return std::make_unique<CArchiverSelectionPage>();
        case kPageArchiverPathSelection:
            return std::make_unique<CArchiverPathSelectionPage>();
        case kPageDateSelection:
            return std::make_unique<CDateSelectionPage>();
        case kPageCompleteArchiver:
            return std::make_unique<CCompleteArchiverPage>();
        case kPagePartialArchiver:
            return std::make_unique<CPartialArchiverPage>();
        case kPageDateBasedArchiver:
            return std::make_unique<CDateBasedArchiverPage>();
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
