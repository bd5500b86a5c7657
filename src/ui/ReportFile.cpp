#include "ui/ReportFile.h"

#include <QDir>
#include <QFileInfo>

#include "messages/Messages.h"
#include "ui/QtText.h"
#include "ui/report/PdfReport.h"

namespace tv {

QString DefaultReportPath(const std::string& checkedPath, bool folder, const std::string& day) {
    const QString checked = ToQString(checkedPath);
    QString where = folder ? checked : QFileInfo(checked).absolutePath();
    if (where.isEmpty()) where = QDir::homePath();
    const QString name = Text(704) + QLatin1Char(' ') + ToQString(day) + QStringLiteral(".pdf");
    return QDir(where).filePath(name);
}

bool SaveReportFile(const ReportInput& input, const std::string& path, std::u16string& error) {
    const std::string html = RenderReportHtml(input);
    const bool ok = IsPdfReportPath(path) ? WritePdfReport(html, path, error) : WriteReportText(path, html, error);
    if (!ok && error.empty()) error = GetMessageText(719);
    return ok;
}

}  // namespace tv
