// The panel of the verification run, as the core's page (CVerificationPage)
// decides it: progress while the archives are checked, then one result row per
// file, the final status and, for a folder, the continuity of its archives.
#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include "ui/QtPagePanel.h"
#include "wizard/VerificationPage.h"

namespace tv {

class QtVerificationPage : public QtPagePanel {
    Q_OBJECT
public:
    explicit QtVerificationPage(QWidget* parent = nullptr);

    QTreeWidget* Results() const { return list_; }
    QProgressBar* Progress() const { return progress_; }
    QString StatusText() const { return status_->text(); }
    bool IsDone() const { return run_.IsDone(); }
    bool Succeeded() const { return run_.Succeeded(); }
    const AuditTrail& Trail() const { return run_.Trail(); }
    const ContinuityReport* Continuity() const { return run_.Continuity(); }
    QTreeWidget* ContinuityTable() const { return continuityTable_; }
    // The wizard's page button, which saves the report of a finished run.
    QPushButton* ReportButton() const;
    ReportInput MakeReportInput() const { return run_.MakeReportInput(); }

protected:
    // The continuity table's tips: the card's unique ID on its first cell, the
    // whole text on the others.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CVerificationPage run_;
    QLabel* status_;
    QLabel* statusIcon_;
    QProgressBar* progress_;
    QTreeWidget* list_;
    QLabel* continuityLabel_;
    QTreeWidget* continuityTable_;
};

}  // namespace tv
