#include "wizard/VerificationPage.h"

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "dx/VerifierdX.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "smc/SmcAccess.h"
#include "wizard/ContinuityRows.h"
#include "wizard/PageView.h"
#include "wizard/ReportSaving.h"
#include "wizard/VerificationFileFolderSelectionPage.h"
#include "wizard/WizardDialog.h"
#include "zt4/ValidationRun.h"
#include "zt4/VerifierZT4.h"

namespace tv {

namespace {

constexpr MessageId kColumnHeaders[] = {190, 193, 194, 195, 191, 192};
constexpr int kColumnWidths[] = {50, 210, 90, 260, 150, 150};
constexpr int kFourColumnWidths[] = {50, 330, 90, 230};

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

void ClearRows(ResultList* list) {
    while (list != nullptr && list->ItemCount() > 0) {
        if (!list->DeleteRow(list->ItemCount() - 1)) break;
    }
}

}  // namespace

CVerificationPage::CVerificationPage() : CWizardPage(kPageVerification) {}

void CVerificationPage::SetResultColumns(bool dx) {
    const size_t count = dx ? 6 : 4;
    columns_.clear();
    std::vector<int> widths;
    for (size_t i = 0; i < count; ++i) {
        columns_.push_back(Text(kColumnHeaders[i]));
        widths.push_back(dx ? kColumnWidths[i] : kFourColumnWidths[i]);
    }
    View().SetColumns(kCtlResults, columns_, widths);
}

MessageId CVerificationPage::StatusId() const {
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
    PageView& v = View();
    v.SetText(kCtlStatusText, Text(StatusId()));
    SetResultColumns(columns_.empty() ? IsDx() : columns_.size() == 6);
    v.SetText(kCtlContinuityLabel, Text(706));
    if (continuity_) {
        ShowContinuity();
    } else {
        const ContinuityTable empty = EmptyContinuityTable();
        v.SetColumns(kCtlContinuityTable, empty.headers, empty.widths);
    }
    if (IsActive() && done_) Wizard()->Window().SetButtonText(WizardButton::kPage, Text(701));
}

void CVerificationPage::OnPaint() {
    if (HasAppContext()) View().SetText(kCtlStatusText, Text(StatusId()));
}

void CVerificationPage::OnEnterForward() {
    AppContext& ctx = GetAppContext();
    WizardWindow& window = Wizard()->Window();
    PageView& v = View();
    const bool dx = IsDx();
    folderRun_ = ctx.folderInput != 0;
    checkedPath_ = ctx.verificationPath;
    trail_ = AuditTrail{};
    auto* choice = dynamic_cast<CVerificationFileFolderSelectionPage*>(
        Wizard()->FindPage(kPageVerificationFileFolderSelection));
    trail_.options.allFindings = dx && choice != nullptr && choice->AllFindings();
    continuityLogPath_ = !dx && folderRun_ && choice != nullptr ? choice->ContinuityLogPath() : std::string();
    continuityLog_ = ContinuityLog{};
    continuity_.reset();
    v.Show(kCtlContinuityLabel, false);
    v.Show(kCtlContinuityTable, false);
    ClearRows(v.Results(kCtlContinuityTable));
    window.ShowButton(WizardButton::kPage, false);
    v.Show(kCtlStatusImage, false);
    ProgressView* progress = v.Progress(kCtlProgress);
    ResultList* results = v.Results(kCtlResults);
    progress->SetRange(0, 100);
    progress->SetPos(0);
    ClearRows(results);
    SetResultColumns(dx);
    window.ShowButton(WizardButton::kNext, false);
    window.ShowButton(WizardButton::kBack, false);
    window.ShowButton(WizardButton::kFinish, false);
    window.SetButtonText(WizardButton::kCancel, Text(107));
    v.SetText(kCtlStatusText, Text(StatusId()));
    v.Show(kCtlProgress, true);
    v.Show(kCtlResults, false);
    window.EnableSettings(false);
    Ui().Repaint();

    running_ = true;
    const bool ok = RunChecks(dx, progress, results);
    running_ = false;
    // The card compared with is let go: it may be taken out (or written by
    // the scale again) before the next operation chooses it anew.
    if (ctx.worm) CloseSmc(ctx);
    ShowResult(ok);
}

void CVerificationPage::ShowResult(bool ok) {
    WizardWindow& window = Wizard()->Window();
    PageView& v = View();
    v.Show(kCtlResults, true);
    if (folderRun_) {
        continuity_ = CheckContinuity(trail_, continuityLog_.Records());
        ShowContinuity();
        v.Show(kCtlContinuityLabel, true);
        v.Show(kCtlContinuityTable, true);
    }
    window.ShowButton(WizardButton::kFinish, true);
    Wizard()->SetNextOrFinishDefault(true);
    window.FocusButton(WizardButton::kFinish);
    v.SetImage(kCtlStatusImage, ok ? kBmpSuccess : kBmpFailure);
    v.Show(kCtlStatusImage, true);
    if (ok) v.Progress(kCtlProgress)->SetPos(100);
    v.Show(kCtlProgress, false);
    success_ = ok;
    done_ = true;
    v.SetText(kCtlStatusText, Text(StatusId()));
    window.EnableSettings(true);
    window.SetButtonText(WizardButton::kPage, Text(701));
    window.EnableButton(WizardButton::kPage, true);
    window.ShowButton(WizardButton::kPage, true);
    Ui().Repaint();
}

bool CVerificationPage::RunChecks(bool dx, ProgressView* progress, ResultList* results) {
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

void CVerificationPage::ShowContinuity() {
    PageView& v = View();
    const ContinuityTable table = MakeContinuityTable(*continuity_);
    v.SetColumns(kCtlContinuityTable, table.headers, table.widths);
    ResultList* list = v.Results(kCtlContinuityTable);
    ClearRows(list);
    for (const ContinuityRow& row : table.rows) {
        const int at = list->InsertRow(list->ItemCount(), row.cells.front().text);
        for (size_t c = 0; c < row.cells.size(); ++c) {
            const int column = static_cast<int>(c);
            list->SetCell(at, column, row.cells[c].text);
            v.MarkCell(kCtlContinuityTable, at, column, row.cells[c].failed);
        }
    }
}

ReportInput CVerificationPage::MakeReportInput() const {
    ReportInput input;
    input.zt4 = GetAppContext().scaleType != '0';
    input.checkedPath = checkedPath_;
    input.createdAt = Sys().FormatNow("%Y-%m-%d %H:%M:%S");
    input.version = GetVersionText();
    input.trail = &trail_;
    input.columns = columns_;
    const ResultList* list = View().Results(kCtlResults);
    for (int r = 0; r < list->ItemCount(); ++r) {
        std::vector<std::u16string> row;
        for (size_t c = 0; c < columns_.size(); ++c) row.push_back(list->Cell(r, static_cast<int>(c)));
        input.rows.push_back(std::move(row));
    }
    input.continuity = Continuity();
    input.summary = Text(StatusId());
    return input;
}

void CVerificationPage::OnPageButton() {
    if (IsActive() && done_) SaveReport();
}

void CVerificationPage::SaveReport() {
    const std::string suggested = DefaultReportPath(checkedPath_, folderRun_, Sys().FormatNow("%Y-%m-%d"));
    const std::u16string chosen = View().ChooseSaveFile(Text(705), ToUtf16(suggested), ReportFileFilters());
    if (chosen.empty()) return;
    std::u16string error;
    if (!SaveReportFile(MakeReportInput(), ToNarrow(chosen), error)) {
        Ui().MessageBox(error, u"Tallyvault", kMbIconError | kMbTaskModal);
    }
}

bool CVerificationPage::OnQueryCancel() {
    if (!AskYesNo(done_ ? 109 : 163, kMbIconQuestion | kMbDefButton2)) return false;
    GetAppContext().abortRequested = true;
    if (done_ || !running_) AbortApplication();
    // The running check sees the flag at its next step and ends the program.
    return false;
}

int CVerificationPage::OnWizardNext() {
    if (running_) return -1;  // Next's keys reach the page while the run pumps events
    if (!answered_ && !AskYesNo(153, kMbIconQuestion)) {
        Wizard()->FinishWizard();
        return -1;
    }
    View().Show(kCtlStatusImage, false);
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
    View().Show(kCtlStatusImage, false);
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
