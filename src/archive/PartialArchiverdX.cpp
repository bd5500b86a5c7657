#include "archive/PartialArchiverdX.h"

#include "log/LogFile.h"

namespace tv {

bool CPartialArchiverdX::Run(ProgressView*, int&, ResultList*, StatusView*) {
    return OperationNotAvailable(kModPartialDx, "Continue from last archive of dX cards");
}

bool CPartialArchiverdX::VerifyBoundaryBlocks(uint32_t, int&) { return OperationNotAvailable(kModPartialDx, "Continue from last archive of dX cards"); }

}  // namespace tv
