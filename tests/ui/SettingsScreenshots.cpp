// Renders the settings dialog offscreen in English and in French, with its
// error lines and the scale type note showing, into OUTPUT_FOLDER/settings_en.png
// and settings_fr.png.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <cstdio>

#include "UiTestEnvironment.h"
#include "app/AppContext.h"
#include "ui/Artwork.h"
#include "ui/NumberEdit.h"
#include "ui/QtSettingsDlg.h"

namespace {

bool Render(const QString& file) {
    tv::QtSettingsDlg dlg;
    dlg.show();
    // Show the error lines of a wrong size and day, and the restart note.
    dlg.findChild<tv::CNumberEdit*>(QStringLiteral("maxSize"))->SetText(QStringLiteral("0"));
    dlg.findChild<QComboBox*>(QStringLiteral("yearEndMonth"))->setCurrentIndex(1);
    dlg.findChild<tv::CNumberEdit*>(QStringLiteral("yearEndDay"))->SetText(QStringLiteral("30"));
    dlg.findChild<QComboBox*>(QStringLiteral("scaleType"))->setCurrentIndex(1);
    dlg.findChild<QPushButton*>(QStringLiteral("saveAndCloseButton"))->click();
    QApplication::processEvents();
    const bool saved = dlg.grab().save(file);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(file));
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setWindowIcon(tv::ApplicationIcon());
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(folder);

    tv::test::UiTestEnvironment env;
    bool ok = true;
    for (const char* language : {"English", "French"}) {
        env.WriteConfig({std::string("Language=") + language});
        tv::DestroyAppContext();
        tv::GetAppContext();
        const QString name = QStringLiteral("settings_%1.png").arg(language[0] == 'E' ? "en" : "fr");
        ok = Render(folder + QLatin1Char('/') + name) && ok;
    }
    // The pictures, for a look at their drawing.
    ok = tv::LogoPixmap(64).save(folder + QStringLiteral("/logo.png")) && ok;
    ok = tv::LogoPixmap(48, true).save(folder + QStringLiteral("/logo-light.png")) && ok;
    ok = tv::ApplicationIcon().pixmap(128).save(folder + QStringLiteral("/app-icon.png")) && ok;
    ok = tv::SettingsIcon().pixmap(48).save(folder + QStringLiteral("/settings-icon.png")) && ok;
    ok = tv::HelpIcon().pixmap(48).save(folder + QStringLiteral("/help-icon.png")) && ok;
    return ok ? 0 : 1;
}
