#include "ui/QtWelcomePage.h"

#include <QTimer>
#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "ui/PageStyle.h"
#include "ui/QtText.h"
#include "ui/QtWizardDialog.h"
#include "zt4/VerifierChoice.h"

namespace tv {

QtWelcomePage::QtWelcomePage(QWidget* parent) : QtWizardPage(kPageWelcome, parent) {
    setStyleSheet(PageStyleSheet());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 22, 28, 22);
    box_ = MakeGuideBox(this);
    auto* inner = new QVBoxLayout(box_);
    inner->setSpacing(6);
    newArchive_ = new QRadioButton(box_);
    existing_ = new QRadioButton(box_);
    withoutSmc_ = new QCheckBox(box_);
    logValidation_ = new QRadioButton(box_);
    inner->addWidget(newArchive_);
    inner->addWidget(existing_);
    auto* indent = new QHBoxLayout();
    indent->setContentsMargins(26, 0, 0, 0);
    indent->addWidget(withoutSmc_);
    inner->addLayout(indent);
    inner->addWidget(logValidation_);
    inner->addStretch(1);
    layout->addWidget(box_);
    layout->addStretch(1);
    withoutSmc_->hide();
    connect(newArchive_, &QRadioButton::clicked, this, &QtWelcomePage::ChooseNewArchive);
    connect(existing_, &QRadioButton::clicked, this, &QtWelcomePage::ChooseExisting);
    connect(logValidation_, &QRadioButton::clicked, this, &QtWelcomePage::ChooseLog);
    connect(withoutSmc_, &QCheckBox::clicked, this, &QtWelcomePage::ToggleWithoutSmc);
}

bool QtWelcomePage::OnCreatePage() {
    AppContext& ctx = GetAppContext();
    configured_ = ctx.configuredScaleType;
    newArchive_->setChecked(true);
    newArchive_->setFocus();
    operation_ = 1;
    LogFile::Instance().UseConfiguredFolder();
    GetAppContext().operation = 1;
    return true;
}

int QtWelcomePage::UpdateHeader() {
    if (ShowHeader()) Wizard()->update();
    return 0;
}

void QtWelcomePage::UpdateTexts() {
    box_->setTitle(Text(110));
    newArchive_->setText(Text(111));
    existing_->setText(Text(IsDx() ? 112 : 259));
    withoutSmc_->setText(Text(242));
    logValidation_->setText(Text(273));
}

void QtWelcomePage::OnEnterForward() {
    Wizard()->SetNextOrCancelDefault(false);  // one operation is always chosen
    operation_ = 1;
    withoutSmc_->setEnabled(false);
    withoutSmc_->hide();
    withoutSmc_->setChecked(false);
    GetAppContext().operation = 1;
    newArchive_->setChecked(true);
    newArchive_->setFocus();
    logValidation_->setEnabled(!IsDx());
    logValidation_->setVisible(!IsDx());
    existing_->setText(Text(IsDx() ? 112 : 259));
    Ui().Repaint();
}

void QtWelcomePage::OnReturnTo(bool flag) {
    if (!flag) ShowHeader();
    if (operation_ == 1) {
        newArchive_->setFocus();
    } else if (IsDx() || GetAppContext().validationKind == 1) {
        existing_->setFocus();
    } else {
        logValidation_->setFocus();
    }
}

void QtWelcomePage::OnSetActive() {
    Wizard()->BackButton()->setVisible(configured_ == 0);
    QTimer::singleShot(0, this, [this] {
        if (IsActive()) OnReturnTo(true);
    });
}

bool QtWelcomePage::OnQueryCancel() {
    if (AskYesNo(109, kMbIconQuestion | kMbDefButton2)) CloseApplication(kModWelcomePage);
    return false;
}

void QtWelcomePage::ChooseNewArchive() {
    operation_ = 1;
    withoutSmc_->setEnabled(false);
    withoutSmc_->hide();
    GetAppContext().operation = 1;
}

void QtWelcomePage::ChooseExisting() {
    AppContext& ctx = GetAppContext();
    operation_ = 2;
    if (ctx.scaleType == '0') {
        const bool standalone = withoutSmc_->isChecked();
        withoutSmc_->setEnabled(true);
        withoutSmc_->show();
        ctx.operation = 2;
        PrepareDxVerifier(ctx);
        ctx.verificationMode = standalone ? 2 : 1;
        SetValidationKind(ctx, 2);
    } else if (ctx.scaleType == '1') {
        ctx.operation = 2;
        PrepareDxVerifier(ctx);
        ctx.verificationMode = 2;
        SetValidationKind(ctx, 1);
    }
}

void QtWelcomePage::ChooseLog() {
    AppContext& ctx = GetAppContext();
    operation_ = 2;
    ctx.operation = 2;
    PrepareDxVerifier(ctx);
    ctx.verificationMode = 2;
    SetValidationKind(ctx, 3);
}

void QtWelcomePage::ToggleWithoutSmc() { GetAppContext().verificationMode = withoutSmc_->isChecked() ? 2 : 1; }

int QtWelcomePage::OnWizardNext() {
    AppContext& ctx = GetAppContext();
    repaint_ = true;
    if (operation_ == 1) return configured_ != 0 ? kPageSbcSelection : kPageArchiverSelection;
    if (operation_ == 2) {
        return configured_ == 1 && ctx.verificationMode == 1 ? kPageSbcSelection
                                                              : kPageVerificationFileFolderSelection;
    }
    TV_LOG_ERROR(kModWelcomePage, "VerificationType : " + std::to_string(operation_));
    FatalError(kModWelcomePage, __LINE__, "Unexpected Verification type found.Application Aborted");
}

void QtWelcomePage::OnPagePaint() {
    if (!repaint_) return;
    repaint_ = false;
    Wizard()->BackButton()->setVisible(configured_ == 0);
    Wizard()->NextButton()->show();
    Wizard()->CancelButton()->show();
    Wizard()->FinishButton()->hide();
}

}  // namespace tv
