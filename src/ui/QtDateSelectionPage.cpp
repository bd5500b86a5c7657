#include "ui/QtDateSelectionPage.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "app/StartUp.h"
#include "ui/PageStyle.h"

namespace tv {

namespace {

QDateEdit* MakePicker(QWidget* parent, const QFont& font) {
    auto* picker = new QDateEdit(parent);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    picker->setFont(font);
    picker->setMinimumWidth(150);
    return picker;
}

}  // namespace

QtDateSelectionPage::QtDateSelectionPage(QWidget* parent) : QtPagePanel(kPageDateSelection, dates_, parent) {
    setStyleSheet(PageStyleSheet());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 22, 28, 22);
    box_ = MakeGuideBox(this);
    auto* grid = new QGridLayout(box_);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);
    fromLabel_ = new QLabel(box_);
    toLabel_ = new QLabel(box_);
    fromLabel_->setFont(textFont_);
    toLabel_->setFont(textFont_);
    from_ = MakePicker(box_, textFont_);
    to_ = MakePicker(box_, textFont_);
    status_ = new QLabel(box_);
    status_->setFont(textFont_);
    status_->setTextFormat(Qt::PlainText);
    status_->setFocusPolicy(Qt::StrongFocus);
    status_->setMinimumHeight(QFontMetrics(textFont_).height() + 4);
    grid->addWidget(fromLabel_, 0, 0);
    grid->addWidget(from_, 0, 1);
    grid->addWidget(toLabel_, 1, 0);
    grid->addWidget(to_, 1, 1);
    grid->addWidget(status_, 2, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(3, 1);
    layout->addWidget(box_);
    layout->addStretch(1);
    Add(kCtlDateRangeBox, box_);
    Add(kCtlFromLabel, fromLabel_);
    Add(kCtlToLabel, toLabel_);
    Add(kCtlFromDate, from_);
    Add(kCtlToDate, to_);
    Add(kCtlDateStatus, status_);
}

}  // namespace tv
