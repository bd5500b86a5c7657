// A page of the archive generation that this version does not have yet: asking
// for it tells the user so, and the wizard stays where it is.
#pragma once

#include "ui/WizardPage.h"

namespace tv {

class CPendingArchivingPage : public CWizardPage {
    Q_OBJECT
public:
    using CWizardPage::CWizardPage;
    bool OnCreatePage() override;
};

}  // namespace tv
