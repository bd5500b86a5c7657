#include "ui/QtPartialArchiverPage.h"

#include "app/StartUp.h"
#include "log/LogFile.h"

namespace tv {

QtPartialArchiverPage::QtPartialArchiverPage(QWidget* parent)
    : QtArchiverRunPage(kPagePartialArchiver, kModPartialArchiverPage, true, parent) {}

}  // namespace tv
