// The card page of the verification choice: the card list without a fill
// level, identified by the verification rules. Its template holds the list
// and the group box of the card page (kCtlCardList, kCtlCardGroup).
#pragma once

#include "wizard/SBCSelectionPage.h"

namespace tv {

class CVerificationSBCSelectionPage : public CSBCSelectionPage {
public:
    CVerificationSBCSelectionPage();

    int UpdateHeader() override;
    void UpdateTexts() override;
    void OnBeforeNext() override {}
    void OnSetActive() override {}
    bool OnKillActive() override { return true; }
    bool OnQueryCancel() override { return true; }
    int OnWizardNext() override;
    int OnWizardBack() override;
    void OnPaint() override {}

protected:
    void OnCardSelected(const std::string& entry) override;
    SmcPurpose Purpose() const override { return SmcPurpose::Verification; }
    bool HasFillLevel() const override { return false; }
};

}  // namespace tv
