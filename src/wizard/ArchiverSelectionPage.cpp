#include "wizard/ArchiverSelectionPage.h"

#include <string>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "archive/BaseArchiver.h"
#include "archive/SmcProfile.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "wizard/PageView.h"
#include "wizard/WizardDialog.h"

namespace tv {

int ArchiveRunPage(int module, int archiveType) {
    switch (archiveType) {
        case 1: return kPageCompleteArchiver;
        case 2: return kPagePartialArchiver;
        case 3: return kPageDateSelection;
        default: break;
    }
    TV_LOG_ERROR(module, "Archivetype : " + std::to_string(archiveType));
    FatalError(module, __LINE__, "Unexpected archive type found.Application Aborted");
}

CArchiverSelectionPage::CArchiverSelectionPage() : CWizardPage(kPageArchiverSelection) {}

int CArchiverSelectionPage::ButtonOf(int type) {
    if (type == 2) return kCtlContinueArchive;
    if (type == 3) return kCtlDateBasedArchive;
    return kCtlCompleteArchive;
}

void CArchiverSelectionPage::CheckType(int type) {
    for (int t : {1, 2, 3}) View().SetChecked(ButtonOf(t), t == type);
}

bool CArchiverSelectionPage::OnCreatePage() {
    type_ = 1;
    CheckType(type_);
    View().Show(kCtlPreviousArchiveInfo, false);
    View().Enable(kCtlContinueArchive, false);
    SetArchiveType(GetAppContext(), type_);
    return true;
}

void CArchiverSelectionPage::Choose(int type) {
    type_ = type;
    SetArchiveType(GetAppContext(), type_);
}

void CArchiverSelectionPage::OnCommand(int control) {
    switch (control) {
        case kCtlCompleteArchive:
            Choose(1);
            break;
        case kCtlContinueArchive:
            // Without a sound profile entry there is no last archive to go on from.
            if (continueAvailable_) {
                Choose(2);
            } else {
                CheckType(type_);
            }
            break;
        case kCtlDateBasedArchive:
            Choose(3);
            break;
        default:
            break;
    }
}

int CArchiverSelectionPage::UpdateHeader() {
    ShowHeader();
    return 0;
}

void CArchiverSelectionPage::UpdateTexts() {
    View().SetText(kCtlArchiveChoiceBox, Text(118));
    View().SetText(kCtlCompleteArchive, Text(119));
    View().SetText(kCtlContinueArchive, Text(120));
    View().SetText(kCtlDateBasedArchive, Text(122));
}

void CArchiverSelectionPage::OnBeforeNext() {
    type_ = 1;
    continueAvailable_ = false;
}

void CArchiverSelectionPage::OnEnterForward() {
    AppContext& ctx = GetAppContext();
    PageView& view = View();
    SetArchiveType(ctx, type_);
    CheckType(type_);
    view.Focus(ButtonOf(type_));
    view.SetText(kCtlPreviousArchiveInfo, {});
    view.Show(kCtlPreviousArchiveInfo, false);
    view.Show(kCtlDateBasedArchive, true);
    view.Enable(kCtlContinueArchive, false);
    continueAvailable_ = false;
    Wizard()->SetNextOrCancelDefault(false);

    std::u16string info;
    const ProfileCheck check = CheckSmcProfile(ctx, info);
    if (check == ProfileCheck::Unsupported) {
        // The card cannot be archived at all; the check told the user why.
        Wizard()->SetNextOrCancelDefault(true);
        return;
    }
    if (check != ProfileCheck::Valid) return;
    continueAvailable_ = true;
    view.SetText(kCtlPreviousArchiveInfo, info);
    view.Show(kCtlPreviousArchiveInfo, true);
    view.Enable(kCtlContinueArchive, true);
}

void CArchiverSelectionPage::OnReturnTo(bool flag) {
    if (!flag && !ShowHeader()) return;
    View().Focus(ButtonOf(type_));
}

void CArchiverSelectionPage::OnSetActive() { Wizard()->Window().ShowButton(WizardButton::kBack, true); }

bool CArchiverSelectionPage::OnKillActive() {
    Wizard()->Window().ShowButton(WizardButton::kBack, true);
    return true;
}

int CArchiverSelectionPage::OnWizardNext() {
    const AppContext& ctx = GetAppContext();
    if (!ctx.useDefaultArchivePath) return kPageArchiverPathSelection;
    return ArchiveRunPage(kModArchiverSelectionPage, ctx.archiveType);
}

int CArchiverSelectionPage::OnWizardBack() {
    return GetAppContext().configuredScaleType != 0 ? kPageSbcSelection : kPageWelcome;
}

}  // namespace tv
