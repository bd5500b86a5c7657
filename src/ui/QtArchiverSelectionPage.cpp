#include "ui/QtArchiverSelectionPage.h"

#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "archive/BaseArchiver.h"
#include "archive/SmcProfile.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "ui/PageStyle.h"
#include "ui/QtText.h"
#include "ui/QtWizardDialog.h"

namespace tv {

QtArchiverSelectionPage::QtArchiverSelectionPage(QWidget* parent) : QtWizardPage(kPageArchiverSelection, parent) {
    setStyleSheet(PageStyleSheet());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 22, 28, 22);
    box_ = MakeGuideBox(this);
    auto* inner = new QVBoxLayout(box_);
    inner->setSpacing(6);
    complete_ = new QRadioButton(box_);
    continue_ = new QRadioButton(box_);
    info_ = new QLabel(box_);
    dateBased_ = new QRadioButton(box_);
    for (QWidget* w : {static_cast<QWidget*>(complete_), static_cast<QWidget*>(continue_),
                       static_cast<QWidget*>(info_), static_cast<QWidget*>(dateBased_)}) {
        w->setFont(textFont_);
    }
    // The previous archive's dates sit under the continue choice, indented
    // like its text.
    info_->setContentsMargins(26, 0, 0, 6);
    info_->setTextFormat(Qt::PlainText);
    info_->setStyleSheet(QStringLiteral("color: rgb(20,60,142);"));
    inner->addWidget(complete_);
    inner->addWidget(continue_);
    inner->addWidget(info_);
    inner->addWidget(dateBased_);
    inner->addStretch(1);
    layout->addWidget(box_);
    layout->addStretch(1);
    info_->hide();
    continue_->setEnabled(false);
    complete_->setChecked(true);
    connect(complete_, &QRadioButton::clicked, this, [this] { Choose(1); });
    connect(continue_, &QRadioButton::clicked, this, [this] { Choose(2); });
    connect(dateBased_, &QRadioButton::clicked, this, [this] { Choose(3); });
}

bool QtArchiverSelectionPage::OnCreatePage() {
    type_ = 1;
    complete_->setChecked(true);
    SetArchiveType(GetAppContext(), type_);
    return true;
}

QRadioButton* QtArchiverSelectionPage::ButtonOf(int type) const {
    if (type == 2) return continue_;
    if (type == 3) return dateBased_;
    return complete_;
}

void QtArchiverSelectionPage::Choose(int type) {
    type_ = type;
    SetArchiveType(GetAppContext(), type_);
}

int QtArchiverSelectionPage::UpdateHeader() {
    ShowHeader();
    return 0;
}

void QtArchiverSelectionPage::UpdateTexts() {
    box_->setTitle(Text(118));
    complete_->setText(Text(119));
    continue_->setText(Text(120));
    dateBased_->setText(Text(122));
}

void QtArchiverSelectionPage::OnBeforeNext() {
    type_ = 1;
    continueAvailable_ = false;
}

void QtArchiverSelectionPage::OnEnterForward() {
    AppContext& ctx = GetAppContext();
    SetArchiveType(ctx, type_);
    complete_->setChecked(true);
    complete_->setFocus();
    info_->clear();
    info_->hide();
    continue_->setEnabled(false);
    Wizard()->SetNextOrCancelDefault(false);

    std::u16string info;
    const ProfileCheck check = CheckSmcProfile(ctx, info);
    if (check == ProfileCheck::Unsupported) {
        // The card cannot be archived at all: the message was shown.
        Wizard()->SetNextOrCancelDefault(true);
        return;
    }
    if (check != ProfileCheck::Valid) return;
    continueAvailable_ = true;
    info_->setText(ToQString(info));
    info_->show();
    continue_->setEnabled(true);
}

void QtArchiverSelectionPage::OnReturnTo(bool flag) {
    if (!flag && !ShowHeader()) return;
    ButtonOf(type_)->setFocus();
}

void QtArchiverSelectionPage::OnSetActive() { Wizard()->BackButton()->show(); }

bool QtArchiverSelectionPage::OnKillActive() {
    Wizard()->BackButton()->show();
    return true;
}

int QtArchiverSelectionPage::OnWizardNext() {
    AppContext& ctx = GetAppContext();
    if (!ctx.useDefaultArchivePath) return kPageArchiverPathSelection;
    switch (ctx.archiveType) {
        case 1: return kPageCompleteArchiver;
        case 2: return kPagePartialArchiver;
        case 3: return kPageDateSelection;
        default: break;
    }
    TV_LOG_ERROR(kModArchiverSelectionPage, "Archivetype : " + std::to_string(ctx.archiveType));
    FatalError(kModArchiverSelectionPage, __LINE__, "Unexpected archive type found.Application Aborted");
}

int QtArchiverSelectionPage::OnWizardBack() {
    return GetAppContext().configuredScaleType != 0 ? kPageSbcSelection : kPageWelcome;
}

}  // namespace tv
