// The choice of the archive file, archive folder (dX) or Archive.log to check.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

#include "ui/WizardPage.h"

namespace tv {

class CVerificationFileFolderSelectionPage : public CWizardPage {
    Q_OBJECT
public:
    explicit CVerificationFileFolderSelectionPage(QWidget* parent = nullptr);

    QLineEdit* PathBox() const { return path_; }
    QCheckBox* ChooseFolder() const { return folder_; }
    // dX: go on after the first failing block of an archive and list them all.
    QCheckBox* AllFindingsBox() const { return allFindings_; }
    bool AllFindings() const { return IsDx() && allFindings_->isChecked(); }
    QPushButton* BrowseButton() const { return browse_; }
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

    QGroupBox* box_;
    QLabel* label_;
    QLineEdit* path_;
    QPushButton* browse_;
    QCheckBox* folder_;
    QCheckBox* allFindings_;
    std::function<QString(const QString&, bool)> chooser_;
};

}  // namespace tv
