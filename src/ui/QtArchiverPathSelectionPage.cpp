#include "ui/QtArchiverPathSelectionPage.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "archive/ArchiveFolder.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "ui/PageStyle.h"
#include "ui/QtText.h"
#include "ui/QtWizardDialog.h"

namespace tv {

QtArchiverPathSelectionPage::QtArchiverPathSelectionPage(QWidget* parent)
    : QtWizardPage(kPageArchiverPathSelection, parent) {
    setStyleSheet(PageStyleSheet());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 22, 28, 22);
    box_ = MakeGuideBox(this);
    auto* grid = new QGridLayout(box_);
    grid->setHorizontalSpacing(8);
    label_ = new QLabel(box_);
    label_->setFont(textFont_);
    path_ = new CFolderEdit(box_);
    path_->setFont(textFont_);
    path_->setMinimumWidth(420);
    grid->addWidget(label_, 0, 0);
    grid->addWidget(path_, 0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    layout->addWidget(box_);
    layout->addStretch(1);
    NextOnEnter(path_);
}

int QtArchiverPathSelectionPage::UpdateHeader() {
    ShowHeader();
    return 0;
}

void QtArchiverPathSelectionPage::UpdateTexts() {
    box_->setTitle(Text(180));
    label_->setText(Text(156));
    path_->SetBrowseToolTip(Text(402));
}

void QtArchiverPathSelectionPage::OnEnterForward() {
    path_->clear();
    path_->setEnabled(true);
    path_->setFocus();
    Wizard()->SetNextOrCancelDefault(false);
}

void QtArchiverPathSelectionPage::OnReturnTo(bool flag) {
    path_->setFocus();
    if (!flag) ShowHeader();
}

void QtArchiverPathSelectionPage::OnSetActive() { Wizard()->BackButton()->show(); }

bool QtArchiverPathSelectionPage::OnKillActive() {
    Wizard()->BackButton()->show();
    return true;
}

void QtArchiverPathSelectionPage::OnBrowse() { path_->Browse(); }

void QtArchiverPathSelectionPage::OnDefaultPathChanged() {
    const AppContext& ctx = GetAppContext();
    if (ctx.useDefaultArchivePath && path_->isEnabled()) {
        std::string folder = ctx.archivePath;
        // Shown as the user would type it; Next puts the separator back.
        if (folder.size() > 1 && folder.back() == Sys().Separator()) folder.pop_back();
        path_->setText(ToQString(folder));
        path_->setEnabled(false);
        Wizard()->NextButton()->setFocus();
    } else if (!ctx.useDefaultArchivePath && !path_->isEnabled()) {
        path_->setEnabled(true);
        path_->clear();
        path_->setFocus();
    }
}

int QtArchiverPathSelectionPage::OnWizardNext() {
    AppContext& ctx = GetAppContext();
    const std::u16string folder = ToU16(path_->text());
    const MessageId problem = CheckArchiveFolder(ctx, folder);
    if (problem != 0) {
        if (problem != 139) {
            TV_LOG_WARNING(kModArchiverPathSelectionPage,
                           (problem == 220 ? "Archive path too long: " : "Archive path not found: ") +
                               ToNarrowPath(path_->text()));
        }
        ShowMessage(problem, problem == 139 ? kMbIconWarning : kMbIconError);
        path_->setFocus();
        return -1;
    }
    ctx.archivePath = Sys().WithTrailingSeparator(ToNarrowPath(path_->text()));
    switch (ctx.archiveType) {
        case 1: return kPageCompleteArchiver;
        case 2: return kPagePartialArchiver;
        case 3: return kPageDateSelection;
        default: break;
    }
    TV_LOG_ERROR(kModArchiverPathSelectionPage, "Archivetype : " + std::to_string(ctx.archiveType));
    FatalError(kModArchiverPathSelectionPage, __LINE__, "Unexpected archive type found.Application Aborted");
}

int QtArchiverPathSelectionPage::OnWizardBack() { return kPageArchiverSelection; }

}  // namespace tv
