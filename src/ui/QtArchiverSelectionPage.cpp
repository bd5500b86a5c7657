#include "ui/QtArchiverSelectionPage.h"

#include <QVBoxLayout>

#include "app/StartUp.h"
#include "ui/PageStyle.h"

namespace tv {

QtArchiverSelectionPage::QtArchiverSelectionPage(QWidget* parent)
    : QtPagePanel(kPageArchiverSelection, choice_, parent) {
    setStyleSheet(PageStyleSheet());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 22, 28, 22);
    box_ = MakeGuideBox(this);
    auto* inner = new QVBoxLayout(box_);
    inner->setSpacing(6);
    complete_ = new QRadioButton(box_);
    continue_ = new QRadioButton(box_);
    info_ = new QLabel(box_);
    dateBased_ = new QRadioButton(box_);
    for (QWidget* w : {static_cast<QWidget*>(complete_), static_cast<QWidget*>(continue_),
                       static_cast<QWidget*>(info_), static_cast<QWidget*>(dateBased_)}) {
        w->setFont(textFont_);
    }
    // The previous archive's dates sit under the continue choice, indented
    // like its text.
    info_->setContentsMargins(26, 0, 0, 6);
    info_->setTextFormat(Qt::PlainText);
    info_->setStyleSheet(QStringLiteral("color: rgb(20,60,142);"));
    inner->addWidget(complete_);
    inner->addWidget(continue_);
    inner->addWidget(info_);
    inner->addWidget(dateBased_);
    inner->addStretch(1);
    layout->addWidget(box_);
    layout->addStretch(1);
    info_->hide();
    continue_->setEnabled(false);
    complete_->setChecked(true);
    Add(kCtlArchiveChoiceBox, box_);
    Add(kCtlCompleteArchive, complete_);
    Add(kCtlContinueArchive, continue_);
    Add(kCtlPreviousArchiveInfo, info_);
    Add(kCtlDateBasedArchive, dateBased_);
}

}  // namespace tv
