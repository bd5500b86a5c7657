// The verification report an auditor files: what was checked, against what,
// every check's verdict, the result list as the page shows it and the
// continuity of the folder. Built here as self-contained HTML in the configured
// language; the wizard and the command line print it to PDF through the small
// Qt layer of ui/report.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "audit/Continuity.h"
#include "audit/FileAudit.h"

namespace tv {

struct ReportInput {
    bool zt4 = false;                 // a ZT4 validation (archives, Archive.log) or a dX verification
    std::string checkedPath;          // the file or folder the user chose
    std::string createdAt;            // local time, "YYYY-MM-DD HH:MM:SS"
    std::string version;              // the program's version
    const AuditTrail* trail = nullptr;
    std::vector<std::u16string> columns;                  // result list headers as the page shows them
    std::vector<std::vector<std::u16string>> rows;        // result list rows
    const ContinuityReport* continuity = nullptr;         // null when not checked
    std::u16string summary;           // the page's status text (e.g. "Verification successful.")
};

// The report as one UTF-8 HTML document with its styles inline.
std::string RenderReportHtml(const ReportInput& input);

// Puts a report at path whole or not at all: write(temporary path) makes it
// beside path, which it then replaces; false with a user text in error.
bool PublishReport(const std::string& path, const std::function<bool(const std::string&)>& write,
                   std::u16string& error);

// Writes text to path whole or not at all (a temporary name, then a rename);
// false with a user text in error.
bool WriteReportText(const std::string& path, const std::string& text, std::u16string& error);

// True when path ends in ".pdf" / ".html" or ".htm" (any case).
bool IsPdfReportPath(const std::string& path);
bool IsHtmlReportPath(const std::string& path);

}  // namespace tv
