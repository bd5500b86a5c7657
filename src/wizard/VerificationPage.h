// Page 141: the verification run, with progress while the archives are
// checked, then one result row per file, the final status and, for a folder,
// the continuity of its archives. The report of the run can be saved.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "audit/Continuity.h"
#include "audit/FileAudit.h"
#include "audit/Report.h"
#include "wizard/WizardPage.h"
#include "zt4/FolderValidation.h"

namespace tv {

class ProgressView;
class ResultList;

class CVerificationPage : public CWizardPage {
public:
    // The controls of the page's template.
    static constexpr int kCtlProgress = 1021;
    static constexpr int kCtlResults = 1024;
    static constexpr int kCtlStatusText = 65535;
    static constexpr int kCtlStatusImage = 1090;
    // Added by our faces beyond the template: the continuity of a folder's
    // archives under the result list (the report is the wizard's kPage button).
    static constexpr int kCtlContinuityLabel = 1500;
    static constexpr int kCtlContinuityTable = 1501;
    // The bitmaps of the status image.
    static constexpr int kBmpSuccess = 189;
    static constexpr int kBmpFailure = 188;

    CVerificationPage();

    bool IsDone() const { return done_; }
    bool Succeeded() const { return success_; }
    // What the last run recorded, and the continuity of a folder's archives
    // (none for a single file).
    const AuditTrail& Trail() const { return trail_; }
    const ContinuityReport* Continuity() const { return continuity_ ? &*continuity_ : nullptr; }
    // The report of the last run as the page shows it.
    ReportInput MakeReportInput() const;
    // Asks where and writes the report; a failure is shown in a message box.
    void SaveReport();

    void OnBeforeNext() override;
    int UpdateHeader() override;
    void UpdateTexts() override;
    void OnEnterForward() override;
    bool OnQueryCancel() override;
    int OnWizardBack() override { return -1; }
    int OnWizardNext() override;
    bool OnWizardFinish() override;
    bool OnFinishWizard() override;
    void OnPaint() override;
    void OnPageButton() override;

private:
    void SetResultColumns(bool dx);
    bool RunChecks(bool dx, ProgressView* progress, ResultList* results);
    void ShowContinuity();
    void ShowResult(bool ok);
    MessageId StatusId() const;

    AuditTrail trail_;
    std::optional<ContinuityReport> continuity_;
    // ZT4 folder: the Archive.log named on the selection page ("" for none) and
    // the log the continuity was compared with.
    std::string continuityLogPath_;
    ContinuityLog continuityLog_;
    std::string checkedPath_;
    std::vector<std::u16string> columns_;  // the result list's headers as shown
    bool running_ = false;
    bool done_ = false;
    bool success_ = false;
    bool answered_ = false;
    bool folderRun_ = false;
};

}  // namespace tv
