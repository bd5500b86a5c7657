#include <cctype>
#include <cstdio>
#include <string>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "archive/ArchiveFolder.h"
#include "archive/ArchiveRun.h"
#include "archive/BaseArchiver.h"
#include "archive/DateRange.h"
#include "archive/SmcProfile.h"
#include "cli/CardSelection.h"
#include "cli/Commands.h"
#include "cli/ResultPrinter.h"
#include "cli/TerminalUi.h"
#include "log/LogFile.h"
#include "messages/MemoryResultList.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "smc/SmcAccess.h"
#include "smc/SmcDiscovery.h"

namespace tv {

namespace {

class SilentStatus : public StatusView {
public:
    void SetText(const std::u16string&) override {}
};

const char* const kUsage =
    "tallyvault-cli archive complete --card L [--to DIR]\n"
    "       tallyvault-cli archive continue --card L [--to DIR]\n"
    "       tallyvault-cli archive date --card L --from YYYY-MM-DD --until YYYY-MM-DD [--to DIR]\n";

int Usage() {
    std::fprintf(stderr, "tallyvault-cli: %s", kUsage);
    return kExitUsage;
}

void PrintLine(const std::u16string& text) { std::printf("%s\n", ToNarrow(text).c_str()); }

// The cause the log holds for a failure that shows no message of its own.
void PrintLoggedCause() {
    const std::string& cause = LogFile::Instance().FirstError();
    if (!cause.empty()) std::fprintf(stderr, "error: %s\n", cause.c_str());
}

// The run page: the run, its result rows and its outcome.
int RunPage(AppContext& ctx) {
    TerminalProgress progress;
    MemoryResultList results;
    SilentStatus status;
    const ArchiveRunOutcome outcome = RunCurrentArchiver(ctx, &progress, &results, &status);
    PrintResultRows(results, 4);
    PrintLine(outcome.statusText);
    if (!outcome.messageLine.empty()) PrintLine(outcome.messageLine);
    // A failure without rows (a date range that could not be prepared) and
    // without a message of its own says what the log says.
    if (!outcome.success && outcome.messageLine.empty() && results.ItemCount() == 0) PrintLoggedCause();
    CloseSmc(ctx);
    if (outcome.success) return 0;
    return outcome.result != 0 ? outcome.result : kArchiveOtherFailure;
}

// The date page: the card's dates, then the range of the chosen ones. False
// when the page would stay (the status to return is set).
bool DatePage(AppContext& ctx, const DayDate& from, const DayDate& until, int& status) {
    auto* range = dynamic_cast<CDateRange*>(ctx.currentArchiver.get());
    if (range == nullptr) return true;  // the run answers for itself
    DayDate first;
    DayDate last;
    LogFile::Instance().ClearFirstError();
    if (!range->PrepareDateRange(&first, &last)) {
        // The run page tells why.
        ctx.dateRangeUnavailable = true;
        return true;
    }
    std::printf("Card dates: %s to %s\n", DateText(first).c_str(), DateText(last).c_str());
    int64_t start = 0;
    int64_t end = 0;
    if (!TimeOfDay(ctx, from, start) || !TimeOfDay(ctx, until, end)) {
        status = kExitUsage;
        return false;
    }
    if (CompareDates(from, until) > 0) {
        ShowMessage(179, kMbIconError);
        status = kExitUsage;
        return false;
    }
    ctx.currentArchiver->SetStartDate(start);
    ctx.currentArchiver->SetEndDate(end);
    LogFile::Instance().ClearFirstError();
    if (range->FindBlockRange()) return true;
    if (ctx.dateArchiveFailed) ShowMessage(212, kMbIconWarning);
    PrintLoggedCause();
    PrintLine(GetMessageText(126));
    status = kArchiveOtherFailure;
    return false;
}

}  // namespace

int RunArchiveCommand(const CliOptions& options) {
    if (options.args.empty()) return Usage();
    const std::string& kind = options.args[0];
    int type = 0;
    if (kind == "complete") {
        type = 1;
    } else if (kind == "continue") {
        type = 2;
    } else if (kind == "date") {
        type = 3;
    } else {
        return Usage();
    }
    char letter = 0;
    std::string to;
    DayDate from;
    DayDate until;
    bool fromGiven = false;
    bool untilGiven = false;
    for (size_t i = 1; i < options.args.size(); ++i) {
        const std::string& arg = options.args[i];
        const bool hasValue = i + 1 < options.args.size();
        if (TakeCardOption(options.args, i, letter)) continue;
        if (arg == "--to" && hasValue) {
            to = options.args[++i];
        } else if (type == 3 && arg == "--from" && hasValue) {
            fromGiven = ParseDateText(options.args[++i], from) && options.args[i].size() == 10;
            if (!fromGiven) return Usage();
        } else if (type == 3 && arg == "--until" && hasValue) {
            untilGiven = ParseDateText(options.args[++i], until) && options.args[i].size() == 10;
            if (!untilGiven) return Usage();
        } else {
            return Usage();
        }
    }
    if (letter == 0 || (type == 3 && !(fromGiven && untilGiven))) return Usage();

    RunStartUpSteps();
    AppContext& ctx = GetAppContext();
    ctx.operation = 1;
    if (!to.empty()) {
        if (!ctx.platform.IsDirectory(to)) {
            std::printf("%s (%s)\n", ToNarrow(GetMessageText(150)).c_str(), to.c_str());
            return kArchiveFolderMissing;
        }
        ctx.archivePath = ctx.platform.WithTrailingSeparator(to);
    }
    bool damaged = false;
    const std::string entry = CardEntryOf(ctx, letter, damaged);
    if (entry.empty()) {
        // A damaged card has been told as such by the scan already.
        if (!damaged) PrintLine(GetMessageText(213));
        return kArchiveUsageUnreadable;
    }
    if (IdentifySmc(ctx, entry, SmcPurpose::Archiving) != SmcIdentity::Accepted) {
        std::printf("refused: %s\n", entry.c_str());
        return 1;
    }
    // The names a run builds in the folder depend on the card's family.
    if (!to.empty() && CheckArchiveFolder(ctx, ToUtf16(to)) == 220) {
        PrintLine(GetMessageText(220));
        return kArchivePathTooLong;
    }
    if (type == 2) {
        // The choice page offers this run only for a card whose profile section
        // is sound; it shows what the last archive covered.
        std::u16string info;
        if (CheckSmcProfile(ctx, info) != ProfileCheck::Valid) {
            std::printf("Continue from last archive is not available for this card: no valid entry in SMCProfile.ini\n");
            PrintLine(GetMessageText(126));
            return kArchiveOtherFailure;
        }
        PrintLine(info);
    }
    SetArchiveType(ctx, type);
    if (type == 3) {
        int status = 0;
        if (!DatePage(ctx, from, until, status)) {
            CloseSmc(ctx);
            return status;
        }
    }
    return RunPage(ctx);
}

}  // namespace tv
