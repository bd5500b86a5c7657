#include "ui/QtVerificationFileFolderSelectionPage.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "ui/PageStyle.h"
#include "ui/QtText.h"
#include "ui/QtWizardDialog.h"
#include "zt4/FolderValidation.h"
#include "zt4/VerifierChoice.h"

namespace tv {

namespace {

constexpr size_t kMaxPath = 260;

struct FileKind {
    const char16_t* extension;
    const char* filter;
    uint16_t wrongExtension;
};

FileKind KindOf(bool dx, uint32_t validationKind) {
    if (dx) return {u".csv", "CSV Files (*.csv)", 207};
    if (validationKind == 1) return {u".xml", "XML Files (*.xml)", 265};
    return {u".log", "LOG Files (*.log)", 266};
}

}  // namespace

QtVerificationFileFolderSelectionPage::QtVerificationFileFolderSelectionPage(QWidget* parent)
    : QtWizardPage(kPageVerificationFileFolderSelection, parent) {
    setStyleSheet(PageStyleSheet());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 22, 28, 22);
    box_ = MakeGuideBox(this);
    auto* grid = new QGridLayout(box_);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(10);
    label_ = new QLabel(box_);
    path_ = new QLineEdit(box_);
    path_->setFont(textFont_);
    path_->setMinimumWidth(380);
    browse_ = new QPushButton(box_);
    browse_->setAutoDefault(false);
    folder_ = new QCheckBox(box_);
    allFindings_ = new QCheckBox(box_);
    logLabel_ = new QLabel(box_);
    logPath_ = new QLineEdit(box_);
    logPath_->setFont(textFont_);
    logBrowse_ = new QPushButton(box_);
    logBrowse_->setAutoDefault(false);
    logHint_ = new QLabel(box_);
    logHint_->setWordWrap(true);
    logHint_->setStyleSheet(QStringLiteral("color: rgb(90,90,90);"));
    grid->addWidget(label_, 0, 0);
    grid->addWidget(path_, 0, 1);
    grid->addWidget(browse_, 0, 2);
    grid->addWidget(folder_, 1, 1);
    grid->addWidget(allFindings_, 2, 1);
    grid->addWidget(logLabel_, 3, 0);
    grid->addWidget(logPath_, 3, 1);
    grid->addWidget(logBrowse_, 3, 2);
    grid->addWidget(logHint_, 4, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(5, 1);
    layout->addWidget(box_);
    layout->addStretch(1);
    connect(browse_, &QPushButton::clicked, this, &QtVerificationFileFolderSelectionPage::OnBrowse);
    connect(folder_, &QCheckBox::toggled, this, [this](bool on) {
        GetAppContext().folderInput = on ? 1 : 0;
        ShowLogRow();
    });
    connect(logBrowse_, &QPushButton::clicked, this, &QtVerificationFileFolderSelectionPage::OnBrowseLog);
    NextOnEnter(path_);
    NextOnEnter(logPath_);
    chooser_ = [this](const QString& filter, bool folder) {
        if (folder) return QFileDialog::getExistingDirectory(this, Text(GuideText()), path_->text());
        return QFileDialog::getOpenFileName(this, Text(GuideText()), path_->text(), filter);
    };
}

uint16_t QtVerificationFileFolderSelectionPage::GuideText() const {
    if (IsDx()) return 172;
    return GetAppContext().validationKind == 1 ? 260 : 263;
}

bool QtVerificationFileFolderSelectionPage::FolderAllowed() const {
    return IsDx() || GetAppContext().validationKind == 1;
}

bool QtVerificationFileFolderSelectionPage::Zt4Folder() const { return !IsDx() && folder_->isChecked(); }

std::string QtVerificationFileFolderSelectionPage::ContinuityLogPath() const {
    return Zt4Folder() ? ToNarrowPath(logPath_->text().trimmed()) : std::string();
}

void QtVerificationFileFolderSelectionPage::ShowLogRow() {
    const bool show = Zt4Folder();
    // The card in a drive offers its log; the user may clear or change it.
    if (show && logPath_->text().isEmpty()) logPath_->setText(ToQString(FirstCardArchiveLog()));
    logLabel_->setVisible(show);
    logPath_->setVisible(show);
    logBrowse_->setVisible(show);
    logHint_->setVisible(show);
}

void QtVerificationFileFolderSelectionPage::OnBrowseLog() {
    const QString chosen = chooser_(QString::fromLatin1(KindOf(false, 3).filter), false);
    if (!chosen.isEmpty()) logPath_->setText(chosen);
    logPath_->setFocus();
}

int QtVerificationFileFolderSelectionPage::UpdateHeader() {
    ShowHeader();
    return 0;
}

void QtVerificationFileFolderSelectionPage::UpdateTexts() {
    const bool log = !IsDx() && GetAppContext().validationKind != 1;
    box_->setTitle(Text(GuideText()));
    label_->setText(Text(log ? 274 : 148));
    folder_->setText(Text(149));
    allFindings_->setText(Text(700));
    browse_->setText(Text(313));
    logLabel_->setText(Text(721));
    logBrowse_->setText(Text(313));
    logHint_->setText(Text(722));
}

void QtVerificationFileFolderSelectionPage::OnEnterForward() {
    Wizard()->SetNextOrCancelDefault(false);
    path_->clear();
    path_->setFocus();
    folder_->setChecked(false);
    folder_->setEnabled(FolderAllowed());
    folder_->setVisible(FolderAllowed());
    allFindings_->setChecked(false);
    allFindings_->setVisible(IsDx());
    logPath_->clear();
    ShowLogRow();
    GetAppContext().folderInput = 0;
}

void QtVerificationFileFolderSelectionPage::OnReturnTo(bool flag) {
    if (!flag) ShowHeader();
    path_->setFocus();
}

void QtVerificationFileFolderSelectionPage::OnBrowse() {
    const AppContext& ctx = GetAppContext();
    const bool folder = FolderAllowed() && folder_->isChecked();
    const QString chosen = chooser_(QString::fromLatin1(KindOf(IsDx(), ctx.validationKind).filter), folder);
    if (!chosen.isEmpty()) path_->setText(chosen);
    path_->setFocus();
}

int QtVerificationFileFolderSelectionPage::OnWizardBack() {
    const AppContext& ctx = GetAppContext();
    return ctx.configuredScaleType == 1 && ctx.verificationMode == 1 ? kPageSbcSelection : kPageWelcome;
}

int QtVerificationFileFolderSelectionPage::OnWizardNext() {
    AppContext& ctx = GetAppContext();
    Platform& platform = Sys();
    const bool dx = IsDx();
    const bool folderMode = FolderAllowed() && folder_->isChecked();
    const std::string path = ToNarrowPath(path_->text());
    if (path.empty()) {
        ShowMessage(GuideText(), kMbIconWarning);
        return -1;
    }
    // A file must be a file: a folder never holds the archive's lines.
    uint32_t attributes = 0;
    const bool exists = platform.GetAttributes(path, attributes);
    const bool isFolder = exists && (attributes & kAttrDirectory) != 0;
    if (!exists || isFolder != folderMode) {
        ShowMessage(path.size() < kMaxPath ? 272 : 220, kMbIconError);
        return -1;
    }
    const size_t length = dx ? path.size() + (ctx.backupSmcOnArchive ? 85 : 75) : path.size();
    if (length >= kMaxPath) {
        ShowMessage(220, kMbIconError);
        return -1;
    }
    if (folderMode && !dx) {
        // ZT4: the archives of the folder (and of its run folders), and the log
        // they are compared with, when one is named.
        if (!HoldsZt4Archives(path)) {
            ShowMessage(204, kMbIconError);
            return -1;
        }
        const std::string log = ContinuityLogPath();
        if (!log.empty()) {
            const std::u16string wideLog = ToUtf16(log);
            uint32_t logAttributes = 0;
            if (wideLog.size() < 4 || !EqualsNoCase(wideLog.substr(wideLog.size() - 4), u".log")) {
                ShowMessage(266, kMbIconError);
                logPath_->setFocus();
                return -1;
            }
            if (!platform.GetAttributes(log, logAttributes) || (logAttributes & kAttrDirectory) != 0) {
                ShowMessage(272, kMbIconError);
                logPath_->setFocus();
                return -1;
            }
        }
        ctx.folderInput = 1;
        SetVerificationPath(ctx, platform.WithTrailingSeparator(path));
        return kPageVerification;
    }
    if (folderMode) {
        std::vector<DirEntry> found;
        platform.ListFolder(path, "*.csv", found);
        bool anyFile = false;
        for (const DirEntry& e : found) anyFile = anyFile || !e.isDirectory;
        if (!anyFile) {
            ShowMessage(204, kMbIconError);
            return -1;
        }
        ctx.folderInput = 1;
        SetVerificationPath(ctx, platform.WithTrailingSeparator(path));
        return kPageVerification;
    }
    const FileKind kind = KindOf(dx, ctx.validationKind);
    const std::u16string wide = ToUtf16(path);
    if (wide.size() < 4 || !EqualsNoCase(wide.substr(wide.size() - 4), kind.extension)) {
        ShowMessage(kind.wrongExtension, kMbIconError);
        return -1;
    }
    ctx.folderInput = 0;
    SetVerificationPath(ctx, path);
    return kPageVerification;
}

}  // namespace tv
