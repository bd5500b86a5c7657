#include "ui/DateBasedArchiverPage.h"

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "log/LogFile.h"

namespace tv {

CDateBasedArchiverPage::CDateBasedArchiverPage(QWidget* parent)
    : CArchiverRunPage(kPageDateBasedArchiver, kModDateBasedArchiverPage, false, parent) {}

bool CDateBasedArchiverPage::RangeUnavailable(const AppContext& ctx) const { return ctx.dateRangeUnavailable; }

}  // namespace tv
