// The choice between verification using the card and standalone verification.
#pragma once

#include <cstdint>

#include "wizard/WizardPage.h"

namespace tv {

// Controls of template 161.
constexpr int kCtlVerifyUsingSmc = 1082;
constexpr int kCtlStandaloneVerification = 1083;
constexpr int kCtlVerificationChoiceGroup = 1084;

class CVerificationSelectionPage : public CWizardPage {
public:
    CVerificationSelectionPage();

    int UpdateHeader() override;
    void UpdateTexts() override;
    void OnEnterForward() override;
    void OnReturnTo(bool flag) override;
    int OnWizardBack() override;
    int OnWizardNext() override;
    void OnCommand(int control) override;

private:
    // 1 using the card, 2 standalone.
    void Choose(uint32_t type);

    uint32_t type_ = 1;
};

}  // namespace tv
