#include "ui/QtCompleteArchiverPage.h"

#include "app/StartUp.h"
#include "wizard/CompleteArchiverPage.h"

namespace tv {

QtCompleteArchiverPage::QtCompleteArchiverPage(QWidget* parent)
    : QtArchiverRunPage(std::make_unique<CCompleteArchiverPage>(), kPageCompleteArchiver, parent) {}

}  // namespace tv
