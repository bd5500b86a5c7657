#include "archive/PartialArchiverZT4.h"

#include "log/LogFile.h"

namespace tv {

bool CPartialArchiverZT4::Run(ProgressView*, int&, ResultList*, StatusView*) {
    return OperationNotAvailable(kModPartialZt4, "Continue from last archive of ZT4 cards");
}

bool CPartialArchiverZT4::VerifyBoundaryBlocks(uint32_t, int&) { return OperationNotAvailable(kModPartialZt4, "Continue from last archive of ZT4 cards"); }

}  // namespace tv
