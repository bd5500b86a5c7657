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
#include "cli/CommandOutput.h"
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


// The cause the log holds for a failure that shows no message of its own.
void PrintLoggedCause() {
    const std::string& cause = LogFile::Instance().FirstError();
    if (!cause.empty()) std::fprintf(stderr, "error: %s\n", cause.c_str());
}

// The run page: the run, its result rows and its outcome.
int RunPage(AppContext& ctx, CommandOutput& out) {
    TerminalProgress progress;
    MemoryResultList results;
    SilentStatus status;
    const ArchiveRunOutcome outcome = RunCurrentArchiver(ctx, &progress, &results, &status);
    out.Rows(results, 4);
    out.Doc()["status"] = JsonText(outcome.statusText);
    out.Doc()["message"] = outcome.messageLine.empty() ? nlohmann::json() : nlohmann::json(JsonText(outcome.messageLine));
    if (!out.Json()) {
        out.Line(ToNarrow(outcome.statusText));
        if (!outcome.messageLine.empty()) out.Line(ToNarrow(outcome.messageLine));
    }
    // A failure without rows (a date range that could not be prepared) and
    // without a message of its own says what the log says.
    if (!outcome.success && outcome.messageLine.empty() && results.ItemCount() == 0) PrintLoggedCause();
    CloseSmc(ctx);
    if (outcome.success) return out.Finish(0);
    return out.Finish(outcome.result != 0 ? outcome.result : kArchiveOtherFailure);
}

// The date page: the card's dates, then the range of the chosen ones. False
// when the page would stay (the status to return is set).
bool DatePage(AppContext& ctx, CommandOutput& out, const DayDate& from, const DayDate& until, int& status) {
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
    out.Doc()["cardDates"] = {{"first", DateText(first)}, {"last", DateText(last)}};
    out.Line("Card dates: " + DateText(first) + " to " + DateText(last));
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
    out.Line(ToNarrow(GetMessageText(126)));
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
    CommandOutput out("archive", options.json);
    nlohmann::json& doc = out.Doc();
    doc["kind"] = kind;
    doc["drive"] = std::string(1, letter);
    doc["to"] = to.empty() ? nlohmann::json() : nlohmann::json(JsonText(to));
    doc["cardDates"] = nullptr;
    doc["previous"] = nullptr;
    doc["rows"] = nlohmann::json::array();
    doc["status"] = nullptr;
    doc["message"] = nullptr;
    if (!to.empty()) {
        if (!ctx.platform.IsDirectory(to)) {
            out.Line(ToNarrow(GetMessageText(150)) + " (" + to + ")");
            return out.Finish(kArchiveFolderMissing);
        }
        ctx.archivePath = ctx.platform.WithTrailingSeparator(to);
    }
    bool damaged = false;
    const std::string entry = CardEntryOf(ctx, letter, damaged);
    if (entry.empty()) {
        // A damaged card has been told as such by the scan already.
        if (!damaged) out.Line(ToNarrow(GetMessageText(213)));
        return out.Finish(kArchiveUsageUnreadable);
    }
    if (IdentifySmc(ctx, entry, SmcPurpose::Archiving) != SmcIdentity::Accepted) {
        out.Line("refused: " + entry);
        return out.Finish(1);
    }
    // The names a run builds in the folder depend on the card's family.
    if (!to.empty() && CheckArchiveFolder(ctx, ToUtf16(to)) == 220) {
        out.Line(ToNarrow(GetMessageText(220)));
        return out.Finish(kArchivePathTooLong);
    }
    if (type == 2) {
        // The choice page offers this run only for a card whose profile section
        // is sound; it shows what the last archive covered.
        std::u16string info;
        if (CheckSmcProfile(ctx, info) != ProfileCheck::Valid) {
            out.Line("Continue from last archive is not available for this card: no valid entry in SMCProfile.ini");
            out.Line(ToNarrow(GetMessageText(126)));
            return out.Finish(kArchiveOtherFailure);
        }
        doc["previous"] = JsonText(info);
        out.Line(ToNarrow(info));
    }
    SetArchiveType(ctx, type);
    if (type == 3) {
        int status = 0;
        if (!DatePage(ctx, out, from, until, status)) {
            CloseSmc(ctx);
            return out.Finish(status);
        }
    }
    return RunPage(ctx, out);
}

}  // namespace tv
