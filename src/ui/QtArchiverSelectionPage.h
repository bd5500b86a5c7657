// The archive choice's panel: a complete archive, a continuation of the card's
// last archive or a date-based archive, as the core's page
// (CArchiverSelectionPage) decides them.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

#include "ui/QtPagePanel.h"
#include "wizard/ArchiverSelectionPage.h"

namespace tv {

class QtArchiverSelectionPage : public QtPagePanel {
    Q_OBJECT
public:
    explicit QtArchiverSelectionPage(QWidget* parent = nullptr);

    QRadioButton* CompleteArchive() const { return complete_; }
    QRadioButton* ContinueArchive() const { return continue_; }
    QRadioButton* DateBasedArchive() const { return dateBased_; }
    // "[Previous archive info: <start> to <end>]", shown with the continue choice.
    QLabel* PreviousArchiveInfo() const { return info_; }
    bool ContinueAvailable() const { return choice_.ContinueAvailable(); }

private:
    CArchiverSelectionPage choice_;
    QGroupBox* box_;
    QRadioButton* complete_;
    QRadioButton* continue_;
    QRadioButton* dateBased_;
    QLabel* info_;
};

}  // namespace tv
