// The choice between verification using the card and standalone verification.
#pragma once

#include <QGroupBox>
#include <QRadioButton>

#include "ui/QtWizardPage.h"

namespace tv {

class QtVerificationSelectionPage : public QtWizardPage {
    Q_OBJECT
public:
    explicit QtVerificationSelectionPage(QWidget* parent = nullptr);

    QRadioButton* UsingSmc() const { return usingSmc_; }
    QRadioButton* Standalone() const { return standalone_; }

    int UpdateHeader() override;
    void UpdateTexts() override;
    void OnEnterForward() override;
    void OnReturnTo(bool flag) override;
    int OnWizardBack() override;
    int OnWizardNext() override;

private:
    void Choose(uint32_t type);

    QGroupBox* box_;
    QRadioButton* usingSmc_;
    QRadioButton* standalone_;
    uint32_t type_ = 1;
};

}  // namespace tv
