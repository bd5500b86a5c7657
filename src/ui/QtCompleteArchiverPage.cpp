#include "ui/QtCompleteArchiverPage.h"

#include "app/StartUp.h"
#include "log/LogFile.h"

namespace tv {

QtCompleteArchiverPage::QtCompleteArchiverPage(QWidget* parent)
    : QtArchiverRunPage(kPageCompleteArchiver, kModCompleteArchiverPage, true, parent) {}

}  // namespace tv
