#include "ui/QtArchiverPathSelectionPage.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "app/StartUp.h"
#include "ui/PageStyle.h"

namespace tv {

QtArchiverPathSelectionPage::QtArchiverPathSelectionPage(QWidget* parent)
    : QtPagePanel(kPageArchiverPathSelection, choice_, parent) {
    setStyleSheet(PageStyleSheet());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 22, 28, 22);
    box_ = MakeGuideBox(this);
    auto* grid = new QGridLayout(box_);
    grid->setHorizontalSpacing(8);
    label_ = new QLabel(box_);
    label_->setFont(textFont_);
    path_ = new CFolderEdit(box_);
    path_->setFont(textFont_);
    path_->setMinimumWidth(420);
    grid->addWidget(label_, 0, 0);
    grid->addWidget(path_, 0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    layout->addWidget(box_);
    layout->addStretch(1);
    Add(kCtlArchivePathBox, box_);
    Add(kCtlArchivePathLabel, label_);
    Add(kCtlArchivePath, path_);
    Controls().NextOnEnter(kCtlArchivePath);
}

}  // namespace tv
