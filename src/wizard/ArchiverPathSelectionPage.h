// The archive folder of this run, asked for when the default folder is not
// used: it must exist and leave room for the names the run builds in it.
#pragma once

#include "wizard/WizardPage.h"

namespace tv {

// The controls of the page's template.
constexpr int kCtlArchivePath = 1036;       // edit with a folder-browse button (its tip: "Select folder")
constexpr int kCtlArchivePathLabel = 1049;  // "Archive path :"
constexpr int kCtlArchivePathBox = 1054;    // group box

class CArchiverPathSelectionPage : public CWizardPage {
public:
    CArchiverPathSelectionPage();

    int UpdateHeader() override;
    void UpdateTexts() override;
    void OnEnterForward() override;
    void OnReturnTo(bool flag) override;
    void OnSetActive() override;
    bool OnKillActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;
    // The browse button of the edit, and F3: the folder picker.
    void OnBrowse() override;
    void OnDefaultPathChanged() override;
};

}  // namespace tv
