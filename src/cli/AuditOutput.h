// The auditor's additions to verify and validate: the trail and continuity of
// a run as text lines and JSON, and the report file.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "audit/Continuity.h"
#include "audit/FileAudit.h"

namespace tv {

class MemoryResultList;

// The continuity of a folder, one tab-separated line a fact, each starting
// with "continuity" (see docs/json.md and the man page for the fields).
std::vector<std::string> ContinuityLines(const ContinuityReport& report, const AuditTrail& trail);

nlohmann::json TrailJson(const AuditTrail& trail);
nlohmann::json ContinuityJson(const ContinuityReport& report, const AuditTrail& trail);

// The report a run asked for with --report: HTML, or PDF where this build has
// the printer. False with the reason (English) when it cannot be written.
struct ReportRequest {
    std::string path;
    bool zt4 = false;
    std::string checkedPath;
    const AuditTrail* trail = nullptr;
    const MemoryResultList* rows = nullptr;
    int columns = 4;
    const ContinuityReport* continuity = nullptr;
    std::u16string summary;
};
bool WriteRequestedReport(const ReportRequest& request, std::string& error);

// Whether --report names a file this build can write; false with the reason.
bool CheckReportPath(const std::string& path, std::string& error);

// The status of a run that asked for a report that could not be written: an
// integrity failure stays 1, anything else becomes 2.
int StatusAfterReportFailure(int status);

}  // namespace tv
