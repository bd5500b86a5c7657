// The archive choice: a complete archive, a continuation of the card's last
// archive (offered only when the card's profile entry is sound) or a
// date-based archive. Each choice makes the matching archive operation at once.
#pragma once

#include "wizard/WizardPage.h"

namespace tv {

// The controls of the page's template.
constexpr int kCtlCompleteArchive = 1016;      // radio button
constexpr int kCtlContinueArchive = 1017;      // radio button, enabled when the profile allows it
constexpr int kCtlDateBasedArchive = 1007;     // radio button
constexpr int kCtlPreviousArchiveInfo = 1032;  // "[Previous archive info: <start> to <end>]"
constexpr int kCtlArchiveChoiceBox = 1042;     // group box

class CArchiverSelectionPage : public CWizardPage {
public:
    CArchiverSelectionPage();

    // 1 complete, 2 continue from the last archive, 3 date-based.
    int ArchiveType() const { return type_; }
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
    void OnCommand(int control) override;

private:
    void Choose(int type);
    // Checks the radio button of the type and clears the others.
    void CheckType(int type);
    static int ButtonOf(int type);

    int type_ = 1;
    bool continueAvailable_ = false;
};

// The run page (or the date page) of an archive type; a type that names no
// run is fatal.
int ArchiveRunPage(int module, int archiveType);

}  // namespace tv
