// Where the wizard finds its help pages. A copy run from its build or unpacked
// folder keeps them beside the program; an installed copy keeps them in the
// shared data folder of its prefix (share/tallyvault beside bin/).
#pragma once

#include <QString>
#include <string>

namespace tv {

// "FAQ_fr.htm" when the language is exactly "French", "FAQ_en.htm" otherwise.
QString HelpPageName(const std::string& language);

// The help page named pageName for a program in programFolder: beside the
// program when it is there, else in the installed data folder when it is
// there, else the path beside the program (which then fails to open).
QString FindHelpPage(const QString& programFolder, const QString& pageName);

}  // namespace tv
