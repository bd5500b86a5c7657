#include "wizard/CompleteArchiverPage.h"

#include "app/StartUp.h"
#include "log/LogFile.h"

namespace tv {

CCompleteArchiverPage::CCompleteArchiverPage() : CArchiverRunPage(kPageCompleteArchiver, kModCompleteArchiverPage, kCtlCompleteProgress, true) {}

}  // namespace tv
