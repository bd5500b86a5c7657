#include "ui/QtVerificationPage.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "dx/VerifierdX.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "ui/Artwork.h"
#include "ui/QtMasterDlg.h"
#include "ui/PageStyle.h"
#include "ui/QtProgressView.h"
#include "ui/QtResultList.h"
#include "ui/QtText.h"
#include "ui/ContinuityTable.h"
#include "ui/ReportFile.h"
#include "ui/QtVerificationFileFolderSelectionPage.h"
#include "zt4/ValidationRun.h"
#include "zt4/VerifierZT4.h"

namespace tv {

namespace {

// The context points at the page's trail for the length of a run only, also
// when an abort leaves the run early.
class TrailInContext {
public:
    explicit TrailInContext(AuditTrail& trail) { GetAppContext().auditTrail = &trail; }
    ~TrailInContext() {
        if (HasAppContext()) GetAppContext().auditTrail = nullptr;
    }
    TrailInContext(const TrailInContext&) = delete;
    TrailInContext& operator=(const TrailInContext&) = delete;
};

// Qt's save dialog; the name gets the extension of the chosen filter when the
// user typed none.
QString AskReportPath(QWidget* parent, const QString& suggested, const QString& filters) {
    QString filter;
    QString path = QFileDialog::getSaveFileName(parent, Text(705), suggested, filters, &filter);
    if (path.isEmpty()) return path;
    const QString lower = path.toLower();
    if (!lower.endsWith(QStringLiteral(".pdf")) && !lower.endsWith(QStringLiteral(".html")) &&
        !lower.endsWith(QStringLiteral(".htm"))) {
        path += filter.contains(QStringLiteral("*.html")) ? QStringLiteral(".html") : QStringLiteral(".pdf");
    }
    return path;
}

}  // namespace

QtVerificationPage::QtVerificationPage(QWidget* parent) : QtWizardPage(kPageVerification, parent) {
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
    continuityLabel_ = new QLabel(this);
    continuityLabel_->setStyleSheet(QStringLiteral("color: rgb(45,45,45); font-weight: bold;"));
    layout->addWidget(continuityLabel_);
    continuityTable_ = MakeContinuityTable(this);
    continuityTable_->setMaximumHeight(96);
    layout->addWidget(continuityTable_);
    layout->addStretch(0);
    SetColumns(false);
    list_->hide();
    continuityLabel_->hide();
    continuityTable_->hide();
    chooseReportPath_ = [this](const QString& suggested, const QString& filters) {
        return AskReportPath(this, suggested, filters);
    };
}

bool QtVerificationPage::OnCreatePage() {
    connect(Wizard()->PageButton(), &QPushButton::clicked, this, [this] {
        if (IsActive() && done_) SaveReport();
    });
    return true;
}

QPushButton* QtVerificationPage::ReportButton() const {
    return Wizard() != nullptr ? Wizard()->PageButton() : nullptr;
}

void QtVerificationPage::SetColumns(bool dx) { SetResultColumns(list_, dx ? 6 : 4); }

uint16_t QtVerificationPage::StatusId() const {
    const AppContext& ctx = GetAppContext();
    const bool dx = ctx.scaleType == '0';
    const bool archive = ctx.validationKind == 1;
    if (!done_) return dx ? 134 : archive ? 262 : 267;
    if (success_) return dx ? 143 : archive ? 270 : 271;
    if (dx) return folderRun_ ? 144 : 145;
    return archive ? 268 : 269;
}

void QtVerificationPage::OnBeforeNext() {
    success_ = false;
    done_ = false;
}

int QtVerificationPage::UpdateHeader() {
    ShowHeader();
    return 0;
}

void QtVerificationPage::UpdateTexts() {
    status_->setText(Text(StatusId()));
    SetColumns(list_->columnCount() == 6);
    continuityLabel_->setText(Text(706));
    SetContinuityColumns(continuityTable_);
    if (continuity_) FillContinuityTable(continuityTable_, *continuity_);
    if (QPushButton* button = ReportButton(); button != nullptr && IsActive()) button->setText(Text(701));
}

void QtVerificationPage::OnEnterForward() {
    AppContext& ctx = GetAppContext();
    QtWizardDialog* wizard = Wizard();
    auto* master = qobject_cast<QtMasterDlg*>(wizard);
    const bool dx = IsDx();
    folderRun_ = ctx.folderInput != 0;
    checkedPath_ = ctx.verificationPath;
    trail_ = AuditTrail{};
    auto* choice = qobject_cast<QtVerificationFileFolderSelectionPage*>(
        wizard->FindPage(kPageVerificationFileFolderSelection));
    trail_.options.allFindings = dx && choice != nullptr && choice->AllFindings();
    continuityLogPath_ = !dx && folderRun_ && choice != nullptr ? choice->ContinuityLogPath() : std::string();
    continuityLog_ = ContinuityLog{};
    continuity_.reset();
    continuityLabel_->hide();
    continuityTable_->hide();
    continuityTable_->clear();
    wizard->PageButton()->hide();
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
    const bool ok = RunChecks(dx, &progress, &results);
    running_ = false;

    list_->show();
    if (folderRun_) ShowContinuity();
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
    wizard->PageButton()->setText(Text(701));
    wizard->PageButton()->setEnabled(true);
    wizard->PageButton()->show();
    Ui().Repaint();
}

bool QtVerificationPage::RunChecks(bool dx, ProgressView* progress, ResultList* results) {
    AppContext& ctx = GetAppContext();
    TrailInContext recording(trail_);
    if (!dx && ctx.folderInput != 0) {
        // Every archive of the folder, then the card's log when one is named
        // (its row after the archives').
        bool ok = ValidateZt4Folder(ctx.verificationPath, progress, results);
        if (!continuityLogPath_.empty() && !ValidateZt4File(3, continuityLogPath_, nullptr, results)) ok = false;
        if (ctx.abortRequested) return false;
        continuityLog_ = ChooseContinuityLog(ctx.verificationPath, continuityLogPath_);
        return ok;
    }
    if (!dx) {
        return RunZt4Validation(ctx.zt4Verifier.get(), ctx.validationKind, ctx.folderInput != 0,
                                ctx.verificationMode, progress, results);
    }
    if (!ctx.dxVerifier) {
        TV_LOG_ERROR(kModVerificationPage, "Verification element not found");
        return false;
    }
    return ctx.dxVerifier->VerifyArchives(progress, results, false);
}

void QtVerificationPage::ShowContinuity() {
    continuity_ = CheckContinuity(trail_, continuityLog_.Records());
    FillContinuityTable(continuityTable_, *continuity_);
    continuityLabel_->setText(Text(706));
    continuityLabel_->show();
    continuityTable_->show();
}

ReportInput QtVerificationPage::MakeReportInput() const {
    ReportInput input;
    input.zt4 = GetAppContext().scaleType != '0';
    input.checkedPath = checkedPath_;
    input.createdAt = Sys().FormatNow("%Y-%m-%d %H:%M:%S");
    input.version = GetVersionText();
    input.trail = &trail_;
    const QTreeWidgetItem* header = list_->headerItem();
    for (int c = 0; c < list_->columnCount(); ++c) input.columns.push_back(ToU16(header->text(c)));
    for (int r = 0; r < list_->topLevelItemCount(); ++r) {
        const QTreeWidgetItem* item = list_->topLevelItem(r);
        std::vector<std::u16string> row;
        for (int c = 0; c < list_->columnCount(); ++c) row.push_back(ToU16(item->text(c)));
        input.rows.push_back(std::move(row));
    }
    input.continuity = Continuity();
    input.summary = ToU16(status_->text());
    return input;
}

void QtVerificationPage::SaveReport() {
    const QString suggested = DefaultReportPath(checkedPath_, folderRun_, Sys().FormatNow("%Y-%m-%d"));
    const QString filters = Text(702) + QStringLiteral(";;") + Text(703);
    const QString chosen = chooseReportPath_(suggested, filters);
    if (chosen.isEmpty()) return;
    std::u16string error;
    if (!SaveReportFile(MakeReportInput(), ToNarrowPath(chosen), error)) {
        Ui().MessageBox(error, u"Tallyvault", kMbIconError | kMbTaskModal);
    }
}

bool QtVerificationPage::OnQueryCancel() {
    if (!AskYesNo(done_ ? 109 : 163, kMbIconQuestion | kMbDefButton2)) return false;
    AppContext& ctx = GetAppContext();
    ctx.abortRequested = true;
    if (done_ || !running_) AbortApplication();
    // The running check sees the flag at its next step and ends the program.
    return false;
}

int QtVerificationPage::OnWizardNext() {
    if (running_) return -1;  // the keys of Next reach the page while the run pumps events
    if (!answered_ && !AskYesNo(153, kMbIconQuestion)) {
        Wizard()->FinishWizard();
        return -1;
    }
    statusIcon_->hide();
    return GetAppContext().configuredScaleType != 0 ? kPageWelcome : kPageSbcSelection;
}

bool QtVerificationPage::OnWizardFinish() {
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

bool QtVerificationPage::OnFinishWizard() {
    // Every created page hears of the end; the page the user ended on closes
    // the program once.
    if (!IsActive() || !HasAppContext()) return true;
    TV_LOG_INFO(kModVerificationPage, "Application closed");
    DestroyAppContext();
    return true;
}

}  // namespace tv
