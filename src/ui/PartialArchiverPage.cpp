#include "ui/PartialArchiverPage.h"

#include "app/StartUp.h"
#include "log/LogFile.h"

namespace tv {

CPartialArchiverPage::CPartialArchiverPage(QWidget* parent)
    : CArchiverRunPage(kPagePartialArchiver, kModPartialArchiverPage, true, parent) {}

}  // namespace tv
