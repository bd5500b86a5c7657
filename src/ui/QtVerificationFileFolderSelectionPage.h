// The choice of the archive file, archive folder or Archive.log to check; for a
// folder of ZT4 archives also the card's Archive.log the folder is compared with.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

#include "ui/QtWizardPage.h"

namespace tv {

class QtVerificationFileFolderSelectionPage : public QtWizardPage {
    Q_OBJECT
public:
    explicit QtVerificationFileFolderSelectionPage(QWidget* parent = nullptr);

    QLineEdit* PathBox() const { return path_; }
    QCheckBox* ChooseFolder() const { return folder_; }
    // dX: go on after the first failing block of an archive and list them all.
    QCheckBox* AllFindingsBox() const { return allFindings_; }
    bool AllFindings() const { return IsDx() && allFindings_->isChecked(); }
    QPushButton* BrowseButton() const { return browse_; }
    // ZT4 folder: the card's Archive.log (filled in from a card in a drive); empty
    // for none, then the folder's own log is used when it validates.
    QLineEdit* LogBox() const { return logPath_; }
    QPushButton* LogBrowseButton() const { return logBrowse_; }
    std::string ContinuityLogPath() const;
    // The chooser the browse button opens (a file or folder dialog unless set);
    // it gets the filter and whether a folder is wanted, and gives the path.
    void SetChooser(std::function<QString(const QString& filter, bool folder)> chooser) {
        chooser_ = std::move(chooser);
    }

    int UpdateHeader() override;
    void UpdateTexts() override;
    void OnEnterForward() override;
    void OnReturnTo(bool flag) override;
    int OnWizardBack() override;
    int OnWizardNext() override;
    void OnBrowse() override;

private:
    // Guide text of the family and kind (172, 260 or 263).
    uint16_t GuideText() const;
    // A folder can be chosen: dX archives, ZT4 archives (not a log).
    bool FolderAllowed() const;
    bool Zt4Folder() const;
    void ShowLogRow();
    void OnBrowseLog();

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
    std::function<QString(const QString&, bool)> chooser_;
};

}  // namespace tv
