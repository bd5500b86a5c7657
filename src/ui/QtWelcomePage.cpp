#include "ui/QtWelcomePage.h"

#include <QVBoxLayout>

#include "app/StartUp.h"
#include "ui/PageStyle.h"

namespace tv {

QtWelcomePage::QtWelcomePage(QWidget* parent) : QtPagePanel(kPageWelcome, welcome_, parent) {
    setStyleSheet(PageStyleSheet());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 22, 28, 22);
    box_ = MakeGuideBox(this);
    auto* inner = new QVBoxLayout(box_);
    inner->setSpacing(6);
    newArchive_ = new QRadioButton(box_);
    existing_ = new QRadioButton(box_);
    withoutSmc_ = new QCheckBox(box_);
    logValidation_ = new QRadioButton(box_);
    inner->addWidget(newArchive_);
    inner->addWidget(existing_);
    auto* indent = new QHBoxLayout();
    indent->setContentsMargins(26, 0, 0, 0);
    indent->addWidget(withoutSmc_);
    inner->addLayout(indent);
    inner->addWidget(logValidation_);
    inner->addStretch(1);
    layout->addWidget(box_);
    layout->addStretch(1);
    withoutSmc_->hide();
    Add(kCtlOperationGroup, box_);
    Add(kCtlNewArchive, newArchive_);
    Add(kCtlExistingArchive, existing_);
    Add(kCtlWithoutSmc, withoutSmc_);
    Add(kCtlLogValidation, logValidation_);
}

}  // namespace tv
