// The SMC selection page: the cards in the computer's drives, the fill level of
// the selected one, and its identification on Next.
#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>

#include "smc/SmcDiscovery.h"
#include "ui/QtWizardPage.h"

namespace tv {

class QtSBCSelectionPage : public QtWizardPage {
    Q_OBJECT
public:
    explicit QtSBCSelectionPage(QWidget* parent = nullptr) : QtSBCSelectionPage(6, parent) {}

    QComboBox* CardList() const { return list_; }
    QProgressBar* FillBar() const { return fill_; }

    bool OnCreatePage() override;
    int UpdateHeader() override;
    void UpdateTexts() override;
    void OnEnterForward() override { Scan(false); }
    int OnDeviceChange() override;
    void OnBeforeNext() override;
    void OnReturnTo(bool flag) override;
    void OnSetActive() override;
    bool OnKillActive() override;
    bool OnQueryCancel() override;
    int OnWizardNext() override;
    int OnWizardBack() override;

protected:
    QtSBCSelectionPage(int pageId, QWidget* parent);
    void OnPagePaint() override;
    // The selected card's fill level (page 6) or only its drive (page 162).
    virtual void OnCardSelected(const std::string& entry);
    // The rules the card is identified by.
    virtual SmcPurpose Purpose() const { return SmcPurpose::Archiving; }
    void Scan(bool refresh);
    void ShowBackButton();
    void DisableNext();
    // Identifies the listed card the user chose; Next is disabled when there is
    // none or the card was refused. The chosen entry is returned in entry.
    bool IdentifyChosenCard(std::string& entry);

    QGroupBox* box_;
    QComboBox* list_;
    QProgressBar* fill_;
    QLabel* fillIcon_;
    bool cardsFound_ = false;
    bool repaint_ = false;
    uint16_t configured_ = 0;

private:
    void SelectionChanged(int index);
    bool filling_ = false;
};

}  // namespace tv
