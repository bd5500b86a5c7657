#include "archive/PartialArchiverZT4.h"

#include "app/AppContext.h"
#include "archive/SmcProfile.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "smc/SmcAccess.h"
#include "store/BoundaryVerification.h"

namespace tv {

namespace {
constexpr char kFailed[] = "Continue from last archive operation failed";
}

bool CPartialArchiverZT4::ReadLastArchived() {
    const ProfileCard card{storeInfo.smcUid, storeInfo.scaleSerialNumber, printableUid, true};
    return ReadLastArchivedBlock(ctx, kModPartialZt4, card, lastArchived);
}

bool CPartialArchiverZT4::VerifyBoundaryBlocks(uint32_t lastIndex, int& result) {
    // The run has read the profile; without its value there is no start.
    if (lastArchived == 0) {
        TV_LOG_ERROR(kModPartialZt4, "Boundary block verification failed");
        return false;
    }
    BlockBoundaries b;
    const BoundaryScan scan{kModPartialZt4, [this] { PumpAndCheckAbort(); }};
    const bool ok = VerifyZt4ContinueBoundaries(ctx, lastArchived + 1, lastIndex, scan, b, result);
    TakeBoundaries(b);
    return ok;
}

bool CPartialArchiverZT4::Run(ProgressView* progress, int& result, ResultList* results, StatusView* status) {
    ResetFields();
    lastArchived = 0;
    TV_LOG_INFO(kModPartialZt4, "Continue from last archive operation started");
    auto stop = [&](const char* message = kFailed) {
        TV_LOG_ERROR(kModPartialZt4, message);
        return false;
    };
    WormUsage usage;
    if (!CheckSmcUsage(ctx, usage)) {
        result = kArchiveUsageUnreadable;
        return stop();
    }
    if (usage.nextWriteIndex == 0) {
        TV_LOG_ERROR(kModPartialZt4, "No data in SMC");
        result = kArchiveNoData;
        return stop("Continue from last archival process failed");
    }
    char printable[33] = {};
    if (!WORM_GET_PRINTABLE_UID(ctx.worm.get(), printable)) {
        TV_LOG_ERROR(kModPartialZt4, "Reading printable UID from SMC is failed");
        return stop();
    }
    printableUid = printable;
    if (!CheckPublicKeyIntegrity(usage.nextWriteIndex)) {
        result = kArchiveDataCheckFailed;
        return stop("Continue from last archival process failed");
    }
    if (!ReadLastArchived()) return stop();
    const uint64_t start = uint64_t{lastArchived} + 1;
    if (start == usage.nextWriteIndex) {
        result = 1;  // "No new data in SMC"
        TV_LOG_ERROR(kModPartialZt4, "No new data in SMC");
        return stop();
    }
    if (start > usage.nextWriteIndex) {
        // The profile speaks of more than the card holds.
        result = kArchiveDataCheckFailed;
        return stop();
    }
    if (!VerifyBoundaryBlocks(usage.lastWriteIndex, result)) return stop();
    if (!InitArchive(result, progress, results, status)) return stop();
    if (!WritePreamble(usage.nextWriteIndex, result)) return stop();
    SetPleaseWaitText(status, 123);

    const auto first = static_cast<uint32_t>(start);
    if (!CreateArchive(usage.nextWriteIndex - first, usage.lastWriteIndex, first, result, progress, results, status)) {
        return FailRun(kModPartialZt4, kFailed, results);
    }
    return FinishRun(kModPartialZt4, true, kFailed, kFailed, "Continue from last archive operation finished", results,
                     status);
}

}  // namespace tv
