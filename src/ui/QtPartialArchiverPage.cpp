#include "ui/QtPartialArchiverPage.h"

#include "app/StartUp.h"
#include "wizard/PartialArchiverPage.h"

namespace tv {

QtPartialArchiverPage::QtPartialArchiverPage(QWidget* parent)
    : QtArchiverRunPage(std::make_unique<CPartialArchiverPage>(), kPagePartialArchiver, parent) {}

}  // namespace tv
