#include "ui/QtVerificationFileFolderSelectionPage.h"

#include <QGridLayout>
#include <QVBoxLayout>
#include <utility>

#include "app/StartUp.h"
#include "ui/PageStyle.h"

namespace tv {

QtVerificationFileFolderSelectionPage::QtVerificationFileFolderSelectionPage(QWidget* parent)
    : QtPagePanel(kPageVerificationFileFolderSelection, choice_, parent) {
    setStyleSheet(PageStyleSheet());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 22, 28, 22);
    box_ = MakeGuideBox(this);
    auto* grid = new QGridLayout(box_);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(10);
    label_ = new QLabel(box_);
    path_ = new QLineEdit(box_);
    path_->setFont(textFont_);
    path_->setMinimumWidth(380);
    browse_ = new QPushButton(box_);
    browse_->setAutoDefault(false);
    folder_ = new QCheckBox(box_);
    allFindings_ = new QCheckBox(box_);
    logLabel_ = new QLabel(box_);
    logPath_ = new QLineEdit(box_);
    logPath_->setFont(textFont_);
    logBrowse_ = new QPushButton(box_);
    logBrowse_->setAutoDefault(false);
    logHint_ = new QLabel(box_);
    logHint_->setWordWrap(true);
    logHint_->setStyleSheet(QStringLiteral("color: rgb(90,90,90);"));
    grid->addWidget(label_, 0, 0);
    grid->addWidget(path_, 0, 1);
    grid->addWidget(browse_, 0, 2);
    grid->addWidget(folder_, 1, 1);
    grid->addWidget(allFindings_, 2, 1);
    grid->addWidget(logLabel_, 3, 0);
    grid->addWidget(logPath_, 3, 1);
    grid->addWidget(logBrowse_, 3, 2);
    grid->addWidget(logHint_, 4, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(5, 1);
    layout->addWidget(box_);
    layout->addStretch(1);
    using Page = CVerificationFileFolderSelectionPage;
    const std::pair<int, QWidget*> controls[] = {
        {Page::kCtlGroup, box_},          {Page::kCtlLabel, label_},       {Page::kCtlPath, path_},
        {Page::kCtlBrowse, browse_},      {Page::kCtlChooseFolder, folder_}, {Page::kCtlAllFindings, allFindings_},
        {Page::kCtlLogLabel, logLabel_},  {Page::kCtlLogPath, logPath_},   {Page::kCtlLogBrowse, logBrowse_},
        {Page::kCtlLogHint, logHint_}};
    for (const auto& [id, widget] : controls) Add(id, widget);
    Controls().NextOnEnter(Page::kCtlPath);
    Controls().NextOnEnter(Page::kCtlLogPath);
}

}  // namespace tv
