#include "ui/QtArchiverRunPage.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "archive/ArchiveRun.h"
#include "archive/BaseArchiver.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "smc/SmcAccess.h"
#include "ui/Artwork.h"
#include "ui/QtMasterDlg.h"
#include "ui/PageStyle.h"
#include "ui/QtProgressView.h"
#include "ui/QtResultList.h"
#include "ui/QtStatusView.h"
#include "ui/QtText.h"

namespace tv {

namespace {

constexpr int kResultColumns = 4;
constexpr int kTimerMilliseconds = 1000;
constexpr int kPictureSize = 28;

}  // namespace

QtArchiverRunPage::QtArchiverRunPage(int pageId, int module, bool followsBoundaryCheck, QWidget* parent)
    : QtWizardPage(pageId, parent), module_(module) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(10);
    auto* statusRow = new QHBoxLayout();
    picture_ = new QLabel(this);
    picture_->setFixedSize(kPictureSize, kPictureSize);
    picture_->hide();
    status_ = new CStatusLine(this);
    statusRow->addWidget(picture_);
    statusRow->addWidget(status_, 1);
    layout->addLayout(statusRow);
    progress_ = MakeRunProgressBar(this);
    layout->addWidget(progress_);
    message_ = new QLabel(this);
    message_->setStyleSheet(QStringLiteral("color: rgb(190,20,20);"));
    message_->setWordWrap(true);
    layout->addWidget(message_);
    list_ = MakeResultList(this);
    SetResultColumns(list_, kResultColumns);
    list_->hide();
    layout->addWidget(list_, 1);
    layout->addStretch(0);
    if (followsBoundaryCheck) {
        timer_ = new QTimer(this);
        timer_->setInterval(kTimerMilliseconds);
        connect(timer_, &QTimer::timeout, this, &QtArchiverRunPage::OnProgressTimer);
    }
}

QString QtArchiverRunPage::FinishedText() const { return Text(success_ ? 127 : 126); }

void QtArchiverRunPage::OnBeforeNext() {
    finished_ = false;
    success_ = false;
    anotherOperation_ = false;
    backToPath_ = false;
}

int QtArchiverRunPage::UpdateHeader() {
    ShowHeader();
    return 0;
}

void QtArchiverRunPage::UpdateTexts() {
    SetResultColumns(list_, kResultColumns);
    if (finished_) {
        status_->SetText(FinishedText());
    } else if (!running_) {
        status_->SetText(ToQString(PleaseWaitText(123)));
    }
}

void QtArchiverRunPage::OnPagePaint() {
    // The first paint shows the page as it was set up; later ones of a finished
    // run put its outcome back on the status line.
    if (firstPaint_) {
        firstPaint_ = false;
        return;
    }
    if (finished_) status_->SetText(FinishedText());
}

void QtArchiverRunPage::SetSettingsEnabled(bool enabled) {
    if (auto* master = qobject_cast<QtMasterDlg*>(Wizard())) master->SettingsButton()->setEnabled(enabled);
}

void QtArchiverRunPage::StopTimer() {
    if (timer_ != nullptr) timer_->stop();
}

void QtArchiverRunPage::OnProgressTimer() {
    if (!running_ || !HasAppContext() || !GetAppContext().boundaryCheck) return;
    status_->SetText(ToQString(ProgressText()));
}

void QtArchiverRunPage::ShowPicture(bool success) {
    picture_->setPixmap(ResultPixmap(success, kPictureSize));
    picture_->show();
}

void QtArchiverRunPage::OnEnterForward() {
    AppContext& ctx = GetAppContext();
    list_->clear();
    backToPath_ = false;
    picture_->hide();
    if (RangeUnavailable(ctx)) {
        ShowRangeUnavailable(ctx);
        return;
    }

    QtWizardDialog* wizard = Wizard();
    message_->clear();
    message_->setToolTip(QString());
    progress_->setValue(0);
    // The bar stays on screen while the run moves it.
    progress_->show();
    wizard->NextButton()->hide();
    wizard->BackButton()->hide();
    wizard->FinishButton()->hide();
    wizard->CancelButton()->show();
    wizard->CancelButton()->setText(Text(107));
    wizard->CancelButton()->setFocus();
    wizard->SetNextOrCancelDefaultKeepEnabled(true);
    list_->hide();
    SetSettingsEnabled(false);
    if (timer_ != nullptr) timer_->start();
    Ui().Repaint();

    QtProgressView progress(progress_);
    QtResultList results(list_);
    QtStatusView status(status_);
    running_ = true;
    const ArchiveRunOutcome outcome = RunCurrentArchiver(ctx, &progress, &results, &status);
    running_ = false;
    // The user agreed to close while the run got through without another look
    // at the request: the program ends as it would have inside the run.
    if (ctx.abortRequested) AbortApplication();
    // The card may be taken out now; a later run opens it again.
    CloseSmc(ctx);

    if (outcome.backToPath) {
        // The user keeps the existing archive: another folder is chosen on the
        // path page.
        backToPath_ = true;
        SetSettingsEnabled(true);
        StopTimer();
        wizard->OnBack();
        if (!IsActive()) {
            wizard->SetNextDefaultAfterBack();
            return;
        }
        backToPath_ = false;  // no path page to go back to: the run ends here
    }
    QString messageLine = ToQString(outcome.messageLine);
    if (!outcome.success && outcome.result == kArchiveFolderMissing) {
        messageLine = ToQString(PathMessageText(ctx.archivePath));
        message_->setToolTip(ToQString(outcome.messageLine));
    }
    ShowOutcome(outcome.success, messageLine);
}

void QtArchiverRunPage::ShowOutcome(bool success, const QString& messageLine) {
    QtWizardDialog* wizard = Wizard();
    wizard->FinishButton()->show();
    wizard->CancelButton()->hide();
    wizard->FinishButton()->setFocus();
    wizard->SetNextOrFinishDefault(true);
    list_->show();
    success_ = success;
    if (success) {
        progress_->setValue(100);
    } else {
        if (list_->topLevelItemCount() == 0) list_->hide();
        message_->setText(messageLine);
    }
    progress_->hide();
    ShowPicture(success);
    status_->SetText(FinishedText());
    finished_ = true;
    SetSettingsEnabled(true);
    StopTimer();
    Ui().Repaint();
}

void QtArchiverRunPage::ShowRangeUnavailable(AppContext& ctx) {
    // Nothing runs: the engine tells why the dates could not be prepared.
    QtStatusView status(status_);
    const ArchiveRunOutcome outcome = RunCurrentArchiver(ctx, nullptr, nullptr, &status);
    QtWizardDialog* wizard = Wizard();
    progress_->hide();
    wizard->FinishButton()->show();
    wizard->NextButton()->hide();
    wizard->CancelButton()->hide();
    wizard->FinishButton()->setFocus();
    wizard->SetNextOrFinishDefault(true);
    list_->hide();
    success_ = false;
    status_->SetText(FinishedText());
    message_->setText(ToQString(outcome.messageLine));
    ShowPicture(false);
    finished_ = true;
}

bool QtArchiverRunPage::OnQueryCancel() {
    if (!AskYesNo(finished_ ? 109 : 163, kMbIconQuestion | kMbDefButton2)) return false;
    GetAppContext().abortRequested = true;
    if (!running_) AbortApplication();
    // The wizard ends; the run sees the request at its next check, undoes its
    // work and ends the program.
    return true;
}

int QtArchiverRunPage::OnWizardBack() { return backToPath_ ? kPageArchiverPathSelection : -1; }

int QtArchiverRunPage::OnWizardNext() {
    if (!finished_) return -1;  // the keys of Next reach the page while the run pumps events
    if (!anotherOperation_ && !AskYesNo(153, kMbIconQuestion)) {
        Wizard()->FinishWizard();
        return -1;
    }
    picture_->hide();
    Wizard()->CancelButton()->show();
    Wizard()->SetNextOrFinishDefault(false);
    return GetAppContext().configuredScaleType != 0 ? kPageWelcome : kPageSbcSelection;
}

bool QtArchiverRunPage::OnWizardFinish() {
    if (!AskYesNo(153, kMbIconQuestion)) {
        Wizard()->FinishWizard();
        return true;
    }
    anotherOperation_ = true;
    Wizard()->SetNextOrFinishDefault(false);
    Wizard()->OnNext();
    picture_->hide();
    anotherOperation_ = false;
    return true;
}

bool QtArchiverRunPage::OnFinishWizard() {
    // Every created page hears of the end; the page the user ended on closes
    // the program once.
    if (!IsActive() || !HasAppContext()) return true;
    TV_LOG_INFO(module_, "Application closed");
    DestroyAppContext();
    return true;
}

}  // namespace tv
