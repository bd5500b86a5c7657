#include <cctype>
#include <cstdio>
#include <string>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "audit/Continuity.h"
#include "audit/FileAudit.h"
#include "cli/AuditOutput.h"
#include "cli/CardSelection.h"
#include "cli/CommandOutput.h"
#include "cli/Commands.h"
#include "cli/TerminalUi.h"
#include "dx/PinnedScaleKey.h"
#include "dx/VerifierdX.h"
#include "messages/MemoryResultList.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "smc/SmcAccess.h"

namespace tv {

namespace {

constexpr char kVerifyUsage[] =
    "tallyvault-cli: verify PATH [--card L] [--report FILE] [--all-findings] [--scale-key HEX|FILE] [--json]\n";

int Usage(const std::string& reason = {}) {
    if (!reason.empty()) std::fprintf(stderr, "tallyvault-cli: %s\n", reason.c_str());
    std::fputs(kVerifyUsage, stderr);
    return kExitUsage;
}

}  // namespace

int RunVerifyCommand(const CliOptions& options) {
    std::string path;
    std::string report;
    std::string scaleKey;
    bool scaleKeyGiven = false;
    char letter = 0;
    AuditTrail trail;
    for (size_t i = 0; i < options.args.size(); ++i) {
        const std::string& arg = options.args[i];
        const bool hasValue = i + 1 < options.args.size() && !options.args[i + 1].empty();
        if (TakeCardOption(options.args, i, letter)) continue;
        if (arg == "--all-findings") {
            trail.options.allFindings = true;
        } else if (arg == "--report" && hasValue && report.empty()) {
            report = options.args[++i];
        } else if (arg == "--scale-key" && hasValue && !scaleKeyGiven) {
            scaleKey = options.args[++i];
            scaleKeyGiven = true;
        } else if (path.empty() && !arg.empty() && arg.rfind("--", 0) != 0) {
            path = arg;
        } else {
            return Usage();
        }
    }
    if (path.empty()) return Usage();
    std::string error;
    if (!report.empty() && !CheckReportPath(report, error)) return Usage(error);
    if (scaleKeyGiven) {
        // A pinned key stands in for the card's: against a card there is
        // nothing for it to pin.
        if (letter != 0) return Usage("--scale-key pins a standalone verification: it cannot be given with --card");
        if (!LoadPinnedScaleKey(scaleKey, trail.options.pinnedKey, error)) return Usage("--scale-key: " + error);
    }

    RunStartUpSteps();
    AppContext& ctx = GetAppContext();
    Platform& platform = Sys();
    const bool folder = platform.IsDirectory(path);
    ctx.operation = 2;
    ctx.scaleType = '0';
    ctx.validationKind = 2;
    ctx.verificationMode = letter == 0 ? 2 : 1;
    ctx.drive = letter == 0 ? std::string() : std::string(1, letter);
    ctx.folderInput = folder ? 1 : 0;
    ctx.verificationPath = folder ? platform.WithTrailingSeparator(path) : path;
    ctx.dxVerifier = MakeOwned<CVerifierdX>();
    ctx.dxVerifier->path = ctx.verificationPath;
    ctx.auditTrail = &trail;

    TerminalProgress progress;
    progress.SetRange(0, 100);
    MemoryResultList results;
    const bool ok = ctx.dxVerifier->VerifyArchives(&progress, &results, false);
    if (letter != 0) CloseSmc(ctx);
    ctx.auditTrail = nullptr;

    CommandOutput out("verify", options.json);
    out.Rows(results, 6);
    const MessageId statusText = ok ? 143 : folder ? 144 : 145;
    const std::u16string summary = GetMessageText(statusText);
    if (!out.Json()) out.Line(ToNarrow(summary));

    ContinuityReport continuity;
    if (folder) {
        continuity = CheckContinuity(trail, nullptr);
        if (!out.Json()) {
            for (const std::string& line : ContinuityLines(continuity, trail)) std::printf("%s\n", line.c_str());
        }
    }
    int status = ExitStatusOf(trail);
    // The trail is what decides; a run that checked files without telling the
    // trail keeps its own verdict.
    if (trail.files.empty() && ok) status = 0;
    // The run's own verdict outweighs a trail that knows less.
    if (!ok && status == 0) status = 1;

    nlohmann::json& doc = out.Doc();
    if (out.Json()) {
        doc["path"] = JsonText(path);
        doc["folder"] = folder;
        doc["card"] = letter == 0 ? nlohmann::json() : nlohmann::json(std::string(1, letter));
        doc["status"] = JsonText(summary);
        doc["allFindings"] = trail.options.allFindings;
        doc["pinnedKey"] = trail.options.pinnedKey.empty() ? nlohmann::json() : nlohmann::json(trail.options.pinnedKey);
        doc["files"] = TrailJson(trail);
        doc["continuity"] = folder ? ContinuityJson(continuity, trail) : nlohmann::json();
        doc["report"] = report.empty() ? nlohmann::json() : nlohmann::json(JsonText(report));
    }
    if (!report.empty()) {
        ReportRequest request;
        request.path = report;
        request.checkedPath = path;
        request.trail = &trail;
        request.rows = &results;
        request.columns = 6;
        request.continuity = folder ? &continuity : nullptr;
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
