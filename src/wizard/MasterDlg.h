// The window of Tallyvault, without any toolkit: the wizard with its title, the
// breadcrumb of the chosen operation, help and settings, the button captions
// and the messages pages and the settings post to the window.
#pragma once

#include <string>

#include "wizard/WizardDialog.h"

namespace tv {

// The help page of a language: "FAQ_fr.htm" when the language is exactly
// "French", "FAQ_en.htm" otherwise.
std::string HelpFileName(const std::string& language);
// The help page for a program in programFolder: beside the program when it is
// there, else in the installed data folder (installedFolder, relative to the
// program's folder; empty for none) when it is there, else beside the program.
std::string FindHelpFile(const std::string& programFolder, const std::string& installedFolder,
                         const std::string& pageName);

class CMasterDlg : public CWizardDialog {
public:
    explicit CMasterDlg(WizardWindow& window) : CWizardDialog(window) {}

    // The folder of the program file, where the help pages lie.
    void SetProgramFolder(std::string folder) { programFolder_ = std::move(folder); }
    std::string HelpFilePath() const;

    // The window opens: its title, the first page; the log hears of the start
    // once, when the window is first shown (Started).
    void Initialise();
    void Started();

    bool ShowPageHeader(int pageId, bool dx) override;
    bool OnKey(WizardKey key) override;

    // Help: the help page of the language, or the message that there is none.
    void OnHelp();
    // Settings: the dialog, then the page, the title and every text again.
    void OnSettings();
    // Message 1124: the language or another text may have changed.
    void RefreshTexts();
    // Message 1125: the default archive folder may have changed.
    void RefreshDefaultPath();
    // Message 1126: the user ended the program from the settings.
    [[noreturn]] void CloseApplicationNow();
    // A drive arrived or went away.
    void DeviceChanged();

protected:
    void UpdateButtonCaptions() override;
    void OnSettingsKey() override { OnSettings(); }
    void OnSettingsFocusKey() override { Window().FocusSettings(); }

private:
    void ReturnToPage();

    std::string programFolder_;
    bool started_ = false;
};

}  // namespace tv
