// Page 140: the archive file, archive folder or Archive.log to check. For a
// folder of ZT4 archives also the card's Archive.log the folder is compared with.
#pragma once

#include <cstdint>
#include <string>

#include "wizard/WizardPage.h"

namespace tv {

class CVerificationFileFolderSelectionPage : public CWizardPage {
public:
    // The controls of the page's template.
    static constexpr int kCtlGroup = 1047;
    static constexpr int kCtlLabel = 1048;
    static constexpr int kCtlPath = 1020;
    static constexpr int kCtlChooseFolder = 1022;
    static constexpr int kCmdBrowse = 32782;  // F3
    // Added by our faces beyond the template.
    static constexpr int kCtlBrowse = 1500;       // the button beside the path box
    static constexpr int kCtlAllFindings = 1501;  // dX: "List every failing block"
    static constexpr int kCtlLogLabel = 1502;     // ZT4 folder: the card's Archive.log row
    static constexpr int kCtlLogPath = 1503;
    static constexpr int kCtlLogBrowse = 1504;
    static constexpr int kCtlLogHint = 1505;

    CVerificationFileFolderSelectionPage();

    // dX: go on after the first failing block of an archive and list them all.
    bool AllFindings() const;
    // ZT4 folder: the Archive.log named in its row ("" for none: the folder's
    // own log is then used when it validates).
    std::string ContinuityLogPath() const;

    int UpdateHeader() override;
    void UpdateTexts() override;
    void OnEnterForward() override;
    void OnReturnTo(bool flag) override;
    int OnWizardBack() override;
    int OnWizardNext() override;
    void OnBrowse() override;
    void OnCommand(int control) override;

private:
    // Guide text of the family and kind (172, 260 or 263).
    MessageId GuideText() const;
    // A folder can be chosen: dX archives, ZT4 archives (not a log).
    bool FolderAllowed() const;
    bool FolderMode() const;
    bool Zt4Folder() const;
    void ShowLogRow();
    void OnBrowseLog();
    // ZT4 folder: the folder holds archives and the named log is one; false
    // after showing why not.
    bool CheckZt4Folder(const std::string& path);
    int Refuse(MessageId message, unsigned icon, int focus);
};

}  // namespace tv
