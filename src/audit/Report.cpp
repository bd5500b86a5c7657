#include "audit/Report.h"

#include <cstdint>
#include <initializer_list>
#include <functional>
#include <memory>
#include <utility>

#include "app/AppContext.h"
#include "messages/Messages.h"
#include "platform/Platform.h"
#include "platform/Text.h"

namespace tv {
namespace {

// Every text that reaches the page goes through here.
std::string Escape(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default:
                // Control characters have no place in a report.
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') {
                    out += "&#xFFFD;";
                } else {
                    out += c;
                }
        }
    }
    return out;
}

std::string Esc16(std::u16string_view text) { return Escape(Utf16ToUtf8(text)); }
// Narrow texts (paths, names) are in the system's narrow form.
std::string EscNarrow(const std::string& text) { return Esc16(ToUtf16(text)); }
std::string Label(MessageId id) { return Esc16(GetMessageText(id)); }

// A message text with {key} put in its place, escaped.
std::string Filled(MessageId id, std::initializer_list<std::pair<const char*, std::string>> values) {
    std::string text = Utf16ToUtf8(GetMessageText(id));
    for (const auto& [key, value] : values) {
        const std::string mark = std::string("{") + key + "}";
        const size_t at = text.find(mark);
        if (at != std::string::npos) text.replace(at, mark.size(), value);
    }
    return Escape(text);
}

std::string BaseName(const std::string& path) {
    const size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

constexpr const char* kStyle =
    "body{font-family:sans-serif;font-size:10pt;color:#000;background:#fff;margin:1.5em}"
    "h1{font-size:16pt}h2{font-size:13pt;margin-top:1.2em}h3{font-size:11pt}"
    "table{border-collapse:collapse;margin:0.4em 0}"
    "th,td{border:1px solid #000;padding:2px 5px;text-align:left;vertical-align:top}"
    "th{background:#eee}"
    ".mono{font-family:monospace;word-break:break-all}"
    ".file{margin:1em 0;padding:0.3em 0.8em;border-left:2px solid #000}"
    ".file.failed{border-left:none;padding:0}"
    ".failedframe{border-collapse:separate;margin:1em 0}"
    ".badge{display:inline-block;border:1px solid #000;padding:1px 6px;font-weight:bold}"
    ".badge.failed{border:3px solid #000;background:#000;color:#fff;font-size:12pt}"
    ".bad{font-weight:bold;text-decoration:underline}";

std::string KeySourceText(KeySource source) {
    switch (source) {
        case KeySource::kPinned: return Label(517);
        case KeySource::kCard: return Label(518);
        case KeySource::kArchive: return Label(519);
        case KeySource::kBuiltIn: return Label(520);
        case KeySource::kNone: break;
    }
    return Label(516);
}

MessageId CheckName(CheckKind kind) { return static_cast<MessageId>(524 + static_cast<int>(kind)); }

std::string VerdictCell(Verdict verdict) {
    switch (verdict) {
        case Verdict::kPassed: return "<td>" + Label(536) + "</td>";
        case Verdict::kFailed: return "<td class=\"bad\"><b>" + Label(537) + "</b></td>";
        case Verdict::kNotChecked: break;
    }
    return "<td>" + Label(538) + "</td>";
}

std::string Badge(FileOutcome outcome) {
    switch (outcome) {
        case FileOutcome::kVerified: return "<span class=\"badge\">" + Label(539) + "</span>";
        case FileOutcome::kIntegrityFailure:
            // Seen in black and white too: heavy border, inverted, bold.
            return "<table><tr><td style=\"border:3px solid #000;font-weight:bold;font-size:12pt\">"
                   "<span class=\"badge failed\">&#x2716; " + Label(540) + "</span></td></tr></table>";
        case FileOutcome::kNotChecked: break;
    }
    return "<span class=\"badge\"><b>" + Label(541) + "</b></span>";
}

void Row(std::string& out, MessageId label, const std::string& html) {
    out += "<tr><th>" + Label(label) + "</th><td>" + html + "</td></tr>";
}

void RenderFile(std::string& out, const FileAudit& file) {
    const bool failed = file.outcome == FileOutcome::kIntegrityFailure;
    // A failed file stands in a heavy frame, seen in black and white print too
    // (a frame of one cell, which Qt's text layout draws as browsers do).
    out += failed ? "<table class=\"failedframe\" width=\"100%\" cellspacing=\"0\"><tr><td "
                    "style=\"border:4px solid #000;border-left:12px solid #000;padding:6px\">"
                    "<div class=\"file failed\">"
                  : "<div class=\"file\">";
    out += "<h3>" + EscNarrow(BaseName(file.path)) + "</h3>";
    out += Badge(file.outcome);
    out += "<table width=\"100%\">";
    Row(out, 507, "<span class=\"mono\">" + EscNarrow(file.path) + "</span>");
    Row(out, 508, file.size < 0 ? Label(577) : std::to_string(file.size) + " " + Label(509));
    Row(out, 510, "<span class=\"mono\">" + (file.sha256.empty() ? Label(577) : Escape(file.sha256)) + "</span>");
    Row(out, 511, Escape(file.family));
    Row(out, 512,
        file.againstCard ? Filled(513, {{"uid", file.cardUid}, {"serial", file.cardSerial}}) : Label(514));
    Row(out, 515,
        KeySourceText(file.keySource) +
            (file.publicKey.empty() ? "" : "<br><span class=\"mono\">" + Escape(file.publicKey) + "</span>"));
    if (!file.smcUid.empty()) Row(out, 573, "<span class=\"mono\">" + Escape(file.smcUid) + "</span>");
    if (!file.scaleSerial.empty()) Row(out, 574, Escape(file.scaleSerial));
    if (!file.rootHash.empty()) Row(out, 572, "<span class=\"mono\">" + Escape(file.rootHash) + "</span>");
    out += "</table>";

    if (!file.checks.empty()) {
        out += "<table width=\"100%\"><tr><th>" + Label(521) + "</th><th>" + Label(522) + "</th><th>" + Label(523) + "</th></tr>";
        for (const CheckResult& check : file.checks) {
            out += "<tr><td>" + Label(CheckName(check.kind)) + "</td>" + VerdictCell(check.verdict) + "<td>" +
                   Esc16(check.detail) + "</td></tr>";
        }
        out += "</table>";
    }
    if (!file.findings.empty()) {
        out += "<p><b>" + Label(542) + "</b></p><table width=\"100%\"><tr><th>" + Label(543) + "</th><th>" + Label(544) +
               "</th><th>" + Label(545) + "</th></tr>";
        for (const Finding& finding : file.findings) {
            out += "<tr><td>" + std::to_string(finding.position) + "</td><td>" +
                   (finding.hasNumber ? std::to_string(finding.number) : std::string("&#8211;")) + "</td><td>" +
                   Esc16(finding.reason) + "</td></tr>";
        }
        out += "</table>";
        if (file.findingsNotListed > 0) {
            out += "<p>" + Filled(546, {{"n", std::to_string(file.findingsNotListed)}}) + "</p>";
        }
    }
    out += failed ? "</div></td></tr></table>" : "</div>";
}

void RenderResultList(std::string& out, const ReportInput& input) {
    if (input.columns.empty() && input.rows.empty()) return;
    out += "<h2>" + Label(547) + "</h2><table width=\"100%\"><tr>";
    for (const std::u16string& column : input.columns) out += "<th>" + Esc16(column) + "</th>";
    out += "</tr>";
    for (const auto& row : input.rows) {
        out += "<tr>";
        for (const std::u16string& cell : row) out += "<td>" + Esc16(cell) + "</td>";
        out += "</tr>";
    }
    out += "</table>";
}

std::string FileName(const AuditTrail* trail, size_t index) {
    if (!trail || index >= trail->files.size()) return "?";
    return EscNarrow(BaseName(trail->files[index].path));
}

std::string JoinText(const CardContinuity& card, const Join& join) {
    switch (join.kind) {
        case JoinKind::kJoined: return Label(555);
        case JoinKind::kGap:
            return "<b>" + Filled(556, {{"first", std::to_string(join.missingFirst)},
                                        {"last", std::to_string(join.missingLast)}}) + "</b>";
        case JoinKind::kOverlap:
            if (card.family == "dX") {
                return "<b>" + Filled(557, {{"first", std::to_string(join.repeatedFirst)},
                                            {"last", std::to_string(join.repeatedLast)}}) + "</b>";
            }
            return "<b>" + Label(558) + "</b>";
        case JoinKind::kChainBreak: return "<b>" + Label(559) + "</b>";
        case JoinKind::kUnknown: break;
    }
    return Label(560);
}

void RenderRecords(std::string& out, MessageId title, const std::vector<LogRecord>& records) {
    out += "<p><b>" + Label(title) + "</b></p>";
    if (records.empty()) {
        out += "<p>" + Label(570) + "</p>";
        return;
    }
    out += "<table width=\"100%\"><tr><th>" + Label(507) + "</th><th>" + Label(567) + "</th><th>" + Label(568) + "</th></tr>";
    for (const LogRecord& record : records) {
        out += "<tr><td>" + EscNarrow(record.fileName) + "</td><td>" + Escape(record.startDate) + "</td><td>" +
               Escape(record.endDate) + "</td></tr>";
    }
    out += "</table>";
}

void RenderCard(std::string& out, const CardContinuity& card, const AuditTrail* trail) {
    out += "<h3>" + Label(549) + " " + Escape(card.family) + " <span class=\"mono\">" + Escape(card.smcUid) +
           "</span>" + (card.scaleSerial.empty() ? "" : " (" + Escape(card.scaleSerial) + ")") + "</h3>";
    out += card.Complete() ? "<p>" + Label(564) + "</p>"
                           : "<p><span class=\"badge failed\">" + Label(565) + "</span></p>";
    out += "<p><b>" + Label(550) + "</b></p><table width=\"100%\"><tr><th>#</th><th>" + Label(507) + "</th><th>" + Label(578) +
           "</th><th>" + Label(567) + "</th><th>" + Label(568) + "</th></tr>";
    for (size_t i = 0; i < card.files.size(); ++i) {
        std::string blocks, first, last;
        if (trail && card.files[i] < trail->files.size()) {
            const FileAudit& file = trail->files[card.files[i]];
            if (file.hasNumbers) {
                blocks = Filled(552, {{"first", std::to_string(file.firstNumber)},
                                      {"last", std::to_string(file.lastNumber)}});
            }
            first = Escape(file.firstDate);
            last = Escape(file.lastDate);
        }
        out += "<tr><td>" + std::to_string(i + 1) + "</td><td>" + FileName(trail, card.files[i]) + "</td><td>" +
               blocks + "</td><td>" + first + "</td><td>" + last + "</td></tr>";
    }
    out += "</table>";
    if (!card.covered.empty()) {
        out += "<p><b>" + Label(551) + "</b></p><ul>";
        for (const CoveredSpan& span : card.covered) {
            out += "<li>";
            if (span.hasNumbers) {
                out += Filled(552, {{"first", std::to_string(span.firstNumber)},
                                    {"last", std::to_string(span.lastNumber)}}) + "; ";
            }
            out += Filled(553, {{"first", span.firstDate}, {"last", span.lastDate}}) + "</li>";
        }
        out += "</ul>";
    }
    if (!card.joins.empty()) {
        out += "<table width=\"100%\"><tr><th>" + Label(554) + "</th><th></th></tr>";
        for (const Join& join : card.joins) {
            out += "<tr><td>" + FileName(trail, join.before) + " &#8594; " + FileName(trail, join.after) +
                   "</td><td>" + JoinText(card, join) + "</td></tr>";
        }
        out += "</table>";
    }
    if (card.logGiven) {
        out += "<h3>" + Label(569) + "</h3>";
        RenderRecords(out, 561, card.missingFromFolder);
        RenderRecords(out, 562, card.differingFromLog);
        out += "<p><b>" + Label(563) + "</b></p><p>";
        if (card.notInLog.empty()) out += Label(570);
        for (size_t i = 0; i < card.notInLog.size(); ++i) {
            out += (i ? "<br>" : "") + FileName(trail, card.notInLog[i]);
        }
        out += "</p>";
    }
}

}  // namespace

std::string RenderReportHtml(const ReportInput& input) {
    const std::string title = Label(input.zt4 ? 501 : 500);
    std::string out;
    out += "<!DOCTYPE html>\n<html lang=\"";
    out += SelectedLanguage() == MessageLanguage::French ? "fr" : "en";
    out += "\"><head><meta charset=\"utf-8\"><title>" + title + "</title><style>";
    out += kStyle;
    out += "</style></head><body>\n<h1>" + title + "</h1><table>";
    Row(out, 502, Escape(input.createdAt));
    Row(out, 503, Escape(input.version));
    Row(out, 504, "<span class=\"mono\">" + EscNarrow(input.checkedPath) + "</span>");
    if (!input.summary.empty()) Row(out, 505, "<b>" + Esc16(input.summary) + "</b>");
    out += "</table>\n<h2>" + Label(506) + "</h2>\n";
    if (input.trail) {
        for (const FileAudit& file : input.trail->files) {
            RenderFile(out, file);
            out += "\n";
        }
    }
    RenderResultList(out, input);
    out += "\n<h2>" + Label(548) + "</h2>\n";
    if (!input.continuity) {
        out += "<p>" + Label(566) + "</p>";
    } else {
        for (const CardContinuity& card : input.continuity->cards) RenderCard(out, card, input.trail);
    }
    out += "\n</body></html>\n";
    return out;
}

bool PublishReport(const std::string& path, const std::function<bool(const std::string&)>& write,
                   std::u16string& error) {
    Platform& sys = Sys();
    const std::string temp = Platform::PublishTempName(path);
    const auto fail = [&] {
        sys.RemoveLeftover(temp);
        error = GetMessageText(571) + ToUtf16(path);
        return false;
    };
    // Whatever stands at the temporary name (a link too) goes first: never written through.
    if (!sys.RemoveLeftover(temp)) return fail();
    if (!write(temp)) return fail();
    if (!sys.ReplaceFile(temp, path)) return fail();
    return true;
}

bool WriteReportText(const std::string& path, const std::string& text, std::u16string& error) {
    return PublishReport(
        path,
        [&](const std::string& temp) {
            std::unique_ptr<File> file = Sys().OpenFile(temp, OpenMode::CreateNew);
            return file && (text.empty() || file->Write(text.data(), text.size()));
        },
        error);
}

namespace {
bool EndsWithNoCase(const std::string& path, std::string_view ending) {
    if (path.size() < ending.size()) return false;
    for (size_t i = 0; i < ending.size(); ++i) {
        char c = path[path.size() - ending.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != ending[i]) return false;
    }
    return true;
}
}  // namespace

bool IsPdfReportPath(const std::string& path) { return EndsWithNoCase(path, ".pdf"); }
bool IsHtmlReportPath(const std::string& path) {
    return EndsWithNoCase(path, ".html") || EndsWithNoCase(path, ".htm");
}

}  // namespace tv
