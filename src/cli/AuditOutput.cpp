#include "cli/AuditOutput.h"

#include "app/AppContext.h"
#include "audit/Report.h"
#include "cli/CommandOutput.h"
#include "cli/TerminalUi.h"
#include "messages/MemoryResultList.h"
#include "messages/Messages.h"
#include "platform/Platform.h"
#include "platform/Text.h"

#ifdef TV_HAVE_PDF_REPORTS
#include "ui/report/PdfReport.h"
#endif

namespace tv {

namespace {

// The result list's headers as the verification page shows them.
constexpr MessageId kColumnHeaders[] = {190, 193, 194, 195, 191, 192};

const char* CheckName(CheckKind kind) {
    switch (kind) {
        case CheckKind::kFileReadable: return "fileReadable";
        case CheckKind::kPublicKey: return "publicKey";
        case CheckKind::kUniqueId: return "uniqueId";
        case CheckKind::kHashChain: return "hashChain";
        case CheckKind::kBlockOrder: return "blockOrder";
        case CheckKind::kSignatureBlocks: return "signatureBlocks";
        case CheckKind::kWriteIndex: return "writeIndex";
        case CheckKind::kRootHash: return "rootHash";
        case CheckKind::kArchiveFrame: return "archiveFrame";
        case CheckKind::kArchiveSignature: return "archiveSignature";
        case CheckKind::kLogSignature: return "logSignature";
        case CheckKind::kLogEntries: return "logEntries";
    }
    return "unknown";
}

const char* VerdictName(Verdict verdict) {
    switch (verdict) {
        case Verdict::kPassed: return "passed";
        case Verdict::kFailed: return "failed";
        case Verdict::kNotChecked: break;
    }
    return "notChecked";
}

const char* KeySourceName(KeySource source) {
    switch (source) {
        case KeySource::kPinned: return "pinned";
        case KeySource::kCard: return "card";
        case KeySource::kArchive: return "archive";
        case KeySource::kBuiltIn: return "builtIn";
        case KeySource::kNone: break;
    }
    return "none";
}

const char* OutcomeName(FileOutcome outcome) {
    switch (outcome) {
        case FileOutcome::kVerified: return "verified";
        case FileOutcome::kIntegrityFailure: return "integrityFailure";
        case FileOutcome::kNotChecked: break;
    }
    return "notChecked";
}

const char* JoinName(JoinKind kind) {
    switch (kind) {
        case JoinKind::kJoined: return "joined";
        case JoinKind::kGap: return "gap";
        case JoinKind::kOverlap: return "overlap";
        case JoinKind::kChainBreak: return "chain-break";
        case JoinKind::kUnknown: break;
    }
    return "unknown";
}

std::string PathOf(const AuditTrail& trail, size_t index) {
    return index < trail.files.size() ? trail.files[index].path : std::string();
}

// A field of a continuity line: names and card data come from files, so
// nothing in them may steer the terminal or split the line.
std::string Cell(const std::string& narrow) { return TerminalText(ToUtf16(narrow), true); }

std::string Range(uint32_t first, uint32_t last) { return std::to_string(first) + "-" + std::to_string(last); }

nlohmann::json NullOr(const std::string& text) { return text.empty() ? nlohmann::json() : nlohmann::json(JsonText(text)); }

nlohmann::json RecordJson(const LogRecord& r) {
    return {{"scaleSerial", JsonText(r.scaleSerial)}, {"smcUid", JsonText(r.smcUid)},
            {"archivePath", JsonText(r.archivePath)}, {"fileName", JsonText(r.fileName)},
            {"startDate", JsonText(r.startDate)},     {"endDate", JsonText(r.endDate)},
            {"created", JsonText(r.created)},         {"completed", JsonText(r.completed)}};
}

nlohmann::json FileJson(const FileAudit& f) {
    nlohmann::json checks = nlohmann::json::array();
    for (const CheckResult& c : f.checks) {
        checks.push_back({{"check", CheckName(c.kind)}, {"verdict", VerdictName(c.verdict)}, {"detail", JsonText(c.detail)}});
    }
    nlohmann::json findings = nlohmann::json::array();
    for (const Finding& x : f.findings) {
        findings.push_back({{"position", x.position},
                            {"number", x.hasNumber ? nlohmann::json(x.number) : nlohmann::json()},
                            {"reason", JsonText(x.reason)}});
    }
    nlohmann::json against = {{"card", f.againstCard}, {"cardUid", NullOr(f.cardUid)}, {"cardSerial", NullOr(f.cardSerial)}};
    nlohmann::json blocks = {{"count", f.blockCount},
                             {"firstNumber", f.hasNumbers ? nlohmann::json(f.firstNumber) : nlohmann::json()},
                             {"lastNumber", f.hasNumbers ? nlohmann::json(f.lastNumber) : nlohmann::json()},
                             {"firstDate", NullOr(f.firstDate)},
                             {"lastDate", NullOr(f.lastDate)}};
    nlohmann::json records = nlohmann::json::array();
    for (const LogRecord& r : f.logRecords) records.push_back(RecordJson(r));
    return {{"path", JsonText(f.path)},
            {"family", f.family},
            {"size", f.size >= 0 ? nlohmann::json(f.size) : nlohmann::json()},
            {"sha256", NullOr(f.sha256)},
            {"against", std::move(against)},
            {"keySource", KeySourceName(f.keySource)},
            {"publicKey", NullOr(f.publicKey)},
            {"smcUid", NullOr(f.smcUid)},
            {"scaleSerial", NullOr(f.scaleSerial)},
            {"rootHash", NullOr(f.rootHash)},
            {"checks", std::move(checks)},
            {"findings", std::move(findings)},
            {"findingsNotListed", f.findingsNotListed},
            {"outcome", OutcomeName(f.outcome)},
            {"blocks", std::move(blocks)},
            {"logRecords", std::move(records)}};
}

}  // namespace

std::vector<std::string> ContinuityLines(const ContinuityReport& report, const AuditTrail& trail) {
    std::vector<std::string> lines;
    const std::string tab = "\t";
    for (const CardContinuity& card : report.cards) {
        lines.push_back("continuity\tcard\t" + Cell(card.family) + tab + Cell(card.smcUid) + tab + Cell(card.scaleSerial) + tab +
                        (card.Complete() ? "complete" : "incomplete"));
        for (const CoveredSpan& span : card.covered) {
            lines.push_back("continuity\tcovered\t" + (span.hasNumbers ? Range(span.firstNumber, span.lastNumber) : "-") +
                            tab + Cell(span.firstDate) + tab + Cell(span.lastDate));
        }
        for (const Join& join : card.joins) {
            std::string detail;
            if (join.kind == JoinKind::kGap) detail = "missing " + Range(join.missingFirst, join.missingLast);
            if (join.kind == JoinKind::kOverlap) detail = "repeated " + Range(join.repeatedFirst, join.repeatedLast);
            lines.push_back(std::string("continuity\t") + JoinName(join.kind) + tab + Cell(PathOf(trail, join.before)) + tab +
                            Cell(PathOf(trail, join.after)) + tab + detail);
        }
        for (const LogRecord& r : card.missingFromFolder) {
            lines.push_back("continuity\tnot-in-folder\t" + Cell(r.fileName) + tab + Cell(r.startDate) + tab + Cell(r.endDate));
        }
        for (const LogRecord& r : card.differingFromLog) {
            lines.push_back("continuity\tdiffers-from-log\t" + Cell(r.fileName) + tab + Cell(r.startDate) + tab + Cell(r.endDate));
        }
        for (size_t index : card.notInLog) lines.push_back("continuity\tnot-in-log\t" + Cell(PathOf(trail, index)));
    }
    lines.push_back(std::string("continuity\tresult\t") + (report.Complete() ? "complete" : "incomplete"));
    return lines;
}

nlohmann::json TrailJson(const AuditTrail& trail) {
    nlohmann::json files = nlohmann::json::array();
    for (const FileAudit& f : trail.files) files.push_back(FileJson(f));
    return files;
}

nlohmann::json ContinuityJson(const ContinuityReport& report, const AuditTrail& trail) {
    nlohmann::json cards = nlohmann::json::array();
    for (const CardContinuity& card : report.cards) {
        nlohmann::json files = nlohmann::json::array();
        for (size_t index : card.files) files.push_back(JsonText(PathOf(trail, index)));
        nlohmann::json covered = nlohmann::json::array();
        for (const CoveredSpan& s : card.covered) {
            covered.push_back({{"firstNumber", s.hasNumbers ? nlohmann::json(s.firstNumber) : nlohmann::json()},
                               {"lastNumber", s.hasNumbers ? nlohmann::json(s.lastNumber) : nlohmann::json()},
                               {"firstDate", NullOr(s.firstDate)},
                               {"lastDate", NullOr(s.lastDate)}});
        }
        nlohmann::json joins = nlohmann::json::array();
        for (const Join& j : card.joins) {
            nlohmann::json join = {{"before", JsonText(PathOf(trail, j.before))},
                                   {"after", JsonText(PathOf(trail, j.after))},
                                   {"kind", JoinName(j.kind)}};
            if (j.kind == JoinKind::kGap) join["missing"] = {j.missingFirst, j.missingLast};
            if (j.kind == JoinKind::kOverlap) join["repeated"] = {j.repeatedFirst, j.repeatedLast};
            joins.push_back(std::move(join));
        }
        nlohmann::json missing = nlohmann::json::array();
        for (const LogRecord& r : card.missingFromFolder) missing.push_back(RecordJson(r));
        nlohmann::json differing = nlohmann::json::array();
        for (const LogRecord& r : card.differingFromLog) differing.push_back(RecordJson(r));
        nlohmann::json notInLog = nlohmann::json::array();
        for (size_t index : card.notInLog) notInLog.push_back(JsonText(PathOf(trail, index)));
        cards.push_back({{"family", card.family},
                         {"smcUid", JsonText(card.smcUid)},
                         {"scaleSerial", JsonText(card.scaleSerial)},
                         {"complete", card.Complete()},
                         {"files", std::move(files)},
                         {"covered", std::move(covered)},
                         {"joins", std::move(joins)},
                         {"logGiven", card.logGiven},
                         {"missingFromFolder", std::move(missing)},
                         {"differingFromLog", std::move(differing)},
                         {"notInLog", std::move(notInLog)}});
    }
    return {{"complete", report.Complete()}, {"cards", std::move(cards)}};
}

bool CheckReportPath(const std::string& path, std::string& error) {
    if (IsHtmlReportPath(path)) return true;
    if (IsPdfReportPath(path)) {
#ifdef TV_HAVE_PDF_REPORTS
        return true;
#else
        error = "--report: PDF reports need the Linux build; name a .html file instead";
        return false;
#endif
    }
    error = "--report: the report file must end in .html, .htm or .pdf";
    return false;
}

bool WriteRequestedReport(const ReportRequest& request, std::string& error) {
    ReportInput input;
    input.zt4 = request.zt4;
    input.checkedPath = request.checkedPath;
    input.createdAt = Sys().FormatNow("%Y-%m-%d %H:%M:%S");
    input.version = GetVersionText();
    input.trail = request.trail;
    for (int column = 0; column < request.columns && column < 6; ++column) {
        input.columns.push_back(GetMessageText(kColumnHeaders[column]));
    }
    if (request.rows != nullptr) {
        for (int row = 0; row < request.rows->ItemCount(); ++row) {
            std::vector<std::u16string> cells;
            for (int column = 0; column < request.columns; ++column) cells.push_back(request.rows->Cell(row, column));
            input.rows.push_back(std::move(cells));
        }
    }
    input.continuity = request.continuity;
    input.summary = request.summary;
    const std::string html = RenderReportHtml(input);
    std::u16string reason;
    bool written = false;
#ifdef TV_HAVE_PDF_REPORTS
    if (IsPdfReportPath(request.path)) {
        written = WritePdfReport(html, request.path, reason);
    } else {
        written = WriteReportText(request.path, html, reason);
    }
#else
    written = WriteReportText(request.path, html, reason);
#endif
    if (!written) error = "cannot write the report " + request.path + ": " + ToNarrow(reason);
    return written;
}

int StatusAfterReportFailure(int status) { return status == 1 ? 1 : 2; }

}  // namespace tv
