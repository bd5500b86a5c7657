#include "archive/PartialArchiverdX.h"

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

bool CPartialArchiverdX::ReadLastArchived() {
    const ProfileCard card{storeInfo.smcUid, storeInfo.scaleSerialNumber, printableUid, false};
    return ReadLastArchivedBlock(ctx, kModPartialDx, card, lastArchived);
}

bool CPartialArchiverdX::VerifyBoundaryBlocks(uint32_t lastIndex, int& result) {
    if (!ReadLastArchived()) {
        TV_LOG_ERROR(kModPartialDx, "Boundary block verification failed");
        return false;
    }
    BlockBoundaries b;
    const BoundaryScan scan{kModPartialDx, [this] { PumpAndCheckAbort(); }};
    const bool ok = VerifyDxContinueBoundaries(ctx, lastArchived, lastIndex, scan, b, result);
    TakeBoundaries(b);
    if (b.lastBlock != 0) lastBlock = b.lastBlock;
    return ok;
}

bool CPartialArchiverdX::Run(ProgressView* progress, int& result, ResultList* results, StatusView* status) {
    ResetFields();
    if (archiveUpToEnd == kUpToEnd) lastBlock = 0;
    TV_LOG_INFO(kModPartialDx, "Continue from last archive operation started");

    WormUsage usage;
    if (!CheckSmcUsage(ctx, usage)) {
        result = kArchiveUsageUnreadable;
        TV_LOG_ERROR(kModPartialDx, kFailed);
        return false;
    }
    if (usage.nextWriteIndex == 0) {
        TV_LOG_ERROR(kModPartialDx, "No data in SMC");
        TV_LOG_ERROR(kModPartialDx, kFailed);
        result = kArchiveNoData;
        return false;
    }
    char printable[33] = {};
    if (!WORM_GET_PRINTABLE_UID(ctx.worm.get(), printable)) {
        TV_LOG_ERROR(kModPartialDx, "Reading printable UID from SMC is failed");
        TV_LOG_ERROR(kModPartialDx, kFailed);
        return false;
    }
    printableUid = printable;
    if (!CheckPublicKeyIntegrity(usage.nextWriteIndex)) {
        result = kArchiveDataCheckFailed;
        TV_LOG_ERROR(kModPartialDx, kFailed);
        return false;
    }
    if (archiveUpToEnd == kUpToEnd) lastBlock = usage.nextWriteIndex - 1;

    if (!VerifyBoundaryBlocks(lastBlock, result)) {
        // When the last archive already reaches the last signature incident
        // block, stopping at the last closure would archive nothing new.
        uint32_t archived = 0;
        const ProfileCard card{storeInfo.smcUid, storeInfo.scaleSerialNumber, printableUid, false};
        if (ReadLastArchivedBlock(ctx, kModPartialDx, card, archived) && archived >= lastIncident) {
            archiveUpToEnd = kNothingToClose;
        }
        TV_LOG_ERROR(kModPartialDx, kFailed);
        return false;
    }
    if (!ReadLastArchived()) {
        TV_LOG_ERROR(kModPartialDx, kFailed);
        return false;
    }
    const uint32_t start = lastArchived;
    if (!InitArchive(result, progress, results, status) || !WriteOriginOfTrustInfo(start)) {
        TV_LOG_ERROR(kModPartialDx, kFailed);
        return false;
    }
    const uint32_t searchLimit = archiveUpToEnd == kUpToEnd ? usage.lastWriteIndex : lastBlock;
    SetPleaseWaitText(status, 123);

    if (!CreateArchive(lastBlock - start + 1, searchLimit, start, result, progress, results, status)) return FailRun(kModPartialDx, kFailed, results);
    return FinishRun(kModPartialDx, true, kFailed, kFailed, "Continue from last archive operation finished", results,
                     status);
}

}  // namespace tv
