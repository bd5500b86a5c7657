#include "archive/DateBasedArchiverdX.h"

#include "log/LogFile.h"

namespace tv {

bool CDateBasedArchiverdX::Run(ProgressView*, int&, ResultList*, StatusView*) {
    return OperationNotAvailable(kModDateBasedDx, "Date based archive of dX cards");
}

bool CDateBasedArchiverdX::VerifyBoundaryBlocks(uint32_t, int&) { return OperationNotAvailable(kModDateBasedDx, "Date based archive of dX cards"); }

}  // namespace tv
