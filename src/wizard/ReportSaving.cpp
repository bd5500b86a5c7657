#include "wizard/ReportSaving.h"

#include "app/AppContext.h"
#include "messages/Messages.h"
#include "platform/Text.h"

namespace tv {

namespace {

PdfReportWriter& Writer() {
    static PdfReportWriter writer;
    return writer;
}

// The folder part of a path: up to its last separator of either kind.
std::string FolderOf(const std::string& path) {
    const size_t at = path.find_last_of("/\\");
    if (at == std::string::npos) return {};
    return at == 0 ? path.substr(0, 1) : path.substr(0, at);
}

}  // namespace

void SetPdfReportWriter(PdfReportWriter writer) { Writer() = std::move(writer); }

bool HasPdfReportWriter() { return static_cast<bool>(Writer()); }

std::vector<FileFilter> ReportFileFilters() {
    std::vector<FileFilter> filters;
    if (HasPdfReportWriter()) filters.push_back({GetMessageText(702), u"*.pdf"});
    filters.push_back({GetMessageText(703), u"*.html"});
    return filters;
}

std::string DefaultReportPath(const std::string& checkedPath, bool folder, const std::string& day) {
    std::string where = folder ? checkedPath : FolderOf(checkedPath);
    if (where.empty()) where = Sys().CurrentDirectory();
    const std::string name = ToNarrow(GetMessageText(704)) + " " + day + (HasPdfReportWriter() ? ".pdf" : ".html");
    return Sys().JoinPath(where, name);
}

bool SaveReportFile(const ReportInput& input, const std::string& path, std::u16string& error) {
    const std::string html = RenderReportHtml(input);
    bool ok = false;
    if (!IsPdfReportPath(path)) {
        ok = WriteReportText(path, html, error);
    } else if (HasPdfReportWriter()) {
        ok = Writer()(html, path, error);
    }  // else: HTML under a PDF name would only mislead whoever opens it
    if (!ok && error.empty()) error = GetMessageText(719);
    return ok;
}

}  // namespace tv
