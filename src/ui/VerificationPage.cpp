#include "ui/VerificationPage.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "dx/VerifierdX.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "ui/Artwork.h"
#include "ui/MasterDlg.h"
#include "ui/PageStyle.h"
#include "ui/QtProgressView.h"
#include "ui/QtResultList.h"
#include "ui/QtText.h"
#include "zt4/ValidationRun.h"
#include "zt4/VerifierZT4.h"

namespace tv {

CVerificationPage::CVerificationPage(QWidget* parent) : CWizardPage(kPageVerification, parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(10);
    auto* statusRow = new QHBoxLayout();
    statusIcon_ = new QLabel(this);
    statusIcon_->hide();
    status_ = new QLabel(this);
    status_->setStyleSheet(QStringLiteral("color: rgb(45,45,45); font-weight: bold;"));
    status_->setWordWrap(true);
    statusRow->addWidget(statusIcon_);
    statusRow->addWidget(status_, 1);
    layout->addLayout(statusRow);
    progress_ = MakeRunProgressBar(this);
    layout->addWidget(progress_);
    list_ = MakeResultList(this);
    layout->addWidget(list_, 1);
    layout->addStretch(0);
    SetColumns(false);
    list_->hide();
}

void CVerificationPage::SetColumns(bool dx) { SetResultColumns(list_, dx ? 6 : 4); }

uint16_t CVerificationPage::StatusId() const {
    const AppContext& ctx = GetAppContext();
    const bool dx = ctx.scaleType == '0';
    const bool archive = ctx.validationKind == 1;
    if (!done_) return dx ? 134 : archive ? 262 : 267;
    if (success_) return dx ? 143 : archive ? 270 : 271;
    if (dx) return folderRun_ ? 144 : 145;
    return archive ? 268 : 269;
}

void CVerificationPage::OnBeforeNext() {
    success_ = false;
    done_ = false;
}

int CVerificationPage::UpdateHeader() {
    ShowHeader();
    return 0;
}

void CVerificationPage::UpdateTexts() {
    status_->setText(Text(StatusId()));
    SetColumns(list_->columnCount() == 6);
}

void CVerificationPage::OnEnterForward() {
    AppContext& ctx = GetAppContext();
    CWizardDialog* wizard = Wizard();
    auto* master = qobject_cast<CMasterDlg*>(wizard);
    const bool dx = IsDx();
    folderRun_ = ctx.folderInput != 0;
    statusIcon_->hide();
    progress_->setValue(0);
    list_->clear();
    SetColumns(dx);
    wizard->NextButton()->hide();
    wizard->BackButton()->hide();
    wizard->FinishButton()->hide();
    wizard->CancelButton()->setText(Text(107));
    status_->setText(Text(StatusId()));
    progress_->show();
    list_->hide();
    if (master != nullptr) master->SettingsButton()->setEnabled(false);
    Ui().Repaint();

    QtProgressView progress(progress_);
    QtResultList results(list_);
    running_ = true;
    bool ok = false;
    if (dx) {
        if (ctx.dxVerifier) {
            ok = ctx.dxVerifier->VerifyArchives(&progress, &results, false);
        } else {
            TV_LOG_ERROR(kModVerificationPage, "Verification element not found");
        }
    } else {
        ok = RunZt4Validation(ctx.zt4Verifier.get(), ctx.validationKind, ctx.folderInput != 0,
                              ctx.verificationMode, &progress, &results);
    }
    running_ = false;

    list_->show();
    wizard->FinishButton()->show();
    wizard->SetNextOrFinishDefault(true);
    wizard->FinishButton()->setFocus();
    statusIcon_->setPixmap(ResultPixmap(ok, 28));
    statusIcon_->show();
    if (ok) progress_->setValue(100);
    progress_->hide();
    success_ = ok;
    done_ = true;
    status_->setText(Text(StatusId()));
    if (master != nullptr) master->SettingsButton()->setEnabled(true);
    Ui().Repaint();
}

bool CVerificationPage::OnQueryCancel() {
    if (!AskYesNo(done_ ? 109 : 163, kMbIconQuestion | kMbDefButton2)) return false;
    AppContext& ctx = GetAppContext();
    ctx.abortRequested = true;
    if (done_ || !running_) AbortApplication();
    // The running check sees the flag at its next step and ends the program.
    return false;
}

int CVerificationPage::OnWizardNext() {
    if (running_) return -1;  // the keys of Next reach the page while the run pumps events
    if (!answered_ && !AskYesNo(153, kMbIconQuestion)) {
        Wizard()->FinishWizard();
        return -1;
    }
    statusIcon_->hide();
    return GetAppContext().configuredScaleType != 0 ? kPageWelcome : kPageSbcSelection;
}

bool CVerificationPage::OnWizardFinish() {
    if (!AskYesNo(153, kMbIconQuestion)) {
        Wizard()->FinishWizard();
        return true;
    }
    answered_ = true;
    Wizard()->SetNextOrFinishDefault(false);
    Wizard()->OnNext();
    statusIcon_->hide();
    answered_ = false;
    return true;
}

bool CVerificationPage::OnFinishWizard() {
    // Every created page hears of the end; the page the user ended on closes
    // the program once.
    if (!IsActive() || !HasAppContext()) return true;
    TV_LOG_INFO(kModVerificationPage, "Application closed");
    DestroyAppContext();
    return true;
}

}  // namespace tv
