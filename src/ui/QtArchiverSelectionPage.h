// The archive choice: a complete archive, a continuation of the card's last
// archive (offered only when the card's profile entry is sound) or a
// date-based archive. Each choice makes the matching archive operation at once.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

#include "ui/QtWizardPage.h"

namespace tv {

class QtArchiverSelectionPage : public QtWizardPage {
    Q_OBJECT
public:
    explicit QtArchiverSelectionPage(QWidget* parent = nullptr);

    QRadioButton* CompleteArchive() const { return complete_; }
    QRadioButton* ContinueArchive() const { return continue_; }
    QRadioButton* DateBasedArchive() const { return dateBased_; }
    // "[Previous archive info: <start> to <end>]", shown with the continue choice.
    QLabel* PreviousArchiveInfo() const { return info_; }
    bool ContinueAvailable() const { return continueAvailable_; }

    bool OnCreatePage() override;
    int UpdateHeader() override;
    void UpdateTexts() override;
    void OnBeforeNext() override;
    void OnEnterForward() override;
    void OnReturnTo(bool flag) override;
    void OnSetActive() override;
    bool OnKillActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;

private:
    void Choose(int type);
    QRadioButton* ButtonOf(int type) const;

    QGroupBox* box_;
    QRadioButton* complete_;
    QRadioButton* continue_;
    QRadioButton* dateBased_;
    QLabel* info_;
    int type_ = 1;
    bool continueAvailable_ = false;
};

}  // namespace tv
