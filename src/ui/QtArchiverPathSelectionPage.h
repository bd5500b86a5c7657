// The archive path's panel: the folder the archive is written to, as the
// core's page (CArchiverPathSelectionPage) decides it.
#pragma once

#include <QGroupBox>
#include <QLabel>

#include "ui/FolderEdit.h"
#include "ui/QtPagePanel.h"
#include "wizard/ArchiverPathSelectionPage.h"

namespace tv {

class QtArchiverPathSelectionPage : public QtPagePanel {
    Q_OBJECT
public:
    explicit QtArchiverPathSelectionPage(QWidget* parent = nullptr);

    CFolderEdit* PathBox() const { return path_; }

private:
    CArchiverPathSelectionPage choice_;
    QGroupBox* box_;
    QLabel* label_;
    CFolderEdit* path_;
};

}  // namespace tv
