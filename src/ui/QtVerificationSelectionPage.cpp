#include "ui/QtVerificationSelectionPage.h"

#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "ui/PageStyle.h"
#include "ui/QtText.h"
#include "ui/QtWizardDialog.h"

namespace tv {

QtVerificationSelectionPage::QtVerificationSelectionPage(QWidget* parent)
    : QtWizardPage(kPageVerificationSelection, parent) {
    setStyleSheet(PageStyleSheet());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 22, 28, 22);
    box_ = MakeGuideBox(this);
    auto* inner = new QVBoxLayout(box_);
    usingSmc_ = new QRadioButton(box_);
    standalone_ = new QRadioButton(box_);
    inner->addWidget(usingSmc_);
    inner->addWidget(standalone_);
    inner->addStretch(1);
    layout->addWidget(box_);
    layout->addStretch(1);
    connect(usingSmc_, &QRadioButton::clicked, this, [this] { Choose(1); });
    connect(standalone_, &QRadioButton::clicked, this, [this] { Choose(2); });
}

int QtVerificationSelectionPage::UpdateHeader() {
    ShowHeader();
    return 0;
}

void QtVerificationSelectionPage::UpdateTexts() {
    Wizard()->NextButton()->show();
    Wizard()->CancelButton()->show();
    Wizard()->FinishButton()->hide();
    box_->setTitle(Text(165));
    usingSmc_->setText(Text(166));
    standalone_->setText(Text(167));
}

void QtVerificationSelectionPage::Choose(uint32_t type) {
    type_ = type;
    GetAppContext().verificationMode = type;
}

void QtVerificationSelectionPage::OnEnterForward() {
    Choose(1);
    Wizard()->SetNextOrCancelDefault(false);  // one option is always chosen
    usingSmc_->setChecked(true);
    usingSmc_->setFocus();
}

void QtVerificationSelectionPage::OnReturnTo(bool) { (type_ == 1 ? usingSmc_ : standalone_)->setFocus(); }

int QtVerificationSelectionPage::OnWizardBack() { return kPageWelcome; }

int QtVerificationSelectionPage::OnWizardNext() {
    if (type_ == 1) return kPageVerificationSbcSelection;
    if (type_ == 2) return kPageVerificationFileFolderSelection;
    TV_LOG_ERROR(kModVerificationSelectionPage, "VerificationType : " + std::to_string(type_));
    FatalError(kModVerificationSelectionPage, __LINE__, "Unexpected Verification type found.Application Aborted");
}

}  // namespace tv
