#include "wizard/MasterDlg.h"

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "wizard/SettingsDlg.h"
#include "wizard/WizardPage.h"

namespace tv {

std::string HelpFileName(const std::string& language) {
    return language == "French" ? "FAQ_fr.htm" : "FAQ_en.htm";
}

std::string FindHelpFile(const std::string& programFolder, const std::string& installedFolder,
                         const std::string& pageName) {
    Platform& p = Sys();
    const std::string beside = p.JoinPath(programFolder, pageName);
    uint32_t attributes = 0;
    if (p.GetAttributes(beside, attributes) && (attributes & kAttrDirectory) == 0) return beside;
    if (!installedFolder.empty()) {
        const std::string installed = p.JoinPath(p.JoinPath(programFolder, installedFolder), pageName);
        if (p.GetAttributes(installed, attributes) && (attributes & kAttrDirectory) == 0) return installed;
    }
    return beside;
}

std::string CMasterDlg::HelpFilePath() const {
#ifdef TV_INSTALLED_HELP_DIR
    const std::string installed = TV_INSTALLED_HELP_DIR;
#else
    const std::string installed;
#endif
    return FindHelpFile(programFolder_, installed, HelpFileName(GetAppContext().language));
}

void CMasterDlg::Initialise() {
    Window().SetTitle(ToUtf16(WindowTitle()));
    ShowFirstPage();
    UpdateButtonCaptions();
}

void CMasterDlg::Started() {
    if (started_) return;
    started_ = true;
    TV_LOG_INFO(kModMasterDlg, WindowTitle() + " application started");
}

bool CMasterDlg::ShowPageHeader(int pageId, bool dx) {
    CWizardPage* active = ActivePage();
    if (active == nullptr || active->PageId() != pageId) return false;
    Window().ShowBreadcrumb(
        PlanBreadcrumb(pageId, dx, GetAppContext(), SelectedLanguage() == MessageLanguage::French));
    return true;
}

bool CMasterDlg::OnKey(WizardKey key) {
    if (key == WizardKey::kBackspace) {
        // The card list and the running archive pages keep Backspace from moving Back.
        CWizardPage* active = ActivePage();
        const int id = active != nullptr ? active->PageId() : 0;
        if (id == 6 || id == 135 || id == 136 || id == 137) return true;
    }
    return CWizardDialog::OnKey(key);
}

void CMasterDlg::UpdateButtonCaptions() {
    WizardWindow& w = Window();
    w.SetButtonText(WizardButton::kBack, GetMessageText(104));
    w.SetButtonText(WizardButton::kNext, GetMessageText(105));
    w.SetButtonText(WizardButton::kFinish, GetMessageText(108));
    CWizardPage* active = ActivePage();
    w.SetButtonText(WizardButton::kCancel,
                    GetMessageText(active != nullptr && IsRunPage(active->PageId()) ? 107 : 106));
}

void CMasterDlg::ReturnToPage() {
    if (CWizardPage* active = ActivePage()) active->OnReturnTo(true);
}

void CMasterDlg::OnHelp() {
    if (!Window().OpenDocument(HelpFilePath())) ShowMessage(205, kMbIconWarning);
    ReturnToPage();
}

void CMasterDlg::OnSettings() {
    if (!Window().IsSettingsEnabled()) return;  // not while a run is going on (Alt+X)
    CSettingsDlg dialog;
    Window().RunSettings(dialog);
    ReturnToPage();
    Window().SetTitle(ToUtf16(WindowTitle()));
    RefreshTexts();
    if (dialog.Saved()) RefreshDefaultPath();
    // A new scale type takes effect at the next start: the program ends now.
    if (dialog.ScaleTypeChanged()) CloseApplicationNow();
}

void CMasterDlg::RefreshTexts() {
    UpdateButtonCaptions();
    if (CWizardPage* active = ActivePage()) {
        active->UpdateHeader();
        active->UpdateTexts();
    }
}

void CMasterDlg::RefreshDefaultPath() {
    CWizardPage* active = ActivePage();
    if (active != nullptr && active->PageId() == kPageArchiverPathSelection) active->OnDefaultPathChanged();
}

void CMasterDlg::CloseApplicationNow() { CloseApplication(kModMasterDlg); }

void CMasterDlg::DeviceChanged() {
    if (CWizardPage* active = ActivePage()) active->OnDeviceChange();
}

}  // namespace tv
