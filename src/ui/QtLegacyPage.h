// A Qt page that has not moved onto its core page yet, seen by the wizard core
// as one of its pages: every hook the core calls goes to the Qt page's own
// hook of the same name. Its panel has no controls by ID: the Qt page still
// drives its widgets itself.
#pragma once

#include "ui/QtPageControls.h"
#include "wizard/WizardPage.h"

namespace tv {

class QtWizardPage;

class QtLegacyPage : public CWizardPage {
public:
    explicit QtLegacyPage(QtWizardPage& page);

    QtWizardPage& Page() const { return page_; }
    PageView& Controls() { return controls_; }

    int OnDeviceChange() override;
    void OnBeforeNext() override;
    int UpdateHeader() override;
    void UpdateTexts() override;
    void OnEnterForward() override;
    void OnReturnTo(bool flag) override;
    bool OnCreatePage() override;
    void OnDestroyPage() override;
    bool OnKillActive() override;
    void OnSetActive() override;
    bool OnQueryCancel() override;
    int OnWizardBack() override;
    int OnWizardNext() override;
    bool OnWizardFinish() override;
    bool OnFinishWizard() override;
    void OnBrowse() override;
    void OnDefaultPathChanged() override;

private:
    QtWizardPage& page_;
    QtPageControls controls_;
};

}  // namespace tv
