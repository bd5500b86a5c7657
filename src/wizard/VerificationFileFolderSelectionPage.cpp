#include "wizard/VerificationFileFolderSelectionPage.h"

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "wizard/PageView.h"
#include "wizard/WizardDialog.h"
#include "zt4/FolderValidation.h"
#include "zt4/VerifierChoice.h"

namespace tv {

namespace {

constexpr size_t kMaxPath = 260;

struct FileKind {
    const char16_t* extension;
    FileFilter filter;
    MessageId wrongExtension;
};

FileKind KindOf(bool dx, uint32_t validationKind) {
    if (dx) return {u".csv", {u"CSV Files", u"*.csv"}, 207};
    if (validationKind == 1) return {u".xml", {u"XML Files", u"*.xml"}, 265};
    return {u".log", {u"LOG Files", u"*.log"}, 266};
}

bool HasExtension(const std::string& path, std::u16string_view extension) {
    const std::u16string wide = ToUtf16(path);
    return wide.size() >= extension.size() &&
           EqualsNoCase(std::u16string_view(wide).substr(wide.size() - extension.size()), extension);
}

std::u16string Trimmed(const std::u16string& text) {
    const size_t first = text.find_first_not_of(u" \t\r\n");
    if (first == std::u16string::npos) return {};
    return text.substr(first, text.find_last_not_of(u" \t\r\n") - first + 1);
}

}  // namespace

CVerificationFileFolderSelectionPage::CVerificationFileFolderSelectionPage()
    : CWizardPage(kPageVerificationFileFolderSelection) {}

MessageId CVerificationFileFolderSelectionPage::GuideText() const {
    if (IsDx()) return 172;
    return GetAppContext().validationKind == 1 ? 260 : 263;
}

bool CVerificationFileFolderSelectionPage::FolderAllowed() const {
    return IsDx() || GetAppContext().validationKind == 1;
}

bool CVerificationFileFolderSelectionPage::FolderMode() const {
    return FolderAllowed() && View().IsChecked(kCtlChooseFolder);
}

bool CVerificationFileFolderSelectionPage::Zt4Folder() const { return !IsDx() && FolderMode(); }

bool CVerificationFileFolderSelectionPage::AllFindings() const {
    return HasView() && IsDx() && View().IsChecked(kCtlAllFindings);
}

std::string CVerificationFileFolderSelectionPage::ContinuityLogPath() const {
    return HasView() && Zt4Folder() ? ToNarrow(Trimmed(View().GetText(kCtlLogPath))) : std::string();
}

void CVerificationFileFolderSelectionPage::ShowLogRow() {
    const bool show = Zt4Folder();
    // The card in a drive offers its log; the user may clear or change it.
    if (show && View().GetText(kCtlLogPath).empty()) View().SetText(kCtlLogPath, ToUtf16(FirstCardArchiveLog()));
    for (int control : {kCtlLogLabel, kCtlLogPath, kCtlLogBrowse, kCtlLogHint}) View().Show(control, show);
}

int CVerificationFileFolderSelectionPage::UpdateHeader() {
    ShowHeader();
    return 0;
}

void CVerificationFileFolderSelectionPage::UpdateTexts() {
    const bool log = !IsDx() && GetAppContext().validationKind != 1;
    PageView& v = View();
    v.SetText(kCtlGroup, Text(GuideText()));
    v.SetText(kCtlLabel, Text(log ? 274 : 148));
    v.SetText(kCtlChooseFolder, Text(149));
    v.SetText(kCtlAllFindings, Text(700));
    v.SetText(kCtlBrowse, Text(313));
    v.SetText(kCtlLogLabel, Text(721));
    v.SetText(kCtlLogBrowse, Text(313));
    v.SetText(kCtlLogHint, Text(722));
}

void CVerificationFileFolderSelectionPage::OnEnterForward() {
    PageView& v = View();
    Wizard()->SetNextOrCancelDefault(false);
    v.SetText(kCtlPath, u"");
    v.Focus(kCtlPath);
    v.SetChecked(kCtlChooseFolder, false);
    v.Enable(kCtlChooseFolder, FolderAllowed());
    v.Show(kCtlChooseFolder, FolderAllowed());
    v.SetChecked(kCtlAllFindings, false);
    v.Show(kCtlAllFindings, IsDx());
    v.SetText(kCtlLogPath, u"");
    ShowLogRow();
    GetAppContext().folderInput = 0;
}

void CVerificationFileFolderSelectionPage::OnReturnTo(bool flag) {
    if (!flag) ShowHeader();
    View().Focus(kCtlPath);
}

void CVerificationFileFolderSelectionPage::OnCommand(int control) {
    switch (control) {
        case kCtlChooseFolder:
            GetAppContext().folderInput = FolderMode() ? 1 : 0;
            ShowLogRow();
            break;
        case kCtlBrowse:
        case kCmdBrowse:
            OnBrowse();
            break;
        case kCtlLogBrowse:
            OnBrowseLog();
            break;
        default:
            break;
    }
}

void CVerificationFileFolderSelectionPage::OnBrowse() {
    PageView& v = View();
    const std::u16string title = Text(GuideText());
    const std::u16string initial = v.GetText(kCtlPath);
    const std::u16string chosen =
        FolderMode() ? v.ChooseFolder(title, initial)
                     : v.ChooseFile(title, initial, {KindOf(IsDx(), GetAppContext().validationKind).filter});
    if (!chosen.empty()) v.SetText(kCtlPath, chosen);
    v.Focus(kCtlPath);
}

void CVerificationFileFolderSelectionPage::OnBrowseLog() {
    PageView& v = View();
    const std::u16string chosen = v.ChooseFile(Text(721), v.GetText(kCtlLogPath), {KindOf(false, 3).filter});
    if (!chosen.empty()) v.SetText(kCtlLogPath, chosen);
    v.Focus(kCtlLogPath);
}

int CVerificationFileFolderSelectionPage::OnWizardBack() {
    const AppContext& ctx = GetAppContext();
    return ctx.configuredScaleType == 1 && ctx.verificationMode == 1 ? kPageSbcSelection : kPageWelcome;
}

int CVerificationFileFolderSelectionPage::Refuse(MessageId message, unsigned icon, int focus) {
    ShowMessage(message, icon);
    View().Focus(focus);
    return -1;
}

bool CVerificationFileFolderSelectionPage::CheckZt4Folder(const std::string& path) {
    if (!HoldsZt4Archives(path)) return Refuse(204, kMbIconError, kCtlPath), false;
    const std::string log = ContinuityLogPath();
    if (log.empty()) return true;
    if (!HasExtension(log, u".log")) return Refuse(266, kMbIconError, kCtlLogPath), false;
    uint32_t attributes = 0;
    if (!Sys().GetAttributes(log, attributes) || (attributes & kAttrDirectory) != 0) {
        return Refuse(272, kMbIconError, kCtlLogPath), false;
    }
    return true;
}

int CVerificationFileFolderSelectionPage::OnWizardNext() {
    AppContext& ctx = GetAppContext();
    Platform& platform = Sys();
    const bool dx = IsDx();
    const bool folderMode = FolderMode();
    const std::string path = ToNarrow(View().GetText(kCtlPath));
    if (path.empty()) return Refuse(GuideText(), kMbIconWarning, kCtlPath);
    // A file must be a file: a folder never holds the archive's lines.
    uint32_t attributes = 0;
    const bool exists = platform.GetAttributes(path, attributes);
    const bool isFolder = exists && (attributes & kAttrDirectory) != 0;
    if (!exists || isFolder != folderMode) return Refuse(path.size() < kMaxPath ? 272 : 220, kMbIconError, kCtlPath);
    const size_t length = dx ? path.size() + (ctx.backupSmcOnArchive ? 85 : 75) : path.size();
    if (length >= kMaxPath) return Refuse(220, kMbIconError, kCtlPath);
    if (folderMode && !dx) {
        // ZT4: the archives of the folder (and of its run folders), and the log
        // they are compared with, when one is named.
        if (!CheckZt4Folder(path)) return -1;
        ctx.folderInput = 1;
        SetVerificationPath(ctx, platform.WithTrailingSeparator(path));
        return kPageVerification;
    }
    if (folderMode) {
        std::vector<DirEntry> found;
        platform.ListFolder(path, "*.csv", found);
        bool anyFile = false;
        for (const DirEntry& e : found) anyFile = anyFile || !e.isDirectory;
        if (!anyFile) return Refuse(204, kMbIconError, kCtlPath);
        ctx.folderInput = 1;
        SetVerificationPath(ctx, platform.WithTrailingSeparator(path));
        return kPageVerification;
    }
    const FileKind kind = KindOf(dx, ctx.validationKind);
    if (!HasExtension(path, kind.extension)) return Refuse(kind.wrongExtension, kMbIconError, kCtlPath);
    ctx.folderInput = 0;
    SetVerificationPath(ctx, path);
    return kPageVerification;
}

}  // namespace tv
