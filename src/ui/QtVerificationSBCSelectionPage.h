// The card page of the verification choice: the card list without a fill
// level, identified by the verification rules.
#pragma once

#include "ui/QtSBCSelectionPage.h"

namespace tv {

class QtVerificationSBCSelectionPage : public QtSBCSelectionPage {
    Q_OBJECT
public:
    explicit QtVerificationSBCSelectionPage(QWidget* parent = nullptr);

    int UpdateHeader() override;
    void UpdateTexts() override;
    void OnBeforeNext() override {}
    void OnSetActive() override {}
    bool OnKillActive() override { return true; }
    bool OnQueryCancel() override { return true; }
    int OnWizardNext() override;
    int OnWizardBack() override;

protected:
    void OnPagePaint() override {}
    void OnCardSelected(const std::string& entry) override;
    SmcPurpose Purpose() const override { return SmcPurpose::Verification; }
};

}  // namespace tv
