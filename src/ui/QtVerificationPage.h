// The verification run: progress while the archives are checked, then one
// result row per file and the final status.
#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <functional>
#include <optional>
#include <string>

#include "audit/Continuity.h"
#include "audit/FileAudit.h"
#include "audit/Report.h"
#include "messages/UiHost.h"
#include "ui/QtWizardPage.h"
#include "zt4/FolderValidation.h"

namespace tv {

class QtVerificationPage : public QtWizardPage {
    Q_OBJECT
public:
    explicit QtVerificationPage(QWidget* parent = nullptr);

    QTreeWidget* Results() const { return list_; }
    QProgressBar* Progress() const { return progress_; }
    QString StatusText() const { return status_->text(); }
    bool IsDone() const { return done_; }
    bool Succeeded() const { return success_; }
    // What the last run recorded, and the continuity of a folder's archives
    // (none for a single file).
    const AuditTrail& Trail() const { return trail_; }
    const ContinuityReport* Continuity() const { return continuity_ ? &*continuity_ : nullptr; }
    QTreeWidget* ContinuityTable() const { return continuityTable_; }
    QPushButton* ReportButton() const;
    // The save dialog of the report button (Qt's unless set): it gets the
    // suggested path and the filters, and gives the chosen path or nothing.
    void SetReportPathChooser(std::function<QString(const QString& suggested, const QString& filters)> chooser) {
        chooseReportPath_ = std::move(chooser);
    }
    // The report of the last run as the page shows it.
    ReportInput MakeReportInput() const;

    void OnBeforeNext() override;
    int UpdateHeader() override;
    void UpdateTexts() override;
    void OnEnterForward() override;
    bool OnQueryCancel() override;
    int OnWizardBack() override { return -1; }
    int OnWizardNext() override;
    bool OnWizardFinish() override;
    bool OnFinishWizard() override;
    bool OnCreatePage() override;

public slots:
    // Asks where and writes the report; a failure is shown in a message box.
    void SaveReport();

private:
    void SetColumns(bool dx);
    bool RunChecks(bool dx, ProgressView* progress, ResultList* results);
    void ShowContinuity();
    uint16_t StatusId() const;

    QLabel* status_;
    QLabel* statusIcon_;
    QProgressBar* progress_;
    QTreeWidget* list_;
    QLabel* continuityLabel_;
    QTreeWidget* continuityTable_;
    AuditTrail trail_;
    std::optional<ContinuityReport> continuity_;
    // ZT4 folder: the Archive.log named on the selection page ("" for none) and
    // the log the continuity was compared with.
    std::string continuityLogPath_;
    ContinuityLog continuityLog_;
    std::string checkedPath_;
    std::function<QString(const QString&, const QString&)> chooseReportPath_;
    bool running_ = false;
    bool done_ = false;
    bool success_ = false;
    bool answered_ = false;
    bool folderRun_ = false;
};

}  // namespace tv
