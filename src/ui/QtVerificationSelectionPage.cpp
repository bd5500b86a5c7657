#include "ui/QtVerificationSelectionPage.h"

#include <QVBoxLayout>

#include "app/StartUp.h"
#include "ui/PageStyle.h"

namespace tv {

QtVerificationSelectionPage::QtVerificationSelectionPage(QWidget* parent)
    : QtPagePanel(kPageVerificationSelection, choice_, parent) {
    setStyleSheet(PageStyleSheet());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 22, 28, 22);
    box_ = MakeGuideBox(this);
    auto* inner = new QVBoxLayout(box_);
    usingSmc_ = new QRadioButton(box_);
    standalone_ = new QRadioButton(box_);
    inner->addWidget(usingSmc_);
    inner->addWidget(standalone_);
    inner->addStretch(1);
    layout->addWidget(box_);
    layout->addStretch(1);
    Add(kCtlVerificationChoiceGroup, box_);
    Add(kCtlVerifyUsingSmc, usingSmc_);
    Add(kCtlStandaloneVerification, standalone_);
}

}  // namespace tv
