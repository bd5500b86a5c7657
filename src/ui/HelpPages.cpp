#include "ui/HelpPages.h"

#include <QDir>
#include <QFileInfo>

#ifndef TV_INSTALLED_HELP_DIR
#define TV_INSTALLED_HELP_DIR "../share/tallyvault"
#endif

namespace tv {

QString HelpPageName(const std::string& language) {
    return language == "French" ? QStringLiteral("FAQ_fr.htm") : QStringLiteral("FAQ_en.htm");
}

QString FindHelpPage(const QString& programFolder, const QString& pageName) {
    const QDir program(programFolder);
    const QString beside = program.filePath(pageName);
    if (QFileInfo(beside).isFile()) return beside;
    const QString installed =
        QDir::cleanPath(program.filePath(QStringLiteral(TV_INSTALLED_HELP_DIR "/") + pageName));
    if (QFileInfo(installed).isFile()) return installed;
    return beside;
}

}  // namespace tv
