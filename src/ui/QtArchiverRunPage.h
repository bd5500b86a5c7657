// What the three archive run pages share: the run of the archive operation the
// choice pages prepared, its progress and outcome, and the questions at its end.
// The run itself, its questions and its clean-up are the engine's; the page
// holds the widgets and moves the wizard.
#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QTreeWidget>

#include "ui/StatusLine.h"
#include "ui/QtWizardPage.h"

namespace tv {

class AppContext;

class QtArchiverRunPage : public QtWizardPage {
    Q_OBJECT
public:
    QTreeWidget* Results() const { return list_; }
    QProgressBar* Progress() const { return progress_; }
    CStatusLine* Status() const { return status_; }
    QString StatusText() const { return status_->Text(); }
    QString MessageText() const { return message_->text(); }
    QLabel* ResultPicture() const { return picture_; }
    bool IsFinished() const { return finished_; }
    bool IsRunning() const { return running_; }
    bool Succeeded() const { return success_; }
    bool BackToPath() const { return backToPath_; }

    void OnBeforeNext() override;
    int UpdateHeader() override;
    void UpdateTexts() override;
    void OnEnterForward() override;
    bool OnQueryCancel() override;
    int OnWizardBack() override;
    int OnWizardNext() override;
    bool OnWizardFinish() override;
    bool OnFinishWizard() override;

public slots:
    // Every second of a run: the boundary check's progress, while it goes on.
    void OnProgressTimer();

protected:
    // The module named in the log, and whether the page follows the boundary
    // check on its status line.
    QtArchiverRunPage(int pageId, int module, bool followsBoundaryCheck, QWidget* parent);
    // The date-based page: the chosen dates could not be prepared, so there is
    // nothing to run.
    virtual bool RangeUnavailable(const AppContext&) const { return false; }
    void OnPagePaint() override;

private:
    void ShowRangeUnavailable(AppContext& ctx);
    void ShowOutcome(bool success, const QString& messageLine);
    void ShowPicture(bool success);
    void SetSettingsEnabled(bool enabled);
    void StopTimer();
    QString FinishedText() const;

    int module_;
    CStatusLine* status_;
    QLabel* picture_;
    QProgressBar* progress_;
    QLabel* message_;
    QTreeWidget* list_;
    QTimer* timer_ = nullptr;
    bool finished_ = false;
    bool success_ = false;
    bool anotherOperation_ = false;
    bool backToPath_ = false;
    bool running_ = false;
    bool firstPaint_ = true;
};

}  // namespace tv
