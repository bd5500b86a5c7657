#include "archive/CompleteArchiverZT4.h"

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "smc/SmcAccess.h"
#include "store/BoundaryVerification.h"

namespace tv {

namespace {
constexpr char kFailed[] = "Complete archival process failed";
}

bool CCompleteArchiverZT4::VerifyBoundaryBlocks(uint32_t lastIndex, int& result) {
    BlockBoundaries b;
    const BoundaryScan scan{kModCompleteZt4, [this] { PumpAndCheckAbort(); }};
    const bool ok = VerifyZt4CompleteBoundaries(ctx, lastIndex, scan, b, result);
    TakeBoundaries(b);
    return ok;
}

bool CCompleteArchiverZT4::Run(ProgressView* progress, int& result, ResultList* results, StatusView* status) {
    ResetFields();
    TV_LOG_INFO(kModCompleteZt4, "Complete archival process started");
    auto stop = [&] {
        TV_LOG_ERROR(kModCompleteZt4, kFailed);
        return false;
    };
    WormUsage usage;
    if (!CheckSmcUsage(ctx, usage)) {
        result = kArchiveUsageUnreadable;
        return stop();
    }
    if (usage.nextWriteIndex == 0) {
        result = kArchiveNoData;
        TV_LOG_ERROR(kModCompleteZt4, "No data in SMC");
        return stop();
    }
    char printable[33] = {};
    if (!WORM_GET_PRINTABLE_UID(ctx.worm.get(), printable)) {
        TV_LOG_ERROR(kModCompleteZt4, "Reading printable UID from SMC is failed");
        return stop();
    }
    printableUid = printable;
    if (!VerifyBoundaryBlocks(usage.lastWriteIndex, result)) return stop();
    if (!CheckPublicKeyIntegrity(usage.nextWriteIndex)) {
        result = kArchiveDataCheckFailed;
        return stop();
    }
    if (!InitArchive(result, progress, results, status)) return stop();
    SetPleaseWaitText(status, 123);

    if (!CreateArchive(usage.nextWriteIndex, usage.lastWriteIndex, 0, result, progress, results, status)) {
        return FailRun(kModCompleteZt4, kFailed, results);
    }
    return FinishRun(kModCompleteZt4, true, kFailed, "Complete archive operation failed",
                     "Complete archival process finished", results, status);
}

}  // namespace tv
