#include <cstdio>
#include <string>
#include <vector>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "audit/Continuity.h"
#include "audit/FileAudit.h"
#include "cli/AuditOutput.h"
#include "cli/CardSelection.h"
#include "cli/CommandOutput.h"
#include "cli/Commands.h"
#include "cli/TerminalUi.h"
#include "messages/MemoryResultList.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "zt4/FolderValidation.h"
#include "zt4/ValidationRun.h"
#include "zt4/VerifierZT4.h"

namespace tv {

namespace {

constexpr char kValidateUsage[] =
    "tallyvault-cli: validate PATH [--archive-log FILE | --card L] [--report FILE] [--json]\n";

int Usage(const std::string& reason) {
    std::fprintf(stderr, "tallyvault-cli: %s\n", reason.c_str());
    std::fputs(kValidateUsage, stderr);
    return kExitUsage;
}

// 1 for ".xml", 3 for ".log" (any case), 0 otherwise.
uint32_t KindOf(const std::string& path) {
    if (path.size() < 4) return 0;
    const std::u16string tail = ToUtf16(path.substr(path.size() - 4));
    if (EqualsNoCase(tail, u".xml")) return 1;
    if (EqualsNoCase(tail, u".log")) return 3;
    return 0;
}

}  // namespace

int RunValidateCommand(const CliOptions& options) {
    std::string path;
    std::string archiveLog;
    std::string report;
    char card = 0;
    for (size_t i = 0; i < options.args.size(); ++i) {
        const std::string& arg = options.args[i];
        const bool hasValue = i + 1 < options.args.size() && !options.args[i + 1].empty();
        if (card == 0 && TakeCardOption(options.args, i, card)) continue;
        if (arg == "--archive-log" && hasValue && archiveLog.empty()) {
            archiveLog = options.args[++i];
        } else if (arg == "--report" && hasValue && report.empty()) {
            report = options.args[++i];
        } else if (path.empty() && !arg.empty() && arg.rfind("--", 0) != 0) {
            path = arg;
        } else {
            return Usage("validate takes one file or folder");
        }
    }
    if (path.empty()) return Usage("validate takes one file or folder");
    const bool folder = Sys().IsDirectory(path);
    const uint32_t kind = folder ? 1 : KindOf(path);
    if (kind == 0) {
        return Usage("validate takes a ZT4 archive (.xml), an Archive.log (.log) or a folder of archives");
    }
    if (!archiveLog.empty() && KindOf(archiveLog) != 3) return Usage("--archive-log takes an Archive.log (.log)");
    if (!archiveLog.empty() && card != 0) return Usage("--archive-log and --card both name the log: give one");
    std::string error;
    if (!report.empty() && !CheckReportPath(report, error)) return Usage(error);

    RunStartUpSteps();
    if (card != 0) {
        // The card's own log, read where the card keeps it.
        archiveLog = CardArchiveLogAt(card);
        if (archiveLog.empty()) {
            std::fprintf(stderr, "tallyvault-cli: no Archive.log on a card in drive %c:\n", card);
            return kExitNotChecked;
        }
    }
    AppContext& ctx = GetAppContext();
    ctx.operation = 2;
    ctx.scaleType = '1';
    AuditTrail trail;
    ctx.auditTrail = &trail;
    MemoryResultList results;
    bool ok = false;
    {
        TerminalProgress progress;
        progress.SetRange(0, 100);
        ok = folder ? ValidateZt4Folder(path, &progress, &results) : ValidateZt4File(kind, path, &progress, &results);
    }
    // The card's Archive.log, given: validated into the same trail, its rows
    // after the archive's.
    MemoryResultList logResults;
    bool logOk = true;
    if (!archiveLog.empty()) logOk = ValidateZt4File(3, archiveLog, nullptr, &logResults);
    ctx.auditTrail = nullptr;

    // Without a given log, a folder's own Archive.log lists the card's files.
    ContinuityLog log;
    if (folder || !archiveLog.empty()) log = ChooseContinuityLog(path, archiveLog);

    CommandOutput out("validate", options.json);
    out.Rows(results, 4);
    if (!out.Json()) out.Rows(logResults, 4);
    const MessageId statusText = ok ? (kind == 1 ? 270 : 271) : (kind == 1 ? 268 : 269);
    const std::u16string summary = GetMessageText(statusText);
    if (!out.Json()) {
        out.Line(ToNarrow(summary));
        if (!archiveLog.empty()) out.Line(ToNarrow(GetMessageText(logOk ? 271 : 269)));
    }

    const bool continuityChecked = folder || !archiveLog.empty();
    ContinuityReport continuity;
    if (continuityChecked) {
        continuity = CheckContinuity(trail, log.Records());
        if (!out.Json()) {
            if (log.use != ContinuityLog::Use::kNone) {
                std::printf("continuity\tarchive-log\t%s\t%s\n", TerminalText(ToUtf16(log.path), true).c_str(),
                            log.UseText());
            }
            for (const std::string& line : ContinuityLines(continuity, trail)) std::printf("%s\n", line.c_str());
        }
    }
    int status = ExitStatusOf(trail);
    // The trail is what decides; a run that checked files without telling the
    // trail keeps its own verdict.
    if (trail.files.empty() && ok) status = 0;
    if ((!ok || !logOk) && status == 0) status = 1;

    nlohmann::json& doc = out.Doc();
    if (out.Json()) {
        doc["path"] = JsonText(path);
        doc["folder"] = folder;
        doc["status"] = JsonText(summary);
        if (archiveLog.empty()) {
            doc["archiveLog"] = nullptr;
        } else {
            doc["archiveLog"] = {{"path", JsonText(archiveLog)},
                                 {"valid", logOk},
                                 {"rows", RowsJson(logResults, 4)},
                                 {"status", JsonText(GetMessageText(logOk ? 271 : 269))}};
        }
        doc["continuityLog"] = log.use == ContinuityLog::Use::kNone
                                   ? nlohmann::json()
                                   : nlohmann::json({{"path", JsonText(log.path)},
                                                     {"use", log.UseText()},
                                                     {"records", log.records.size()}});
        doc["files"] = TrailJson(trail);
        doc["continuity"] = continuityChecked ? ContinuityJson(continuity, trail) : nlohmann::json();
        doc["report"] = report.empty() ? nlohmann::json() : nlohmann::json(JsonText(report));
    }
    if (!report.empty()) {
        MemoryResultList all = results;
        for (int row = 0; row < logResults.ItemCount(); ++row) {
            const int at = all.InsertRow(all.ItemCount(), logResults.Cell(row, 0));
            for (int column = 1; column < 4; ++column) all.SetCell(at, column, logResults.Cell(row, column));
        }
        ReportRequest request;
        request.path = report;
        request.zt4 = true;
        request.checkedPath = path;
        request.trail = &trail;
        request.rows = &all;
        request.columns = 4;
        request.continuity = continuityChecked ? &continuity : nullptr;
        request.summary = summary;
        if (!WriteRequestedReport(request, error)) {
            std::fprintf(stderr, "tallyvault-cli: %s\n", error.c_str());
            status = StatusAfterReportFailure(status);
            if (out.Json()) doc["report"] = nullptr;
        }
    }
    return out.Finish(status);
}

}  // namespace tv
