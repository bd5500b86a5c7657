#include "archive/CompleteArchiverZT4.h"

#include "log/LogFile.h"

namespace tv {

bool CCompleteArchiverZT4::Run(ProgressView*, int&, ResultList*, StatusView*) {
    return OperationNotAvailable(kModCompleteZt4, "Complete archive of ZT4 cards");
}

bool CCompleteArchiverZT4::VerifyBoundaryBlocks(uint32_t, int&) { return OperationNotAvailable(kModCompleteZt4, "Complete archive of ZT4 cards"); }

}  // namespace tv
