// Saving the verification report the user asked for, without any toolkit:
// where it is offered, which file types, and writing it. The engine renders
// HTML; a PDF needs a face's printing, which the face hands in as the PDF
// writer. Without one, only HTML is offered.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "audit/Report.h"
#include "wizard/PageView.h"

namespace tv {

// Prints a report's HTML to a PDF at path, whole or not at all; false with a
// user text in error (empty: the general failure text is shown).
using PdfReportWriter = std::function<bool(const std::string& html, const std::string& path, std::u16string& error)>;

// The face's PDF writer; an empty function takes it away.
void SetPdfReportWriter(PdfReportWriter writer);
bool HasPdfReportWriter();

// The types the save picker offers: PDF first when it can be written, HTML.
std::vector<FileFilter> ReportFileFilters();

// "<folder>/Tallyvault report YYYY-MM-DD.pdf" (".html" without a PDF writer)
// beside what was checked: the folder itself, or the folder of a file; the
// current folder when neither names one.
std::string DefaultReportPath(const std::string& checkedPath, bool folder, const std::string& day);

// Writes the report to path: PDF for ".pdf" (refused without a writer), HTML
// otherwise; false with the user text of the failure in error.
bool SaveReportFile(const ReportInput& input, const std::string& path, std::u16string& error);

}  // namespace tv
