#include "wizard/ArchiverPathSelectionPage.h"

#include <algorithm>
#include <string>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "archive/ArchiveFolder.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "wizard/ArchiverSelectionPage.h"
#include "wizard/PageView.h"
#include "wizard/WizardDialog.h"

namespace tv {

namespace {

constexpr MessageId kSelectFolder = 402;
constexpr MessageId kEnterArchivePath = 139;
constexpr MessageId kPathTooLong = 220;

}  // namespace

CArchiverPathSelectionPage::CArchiverPathSelectionPage() : CWizardPage(kPageArchiverPathSelection) {}

int CArchiverPathSelectionPage::UpdateHeader() {
    ShowHeader();
    return 0;
}

void CArchiverPathSelectionPage::UpdateTexts() {
    View().SetText(kCtlArchivePathBox, Text(180));
    View().SetText(kCtlArchivePathLabel, Text(156));
    View().SetTip(kCtlArchivePath, Text(kSelectFolder));
}

void CArchiverPathSelectionPage::OnEnterForward() {
    View().SetText(kCtlArchivePath, {});
    View().Enable(kCtlArchivePath, true);
    View().Focus(kCtlArchivePath);
    Wizard()->SetNextOrCancelDefault(false);
}

void CArchiverPathSelectionPage::OnReturnTo(bool flag) {
    View().Focus(kCtlArchivePath);
    if (!flag) ShowHeader();
}

void CArchiverPathSelectionPage::OnSetActive() { Wizard()->Window().ShowButton(WizardButton::kBack, true); }

bool CArchiverPathSelectionPage::OnKillActive() {
    Wizard()->Window().ShowButton(WizardButton::kBack, true);
    return true;
}

void CArchiverPathSelectionPage::OnBrowse() {
    PageView& view = View();
    if (!view.IsEnabled(kCtlArchivePath)) return;
    std::u16string chosen = view.ChooseFolder(Text(kSelectFolder), view.GetText(kCtlArchivePath));
    if (chosen.empty()) return;
    // Shown with the separators of the platform, as the user would type it.
    if (Sys().Separator() == '\\') std::replace(chosen.begin(), chosen.end(), u'/', u'\\');
    view.SetText(kCtlArchivePath, chosen);
    view.Focus(kCtlArchivePath);
}

void CArchiverPathSelectionPage::OnDefaultPathChanged() {
    const AppContext& ctx = GetAppContext();
    PageView& view = View();
    const bool editable = view.IsEnabled(kCtlArchivePath);
    if (ctx.useDefaultArchivePath && editable) {
        std::string folder = ctx.archivePath;
        // Shown as the user would type it; Next puts the separator back.
        if (folder.size() > 1 && folder.back() == Sys().Separator()) folder.pop_back();
        view.SetText(kCtlArchivePath, ToUtf16(folder));
        view.Enable(kCtlArchivePath, false);
        Wizard()->Window().FocusButton(WizardButton::kNext);
    } else if (!ctx.useDefaultArchivePath && !editable) {
        view.Enable(kCtlArchivePath, true);
        view.SetText(kCtlArchivePath, {});
        view.Focus(kCtlArchivePath);
    }
}

int CArchiverPathSelectionPage::OnWizardNext() {
    AppContext& ctx = GetAppContext();
    const std::u16string folder = View().GetText(kCtlArchivePath);
    const MessageId problem = CheckArchiveFolder(ctx, folder);
    if (problem != 0) {
        if (problem != kEnterArchivePath) {
            TV_LOG_WARNING(kModArchiverPathSelectionPage,
                           (problem == kPathTooLong ? "Archive path too long: " : "Archive path not found: ") +
                               ToNarrow(folder));
        }
        ShowMessage(problem, problem == kEnterArchivePath ? kMbIconWarning : kMbIconError);
        View().Focus(kCtlArchivePath);
        return -1;
    }
    ctx.archivePath = Sys().WithTrailingSeparator(ToNarrow(folder));
    return ArchiveRunPage(kModArchiverPathSelectionPage, ctx.archiveType);
}

int CArchiverPathSelectionPage::OnWizardBack() { return kPageArchiverSelection; }

}  // namespace tv
