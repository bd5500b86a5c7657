// The panel of the archive file, archive folder or Archive.log to check, as the
// core's page (CVerificationFileFolderSelectionPage) decides them.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "ui/QtPagePanel.h"
#include "wizard/VerificationFileFolderSelectionPage.h"

namespace tv {

class QtVerificationFileFolderSelectionPage : public QtPagePanel {
    Q_OBJECT
public:
    explicit QtVerificationFileFolderSelectionPage(QWidget* parent = nullptr);

    QLineEdit* PathBox() const { return path_; }
    QCheckBox* ChooseFolder() const { return folder_; }
    // dX: go on after the first failing block of an archive and list them all.
    QCheckBox* AllFindingsBox() const { return allFindings_; }
    bool AllFindings() const { return choice_.AllFindings(); }
    QPushButton* BrowseButton() const { return browse_; }
    // ZT4 folder: the card's Archive.log (filled in from a card in a drive); empty
    // for none, then the folder's own log is used when it validates.
    QLineEdit* LogBox() const { return logPath_; }
    QPushButton* LogBrowseButton() const { return logBrowse_; }
    std::string ContinuityLogPath() const { return choice_.ContinuityLogPath(); }

private:
    CVerificationFileFolderSelectionPage choice_;
    QGroupBox* box_;
    QLabel* label_;
    QLineEdit* path_;
    QPushButton* browse_;
    QCheckBox* folder_;
    QCheckBox* allFindings_;
    QLabel* logLabel_;
    QLineEdit* logPath_;
    QPushButton* logBrowse_;
    QLabel* logHint_;
};

}  // namespace tv
