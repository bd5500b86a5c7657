#include "ui/TallyvaultApp.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "emulator/SmcEmulator.h"
#include "platform/Platform.h"
#include "ui/QtArchiverPathSelectionPage.h"
#include "ui/QtArchiverSelectionPage.h"
#include "ui/QtCompleteArchiverPage.h"
#include "ui/QtDateBasedArchiverPage.h"
#include "ui/QtDateSelectionPage.h"
#include "ui/HelpPages.h"
#include "ui/QtMasterDlg.h"
#include "ui/QtPartialArchiverPage.h"
#include "ui/QtText.h"
#include "ui/QtUiHost.h"
#include "ui/QtSBCSelectionPage.h"
#include "ui/QtVerificationFileFolderSelectionPage.h"
#include "ui/QtVerificationPage.h"
#include "ui/QtVerificationSBCSelectionPage.h"
#include "ui/QtVerificationSelectionPage.h"
#include "ui/QtWelcomePage.h"
#include "ui/report/PdfReport.h"
#include "wizard/ReportSaving.h"

namespace tv {

namespace {

constexpr char kUsage[] =
    "usage: tallyvault [--data-dir DIR] [--card-image L=DIR]...\n"
    "  --data-dir DIR        keep the configuration and the log in DIR\n"
    "  --card-image L=DIR    show the card image folder DIR as drive L\n";

QtPagePanel* CreatePage(int pageId) {
    switch (pageId) {
        case kPageWelcome: return new QtWelcomePage();
        case kPageSbcSelection: return new QtSBCSelectionPage();
        case kPageArchiverSelection: return new QtArchiverSelectionPage();
        case kPageArchiverPathSelection: return new QtArchiverPathSelectionPage();
        case kPageDateSelection: return new QtDateSelectionPage();
        case kPageVerificationSelection: return new QtVerificationSelectionPage();
        case kPageVerificationSbcSelection: return new QtVerificationSBCSelectionPage();
        case kPageVerificationFileFolderSelection: return new QtVerificationFileFolderSelectionPage();
        case kPageVerification: return new QtVerificationPage();
        case kPageCompleteArchiver: return new QtCompleteArchiverPage();
        case kPagePartialArchiver: return new QtPartialArchiverPage();
        case kPageDateBasedArchiver: return new QtDateBasedArchiverPage();
        default: return nullptr;
    }
}

// One wizard per user and version: the window title names the instance.
QString InstanceName() {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = qEnvironmentVariable("USERNAME");
    return ToQString(WindowTitle()).replace(QLatin1Char(' '), QLatin1Char('-')) + QLatin1Char('-') + user;
}

// True when a first instance answered and was asked to come to the front.
bool HandOverToRunningInstance(const QString& name) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(500)) return false;
    socket.write("raise\n");
    socket.flush();
    socket.waitForBytesWritten(500);
    return true;
}

// The usage and where the Help button finds its pages.
int PrintUsage(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::fputs(kUsage, stdout);
    std::fputs("help pages of the Help button:\n", stdout);
    for (const char* language : {"English", "French"}) {
        const QString page = FindHelpPage(QCoreApplication::applicationDirPath(), HelpPageName(language));
        std::printf("  %s%s\n", QDir::toNativeSeparators(page).toUtf8().constData(),
                    QFileInfo(page).isFile() ? "" : " (missing)");
    }
    return 0;
}

}  // namespace

bool ParseWizardOptions(const QStringList& args, WizardOptions& options, QString& error) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--data-dir") || arg == QLatin1String("--card-image")) {
            if (i + 1 >= args.size()) {
                error = arg + QStringLiteral(" needs a value");
                return false;
            }
            const QString value = args[++i];
            if (arg == QLatin1String("--data-dir")) {
                options.dataDir = ToNarrowPath(value);
                continue;
            }
            const QChar letter = value.isEmpty() ? QChar() : value[0].toUpper();
            if (value.size() < 3 || value[1] != QLatin1Char('=') || letter < QLatin1Char('A') ||
                letter > QLatin1Char('Z')) {
                error = QStringLiteral("--card-image takes L=DIR, with a drive letter L");
                return false;
            }
            options.cardImages.emplace_back(static_cast<char>(letter.toLatin1()), ToNarrowPath(value.mid(2)));
        } else {
            error = QStringLiteral("unknown option '") + arg + QLatin1Char('\'');
            return false;
        }
    }
    return true;
}

void AddWizardPages(QtMasterDlg& window, const std::vector<int>& pageOrder) {
    for (int id : pageOrder) {
        if (QtPagePanel* page = CreatePage(id)) window.AddPage(page);
    }
}

int RunTallyvault(int argc, char** argv) {
    // The usage needs no window, and so no display: it is answered before the
    // graphical application exists.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) return PrintUsage(argc, argv);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tallyvault"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tallyvault"));
    WizardOptions options;
    QString error;
    QStringList args = QApplication::arguments();
    args.removeFirst();
    if (!ParseWizardOptions(args, options, error)) {
        std::fprintf(stderr, "tallyvault: %s\n\n%s", error.toUtf8().constData(), kUsage);
        return 64;
    }

    const QString instance = InstanceName();
    if (HandOverToRunningInstance(instance)) return 0;
    QLocalServer server;
    QLocalServer::removeServer(instance);
    server.listen(instance);

    std::unique_ptr<Platform> platform = CreateSystemPlatform();
    QtUiHost ui;
    std::vector<std::shared_ptr<SmcEmulator>> cards;
    for (const auto& [letter, folder] : options.cardImages) cards.push_back(MountEmulatedCard(*platform, letter, folder));
    InstallEnvironment(*platform, ui, options.dataDir);
    // The verification report is offered as PDF too, printed by Qt.
    SetPdfReportWriter(WritePdfReport);

    const StartUpResult start = RunStartUpSteps();
    if (start.dataFolderInUse) return kExitDataFolderInUse;
    QtMasterDlg window;
    ui.SetOwner(&window);
    AddWizardPages(window, start.pageOrder);
    QObject::connect(&server, &QLocalServer::newConnection, &window, [&server, &window] {
        while (QLocalSocket* peer = server.nextPendingConnection()) peer->deleteLater();
        window.showNormal();
        window.raise();
        window.activateWindow();
    });
    window.ShowFirstPage();
    window.exec();
    // The context holds files and the card of this platform: it goes before them.
    if (HasAppContext()) DestroyAppContext();
    return 0;
}

}  // namespace tv
