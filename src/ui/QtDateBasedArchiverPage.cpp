#include "ui/QtDateBasedArchiverPage.h"

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "log/LogFile.h"

namespace tv {

QtDateBasedArchiverPage::QtDateBasedArchiverPage(QWidget* parent)
    : QtArchiverRunPage(kPageDateBasedArchiver, kModDateBasedArchiverPage, false, parent) {}

bool QtDateBasedArchiverPage::RangeUnavailable(const AppContext& ctx) const { return ctx.dateRangeUnavailable; }

}  // namespace tv
