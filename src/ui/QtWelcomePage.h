// The welcome page: the choice of the operation, adapted to the scale family.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>

#include "ui/QtWizardPage.h"

namespace tv {

class QtWelcomePage : public QtWizardPage {
    Q_OBJECT
public:
    explicit QtWelcomePage(QWidget* parent = nullptr);

    QRadioButton* NewArchive() const { return newArchive_; }
    QRadioButton* ExistingArchive() const { return existing_; }
    QCheckBox* WithoutSmc() const { return withoutSmc_; }
    QRadioButton* LogValidation() const { return logValidation_; }

    bool OnCreatePage() override;
    int UpdateHeader() override;
    void UpdateTexts() override;
    void OnEnterForward() override;
    void OnBeforeNext() override { repaint_ = true; }
    void OnReturnTo(bool flag) override;
    void OnSetActive() override;
    bool OnQueryCancel() override;
    int OnWizardNext() override;

protected:
    void OnPagePaint() override;

private:
    void ChooseNewArchive();
    void ChooseExisting();
    void ChooseLog();
    void ToggleWithoutSmc();

    QGroupBox* box_;
    QRadioButton* newArchive_;
    QRadioButton* existing_;
    QCheckBox* withoutSmc_;
    QRadioButton* logValidation_;
    int operation_ = 1;
    bool repaint_ = false;
    uint16_t configured_ = 0;
};

}  // namespace tv
