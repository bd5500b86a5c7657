// The card page: the cards in the computer's drives, the fill level of the
// selected one, and its identification on Next.
#pragma once

#include <cstdint>
#include <string>

#include "smc/SmcDiscovery.h"
#include "wizard/WizardPage.h"

namespace tv {

// Controls of template 6 (template 162 has the list and the group box).
constexpr int kCtlCardList = 1010;
constexpr int kCtlFillLevel = 1011;
constexpr int kCtlFillPicture = 1012;
constexpr int kCtlCardGroup = 1041;

class CSBCSelectionPage : public CWizardPage {
public:
    CSBCSelectionPage();

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
    void OnSelectionChange(int control) override;
    void OnPaint() override;

protected:
    explicit CSBCSelectionPage(int pageId) : CWizardPage(pageId) {}

    // The selected card's fill level (page 6) or only its drive (page 162).
    virtual void OnCardSelected(const std::string& entry);
    // The rules the card is identified by.
    virtual SmcPurpose Purpose() const { return SmcPurpose::Archiving; }
    // Whether the template has the fill-level bar and its picture.
    virtual bool HasFillLevel() const { return true; }
    // Builds the list from the drives; a refresh (a drive came or went) keeps
    // the list usable when no card is left.
    void Scan(bool refresh);
    // Empties the list on the way Back; Next is usable on the page before.
    void LeaveBack();
    void DisableNext();
    // Identifies the listed card the user chose; Next is disabled when there is
    // none or the card was refused. The chosen entry is returned in entry.
    bool IdentifyChosenCard(std::string& entry);

private:
    // Whether the list's item is "<Select SMC>" or "<Insert SMC>" (or no item):
    // the placeholder is always the first item, in whichever language it was
    // written, so that no text of it is ever taken for a card.
    static bool IsPlaceholder(int index) { return index <= 0; }
    void ShowFillLevel(bool show);
    void ShowBackButton();

    bool cardsFound_ = false;
    bool repaint_ = false;
    bool filling_ = false;
    uint16_t configured_ = 0;
};

}  // namespace tv
