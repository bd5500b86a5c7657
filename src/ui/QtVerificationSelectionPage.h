// The verification choice's panel: verification using the card or standalone
// verification, as the core's page (CVerificationSelectionPage) decides it.
#pragma once

#include <QGroupBox>
#include <QRadioButton>

#include "ui/QtPagePanel.h"
#include "wizard/VerificationSelectionPage.h"

namespace tv {

class QtVerificationSelectionPage : public QtPagePanel {
    Q_OBJECT
public:
    explicit QtVerificationSelectionPage(QWidget* parent = nullptr);

    QRadioButton* UsingSmc() const { return usingSmc_; }
    QRadioButton* Standalone() const { return standalone_; }

private:
    CVerificationSelectionPage choice_;
    QGroupBox* box_;
    QRadioButton* usingSmc_;
    QRadioButton* standalone_;
};

}  // namespace tv
