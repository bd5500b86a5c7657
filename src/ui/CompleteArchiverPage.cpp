#include "ui/CompleteArchiverPage.h"

#include "app/StartUp.h"
#include "log/LogFile.h"

namespace tv {

CCompleteArchiverPage::CCompleteArchiverPage(QWidget* parent)
    : CArchiverRunPage(kPageCompleteArchiver, kModCompleteArchiverPage, true, parent) {}

}  // namespace tv
