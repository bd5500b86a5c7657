#include "ui/QtDateBasedArchiverPage.h"

#include "app/StartUp.h"
#include "wizard/DateBasedArchiverPage.h"

namespace tv {

QtDateBasedArchiverPage::QtDateBasedArchiverPage(QWidget* parent)
    : QtArchiverRunPage(std::make_unique<CDateBasedArchiverPage>(), kPageDateBasedArchiver, parent) {}

}  // namespace tv
