#include <cstdio>
#include <string>
#include <vector>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "audit/Continuity.h"
#include "audit/FileAudit.h"
#include "cli/AuditOutput.h"
#include "cli/CommandOutput.h"
#include "cli/Commands.h"
#include "cli/TerminalUi.h"
#include "messages/MemoryResultList.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "zt4/ArchiveLogRecords.h"
#include "zt4/FolderValidation.h"
#include "zt4/ValidationRun.h"
#include "zt4/VerifierZT4.h"

namespace tv {

namespace {

constexpr char kValidateUsage[] = "tallyvault-cli: validate PATH [--archive-log FILE] [--report FILE] [--json]\n";

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

// One file validated on its own, as the verification page does it.
bool ValidateFile(AppContext& ctx, uint32_t kind, const std::string& path, MemoryResultList& results) {
    ctx.operation = 2;
    ctx.scaleType = '1';
    ctx.validationKind = kind;
    ctx.verificationMode = 2;
    ctx.folderInput = 0;
    ctx.verificationPath = path;
    auto verifier = MakeZt4Verifier(kind, path);
    TerminalProgress progress;
    progress.SetRange(0, 100);
    return RunZt4Validation(verifier.get(), kind, false, 2, &progress, &results);
}

}  // namespace

int RunValidateCommand(const CliOptions& options) {
    std::string path;
    std::string archiveLog;
    std::string report;
    for (size_t i = 0; i < options.args.size(); ++i) {
        const std::string& arg = options.args[i];
        const bool hasValue = i + 1 < options.args.size() && !options.args[i + 1].empty();
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
    std::string error;
    if (!report.empty() && !CheckReportPath(report, error)) return Usage(error);

    RunStartUpSteps();
    AppContext& ctx = GetAppContext();
    AuditTrail trail;
    ctx.auditTrail = &trail;
    MemoryResultList results;
    bool ok = false;
    if (folder) {
        ctx.operation = 2;
        ctx.scaleType = '1';
        ctx.validationKind = 1;
        ctx.verificationMode = 2;
        ctx.folderInput = 1;
        ctx.verificationPath = Sys().WithTrailingSeparator(path);
        TerminalProgress progress;
        progress.SetRange(0, 100);
        ok = ValidateZt4Folder(path, &progress, &results);
    } else {
        ok = ValidateFile(ctx, kind, path, results);
    }
    // The card's Archive.log, given: validated into the same trail, its rows
    // after the archive's.
    MemoryResultList logResults;
    bool logOk = true;
    if (!archiveLog.empty()) logOk = ValidateFile(ctx, 3, archiveLog, logResults);
    ctx.auditTrail = nullptr;

    // A folder's own Archive.log is taken as the list of the card's files when
    // none is given, but only when it validates: a log that fails its own
    // checks says nothing the continuity could trust. It is not part of the run.
    std::string logForContinuity = archiveLog;
    const char* logUse = "given";
    if (folder && archiveLog.empty()) {
        const std::string found = Sys().JoinPath(path, "Archive.log");
        logUse = nullptr;
        if (Sys().Exists(found) && !Sys().IsDirectory(found)) {
            AuditTrail aside;
            ctx.auditTrail = &aside;
            MemoryResultList asideRows;
            const bool clean = ValidateFile(ctx, 3, found, asideRows) && ExitStatusOf(aside) == 0;
            ctx.auditTrail = nullptr;
            logUse = clean ? "found" : "found-invalid";
            if (clean) logForContinuity = found;
        }
    }
    std::vector<LogRecord> records;
    bool recordsRead = false;
    if (!logForContinuity.empty()) {
        std::string uid;
        recordsRead = ReadArchiveLogRecords(logForContinuity, uid, records);
    }

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
        continuity = CheckContinuity(trail, recordsRead ? &records : nullptr);
        if (!out.Json()) {
            if (logUse != nullptr) {
                const std::string logPath = archiveLog.empty() ? Sys().JoinPath(path, "Archive.log") : archiveLog;
                std::printf("continuity\tarchive-log\t%s\t%s\n", TerminalText(ToUtf16(logPath), true).c_str(),
                            recordsRead || std::string(logUse) == "found-invalid" ? logUse : "unreadable");
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
        doc["continuityLog"] = logUse == nullptr ? nlohmann::json()
                                                 : nlohmann::json({{"path", JsonText(logForContinuity.empty()
                                                                                          ? Sys().JoinPath(path, "Archive.log")
                                                                                          : logForContinuity)},
                                                                   {"use", logUse},
                                                                   {"records", recordsRead ? records.size() : 0}});
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
