// The welcome page: the choice of the operation, adapted to the card's family.
#pragma once

#include <cstdint>

#include "wizard/WizardPage.h"

namespace tv {

// Controls of template 133.
constexpr int kCtlNewArchive = 1005;
constexpr int kCtlExistingArchive = 1006;
constexpr int kCtlOperationGroup = 1040;
constexpr int kCtlWithoutSmc = 1099;
constexpr int kCtlLogValidation = 1110;

class CWelcomePage : public CWizardPage {
public:
    CWelcomePage();

    bool OnCreatePage() override;
    int UpdateHeader() override;
    void UpdateTexts() override;
    void OnEnterForward() override;
    void OnBeforeNext() override { repaint_ = true; }
    void OnReturnTo(bool flag) override;
    // Also puts the focus on the chosen operation once the page is shown (what
    // OnReturnTo(true) does), so a face needs nothing more after the activation.
    void OnSetActive() override;
    bool OnQueryCancel() override;
    int OnWizardNext() override;
    void OnCommand(int control) override;
    // The first paint after a move Next puts the wizard's buttons in this page's state.
    void OnPaint() override;

private:
    void SelectOperation(int control);
    void ChooseNewArchive();
    void ChooseExisting();
    void ChooseLog();
    void ShowBackButton();

    int operation_ = 1;
    bool repaint_ = false;
    uint16_t configured_ = 0;
};

}  // namespace tv
