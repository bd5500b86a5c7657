#include "ui/QtArchiverRunPage.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <utility>

#include "ui/PageStyle.h"

namespace tv {

namespace {

constexpr int kPictureSize = 28;

}  // namespace

QtArchiverRunPage::QtArchiverRunPage(std::unique_ptr<CArchiverRunPage> run, int pageId, QWidget* parent)
    : QtPagePanel(pageId, *run, parent), run_(std::move(run)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(10);
    auto* statusRow = new QHBoxLayout();
    picture_ = new CResultPicture(kPictureSize, this);
    picture_->hide();
    status_ = new CStatusLine(this);
    statusRow->addWidget(picture_);
    statusRow->addWidget(status_, 1);
    layout->addLayout(statusRow);
    progress_ = MakeRunProgressBar(this);
    layout->addWidget(progress_);
    message_ = new QLabel(this);
    message_->setStyleSheet(QStringLiteral("color: rgb(190,20,20);"));
    message_->setWordWrap(true);
    layout->addWidget(message_);
    list_ = MakeResultList(this);
    SetResultColumns(list_, 4);
    list_->hide();
    layout->addWidget(list_, 1);
    layout->addStretch(0);
    const std::pair<int, QWidget*> controls[] = {{kCtlRunStatus, status_},
                                                 {kCtlRunResultPicture, picture_},
                                                 {run_->ProgressControl(), progress_},
                                                 {kCtlRunMessage, message_},
                                                 {kCtlRunResultList, list_}};
    for (const auto& [id, widget] : controls) Add(id, widget);
}

}  // namespace tv
