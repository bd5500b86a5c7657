#include "wizard/PartialArchiverPage.h"

#include "app/StartUp.h"
#include "log/LogFile.h"

namespace tv {

CPartialArchiverPage::CPartialArchiverPage() : CArchiverRunPage(kPagePartialArchiver, kModPartialArchiverPage, kCtlPartialProgress, true) {}

}  // namespace tv
