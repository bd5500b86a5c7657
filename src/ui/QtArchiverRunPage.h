// The panel shared by the three archive run pages, as the core's run page
// (CArchiverRunPage) decides it: the status line with the outcome's picture,
// the progress bar, the message line and the list of archives made.
#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QTreeWidget>
#include <memory>

#include "ui/QtPagePanel.h"
#include "ui/ResultPicture.h"
#include "ui/StatusLine.h"
#include "wizard/ArchiverRunPage.h"

namespace tv {

class QtArchiverRunPage : public QtPagePanel {
    Q_OBJECT
public:
    QTreeWidget* Results() const { return list_; }
    QProgressBar* Progress() const { return progress_; }
    CStatusLine* Status() const { return status_; }
    QString StatusText() const { return status_->Text(); }
    QString MessageText() const { return message_->text(); }
    CResultPicture* ResultPicture() const { return picture_; }
    bool IsFinished() const { return run_->IsFinished(); }
    bool IsRunning() const { return run_->IsRunning(); }
    bool Succeeded() const { return run_->Succeeded(); }
    bool BackToPath() const { return run_->BackToPath(); }

protected:
    QtArchiverRunPage(std::unique_ptr<CArchiverRunPage> run, int pageId, QWidget* parent);

private:
    std::unique_ptr<CArchiverRunPage> run_;
    CStatusLine* status_;
    CResultPicture* picture_;
    QProgressBar* progress_;
    QLabel* message_;
    QTreeWidget* list_;
};

}  // namespace tv
