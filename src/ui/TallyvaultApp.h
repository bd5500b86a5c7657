// The start of the wizard program: its command line, the single-instance check,
// the engine's environment, and the window with its pages in start-up order.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <utility>
#include <vector>

namespace tv {

class QtMasterDlg;

struct WizardOptions {
    std::string dataDir;
    std::vector<std::pair<char, std::string>> cardImages;  // drive letter, image folder
};

// "--data-dir DIR" and any number of "--card-image L=DIR"; false with the reason.
bool ParseWizardOptions(const QStringList& args, WizardOptions& options, QString& error);

// Creates the page of each ID and adds it to the window, in list order.
void AddWizardPages(QtMasterDlg& window, const std::vector<int>& pageOrder);

// The program: returns the process exit status.
int RunTallyvault(int argc, char** argv);

}  // namespace tv
