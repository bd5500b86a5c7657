// The verification run: progress while the archives are checked, then one
// result row per file and the final status.
#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QTreeWidget>

#include "ui/WizardPage.h"

namespace tv {

class CVerificationPage : public CWizardPage {
    Q_OBJECT
public:
    explicit CVerificationPage(QWidget* parent = nullptr);

    QTreeWidget* Results() const { return list_; }
    QProgressBar* Progress() const { return progress_; }
    QString StatusText() const { return status_->text(); }
    bool IsDone() const { return done_; }
    bool Succeeded() const { return success_; }

    void OnBeforeNext() override;
    int UpdateHeader() override;
    void UpdateTexts() override;
    void OnEnterForward() override;
    bool OnQueryCancel() override;
    int OnWizardBack() override { return -1; }
    int OnWizardNext() override;
    bool OnWizardFinish() override;
    bool OnFinishWizard() override;

private:
    void SetColumns(bool dx);
    uint16_t StatusId() const;

    QLabel* status_;
    QLabel* statusIcon_;
    QProgressBar* progress_;
    QTreeWidget* list_;
    bool running_ = false;
    bool done_ = false;
    bool success_ = false;
    bool answered_ = false;
    bool folderRun_ = false;
};

}  // namespace tv
