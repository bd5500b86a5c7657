// Saving the verification report the user asked for: where it is offered, and
// writing it as HTML or PDF by the name's extension.
#pragma once

#include <QString>
#include <string>

#include "audit/Report.h"

namespace tv {

// "<folder>/Tallyvault report YYYY-MM-DD.pdf" beside what was checked: the
// folder itself, or the folder of a file.
QString DefaultReportPath(const std::string& checkedPath, bool folder, const std::string& day);

// Writes the report to path: PDF for ".pdf", HTML otherwise; false with the
// user text of the failure in error.
bool SaveReportFile(const ReportInput& input, const std::string& path, std::u16string& error);

}  // namespace tv
