// The welcome page's panel: the choice of the operation, as the core's welcome
// page (CWelcomePage) decides it.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>

#include "ui/QtPagePanel.h"
#include "wizard/WelcomePage.h"

namespace tv {

class QtWelcomePage : public QtPagePanel {
    Q_OBJECT
public:
    explicit QtWelcomePage(QWidget* parent = nullptr);

    QRadioButton* NewArchive() const { return newArchive_; }
    QRadioButton* ExistingArchive() const { return existing_; }
    QCheckBox* WithoutSmc() const { return withoutSmc_; }
    QRadioButton* LogValidation() const { return logValidation_; }

private:
    CWelcomePage welcome_;
    QGroupBox* box_;
    QRadioButton* newArchive_;
    QRadioButton* existing_;
    QCheckBox* withoutSmc_;
    QRadioButton* logValidation_;
};

}  // namespace tv
