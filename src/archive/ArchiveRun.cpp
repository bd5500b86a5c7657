#include "archive/ArchiveRun.h"

#include <cstdio>
#include <optional>

#include "app/AppContext.h"
#include "app/PublishJournal.h"
#include "app/PublishRecovery.h"
#include "archive/CompleteArchiverdX.h"
#include "archive/DateRange.h"
#include "archive/PartialArchiverdX.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "smc/SmcAccess.h"

namespace tv {

namespace {

// "date][time" of the closure block at lastClosure, e.g. 2019-06-30][18:05.
std::u16string ClosureText(AppContext& ctx, uint32_t lastClosure) {
    // A sector that cannot be read is logged by the read; the question is still asked.
    char sector[512] = {};
    GetSmcBlocks(ctx, 1, sector, lastClosure);
    return ToUtf16(std::string(sector + 22, 10) + "][" + std::string(sector + 33, 5));
}

// A dX run that stopped because the newest receipts are not closed may run again
// up to the last closure, if the user agrees.
template <typename Run>
bool RetryUpToLastClosure(AppContext& ctx, Run& run, int module, const char* choiceLog, ArchiveRunOutcome& outcome,
                          ProgressView* progress, ResultList* results, StatusView* status) {
    const std::u16string closure = ClosureText(ctx, run.lastClosure);
    if (!AskArchiveUntilClosure(closure)) return false;
    TV_LOG_INFO(module, std::string(choiceLog) + " [" + ToNarrow(closure) + "]");
    run.archiveUpToEnd = 0;
    outcome.result = kArchiveOtherFailure;
    outcome.success = run.Run(progress, outcome.result, results, status);
    run.archiveUpToEnd = 1;
    return true;
}

// The message line of a date-based run whose range could not be prepared.
std::u16string RangeFailureMessage(int result) {
    switch (result) {
        case kArchiveNoData: return GetMessageText(184);
        case kArchiveNoClosure: return GetMessageText(185);
        case kArchiveUsageUnreadable: return GetMessageText(213);
        case kArchiveDataCheckFailed: return GetMessageText(186);
        default: {
            char message[64];
            std::snprintf(message, sizeof message, "ResultType : %d", result);
            TV_LOG_ERROR(kModDateBasedArchiverPage, message);
            return {};
        }
    }
}

}  // namespace

std::u16string ArchiveResultMessage(AppContext& ctx, int result) {
    switch (result) {
        case 1: return GetMessageText(183);
        case kArchiveDataCheckFailed: return GetMessageText(186);
        case kArchiveNoSignature:
        case kArchiveNoClosure: return GetMessageText(185);
        case kArchiveCorrupted: return GetMessageText(135);
        case kArchiveNoData: return GetMessageText(184);
        case kArchiveRefused: return GetMessageText(216);
        case kArchiveFolderMissing: return GetMessageText(150) + u" (" + ToUtf16(ctx.archivePath) + u")";
        case kArchiveUsageUnreadable: return GetMessageText(213);
        case kArchivePathTooLong: return GetMessageText(229);
        case kArchiveOtherFailure: return {};
        default: {
            char message[64];
            std::snprintf(message, sizeof message, "ResultType : %d", result);
            TV_LOG_ERROR(kModCompleteArchiverPage, message);
            return {};
        }
    }
}

ArchiveRunOutcome RunCurrentArchiver(AppContext& ctx, ProgressView* progress, ResultList* results,
                                     StatusView* status) {
    ArchiveRunOutcome outcome;
    SetPleaseWaitText(status, 123);
    CBaseArchiver* archiver = ctx.currentArchiver.get();
    if (archiver == nullptr) {
        TV_LOG_ERROR(kModCompleteArchiverPage, "Archive element not found");
        outcome.statusText = GetMessageText(126);
        return outcome;
    }
    if (auto* range = dynamic_cast<CDateRange*>(archiver); range != nullptr && ctx.dateRangeUnavailable) {
        ctx.dateRangeUnavailable = false;
        // A preparation that failed without a code of its own is still a failure.
        outcome.result = range->rangeResult != 0 ? range->rangeResult : kArchiveOtherFailure;
        outcome.statusText = GetMessageText(126);
        outcome.messageLine = RangeFailureMessage(range->rangeResult);
        return outcome;
    }
    outcome.result = kArchiveOtherFailure;
    RecoverInterruptedPublishing(ctx);
    // The run's work folder goes with the run once nothing is left in it (a ZT4
    // archive that could not be copied stays there).
    // Holds no context: an abort ends the context before the program.
    struct RemoveEmptyWorkFolder {
        Platform& p;
        std::string work;
        ~RemoveEmptyWorkFolder() {
            std::vector<DirEntry> entries;
            if (p.ListFolder(work, "*", entries) && entries.empty()) p.RemoveDirectory(work);
        }
    } removeEmptyWorkFolder{ctx.platform, RunWorkFolder(ctx)};
    // From here until the run has finished in its archive folder, a kill leaves
    // a note that makes the next start-up look there, whichever folder it is.
    std::optional<PublishingNote> note;
    note.emplace(ctx.platform, GetDataFolder(), ctx.archivePath);
    LogFile::Instance().ClearFirstError();
    outcome.success = archiver->Run(progress, outcome.result, results, status);

    const bool unclosed = outcome.result == kArchiveNoSignature || outcome.result == kArchiveNoClosure;
    if (!outcome.success && unclosed) {
        if (auto* complete = dynamic_cast<CCompleteArchiverdX*>(archiver); complete != nullptr && complete->lastBlock > 6) {
            RetryUpToLastClosure(ctx, *complete, kModCompleteArchiverPage,
                                 "As per user choice, Tallyvault will archive till last closure", outcome, progress,
                                 results, status);
        } else if (auto* partial = dynamic_cast<CPartialArchiverdX*>(archiver);
                   partial != nullptr && partial->lastBlock > 6 &&
                   partial->archiveUpToEnd != CPartialArchiverdX::kNothingToClose) {
            RetryUpToLastClosure(ctx, *partial, kModPartialArchiverPage,
                                 "As per user's choice, Tallyvault will archive till last closure", outcome, progress,
                                 results, status);
        }
    }
    if (auto* partial = dynamic_cast<CPartialArchiverdX*>(archiver)) partial->archiveUpToEnd = CPartialArchiverdX::kUpToEnd;
    if (!outcome.success && outcome.result == kArchiveRefused && !ctx.useDefaultArchivePath) {
        // The wizard shows the path page again; the texts serve the command line.
        outcome.backToPath = true;
        outcome.statusText = GetMessageText(126);
        outcome.messageLine = ArchiveResultMessage(ctx, outcome.result);
        return outcome;
    }
    if (outcome.success) {
        if (progress != nullptr) progress->SetPos(100);
        outcome.statusText = GetMessageText(127);
        return outcome;
    }
    if (archiver->publishState != kPublishIdle &&
        (outcome.result == kArchiveDataCheckFailed || outcome.result == kArchiveFolderMissing ||
         outcome.result == kArchiveOtherFailure)) {
        archiver->AbortCleanup();
    }
    note.reset();
    // Whatever the failure, an archive the run set aside goes back under its name.
    RecoverInterruptedPublishing(ctx);
    outcome.statusText = GetMessageText(126);
    outcome.messageLine = ArchiveResultMessage(ctx, outcome.result);
    // A failure that neither its result code nor a remark explains (a truncated
    // store, a full data folder) shows the cause the log holds.
    if (outcome.messageLine.empty() && results != nullptr && results->ItemCount() > 0) {
        const int row = results->ItemCount() - 1;
        const std::string& cause = LogFile::Instance().FirstError();
        if (results->Cell(row, 3).empty() && !cause.empty()) results->SetCell(row, 3, ToUtf16(cause));
    }
    return outcome;
}

}  // namespace tv
