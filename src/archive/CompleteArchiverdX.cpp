#include "archive/CompleteArchiverdX.h"

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "smc/SmcAccess.h"
#include "store/BoundaryVerification.h"

namespace tv {

namespace {
constexpr char kFailed[] = "Complete archive operation failed";
}

bool CCompleteArchiverdX::VerifyBoundaryBlocks(uint32_t lastIndex, int& result) {
    BlockBoundaries b;
    const BoundaryScan scan{kModCompleteDx, [this] { PumpAndCheckAbort(); }};
    const bool ok = VerifyDxCompleteBoundaries(ctx, lastIndex, scan, b, result);
    TakeBoundaries(b);
    if (b.lastBlock != 0) lastBlock = b.lastBlock;
    return ok;
}

bool CCompleteArchiverdX::Run(ProgressView* progress, int& result, ResultList* results, StatusView* status) {
    ResetFields();
    if (archiveUpToEnd) lastBlock = 0;
    TV_LOG_INFO(kModCompleteDx, "Complete archive operation started");

    WormUsage usage;
    if (!CheckSmcUsage(ctx, usage)) {
        result = kArchiveUsageUnreadable;
        TV_LOG_ERROR(kModCompleteDx, kFailed);
        return false;
    }
    if (usage.nextWriteIndex == 0) {
        result = kArchiveNoData;
        TV_LOG_ERROR(kModCompleteDx, "No data in SMC");
        TV_LOG_ERROR(kModCompleteDx, kFailed);
        return false;
    }
    char printable[33] = {};
    if (!WORM_GET_PRINTABLE_UID(ctx.worm.get(), printable)) {
        TV_LOG_ERROR(kModCompleteDx, "Reading printable UID from SMC is failed");
        TV_LOG_ERROR(kModCompleteDx, "Complete archival process failed");
        return false;
    }
    printableUid = printable;
    if (archiveUpToEnd) lastBlock = usage.nextWriteIndex - 1;

    if (!VerifyBoundaryBlocks(lastBlock, result)) {
        TV_LOG_ERROR(kModCompleteDx, kFailed);
        return false;
    }
    if (!CheckPublicKeyIntegrity(usage.nextWriteIndex)) {
        result = kArchiveDataCheckFailed;
        TV_LOG_ERROR(kModCompleteDx, kFailed);
        return false;
    }
    if (!InitArchive(result, progress, results, status)) {
        TV_LOG_ERROR(kModCompleteDx, "Archive initialization process failed");
        TV_LOG_ERROR(kModCompleteDx, kFailed);
        return false;
    }
    const uint32_t searchLimit = archiveUpToEnd ? usage.lastWriteIndex : lastBlock;
    SetPleaseWaitText(status, 123);

    if (!CreateArchive(lastBlock + 1, searchLimit, 0, result, progress, results, status)) {
        return FailRun(kModCompleteDx, kFailed, results);
    }
    return FinishRun(kModCompleteDx, true, kFailed, kFailed, "Complete archive operation finished", results, status);
}

}  // namespace tv
