// The archive folder of this run, asked for when the default folder is not
// used: it must exist and leave room for the names the run builds in it.
#pragma once

#include <QGroupBox>
#include <QLabel>

#include "ui/FolderEdit.h"
#include "ui/QtWizardPage.h"

namespace tv {

class QtArchiverPathSelectionPage : public QtWizardPage {
    Q_OBJECT
public:
    explicit QtArchiverPathSelectionPage(QWidget* parent = nullptr);

    CFolderEdit* PathBox() const { return path_; }

    int UpdateHeader() override;
    void UpdateTexts() override;
    void OnEnterForward() override;
    void OnReturnTo(bool flag) override;
    void OnSetActive() override;
    bool OnKillActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;
    void OnBrowse() override;
    void OnDefaultPathChanged() override;

private:

    QGroupBox* box_;
    QLabel* label_;
    CFolderEdit* path_;
};

}  // namespace tv
