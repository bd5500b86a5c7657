#include "archive/DateBasedArchiverZT4.h"

#include "log/LogFile.h"

namespace tv {

bool CDateBasedArchiverZT4::Run(ProgressView*, int&, ResultList*, StatusView*) {
    return OperationNotAvailable(kModDateBasedZt4, "Date based archive of ZT4 cards");
}

bool CDateBasedArchiverZT4::VerifyBoundaryBlocks(uint32_t, int&) { return OperationNotAvailable(kModDateBasedZt4, "Date based archive of ZT4 cards"); }

}  // namespace tv
