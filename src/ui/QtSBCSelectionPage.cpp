#include "ui/QtSBCSelectionPage.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QVBoxLayout>

#include "app/StartUp.h"
#include "ui/PageStyle.h"

namespace tv {

QtSBCSelectionPage::QtSBCSelectionPage(QWidget* parent)
    : QtSBCSelectionPage(std::make_unique<CSBCSelectionPage>(), kPageSbcSelection, parent) {}

QtSBCSelectionPage::QtSBCSelectionPage(std::unique_ptr<CSBCSelectionPage> page, int pageId, QWidget* parent)
    : QtPagePanel(pageId, *page, parent), card_(std::move(page)) {
    setStyleSheet(PageStyleSheet());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 22, 28, 22);
    box_ = MakeGuideBox(this);
    auto* inner = new QVBoxLayout(box_);
    inner->setSpacing(12);
    list_ = new QComboBox(box_);
    list_->setMinimumWidth(360);
    list_->setFont(textFont_);
    auto* listRow = new QHBoxLayout();
    listRow->addWidget(list_);
    listRow->addStretch(1);
    inner->addLayout(listRow);
    auto* fillRow = new QHBoxLayout();
    fillIcon_ = new QLabel(box_);
    fillIcon_->setPixmap(style()->standardIcon(QStyle::SP_DriveFDIcon).pixmap(20, 20));
    fill_ = new QProgressBar(box_);
    fill_->setRange(0, 100);
    fill_->setFixedWidth(320);
    fill_->setFormat(QStringLiteral("%p %"));
    fillRow->addWidget(fillIcon_);
    fillRow->addWidget(fill_);
    fillRow->addStretch(1);
    inner->addLayout(fillRow);
    inner->addStretch(1);
    layout->addWidget(box_);
    layout->addStretch(1);
    fill_->hide();
    fillIcon_->hide();
    Add(kCtlCardGroup, box_);
    Add(kCtlCardList, list_);
    // The verification's template has no fill level.
    if (pageId == kPageSbcSelection) {
        Add(kCtlFillLevel, fill_);
        Add(kCtlFillPicture, fillIcon_);
    }
}

}  // namespace tv
