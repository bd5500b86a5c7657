#include "wizard/DateBasedArchiverPage.h"

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "log/LogFile.h"

namespace tv {

CDateBasedArchiverPage::CDateBasedArchiverPage()
    : CArchiverRunPage(kPageDateBasedArchiver, kModDateBasedArchiverPage, kCtlDateBasedProgress, false) {}

bool CDateBasedArchiverPage::RangeUnavailable(const AppContext& ctx) const { return ctx.dateRangeUnavailable; }

}  // namespace tv
