// Where the Help button's page is found: beside the program (a build or an
// unpacked copy) before the shared data folder of an installed copy.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "ui/HelpPages.h"

namespace tv::test {

class HelpPagesTest : public QObject {
    Q_OBJECT

    static void Touch(const QString& path) {
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<html></html>");
    }

private slots:
    void pageOfTheLanguage() {
        QCOMPARE(HelpPageName("French"), QStringLiteral("FAQ_fr.htm"));
        QCOMPARE(HelpPageName("English"), QStringLiteral("FAQ_en.htm"));
        QCOMPARE(HelpPageName("french"), QStringLiteral("FAQ_en.htm"));
        QCOMPARE(HelpPageName(""), QStringLiteral("FAQ_en.htm"));
    }

    void installedCopyFindsItsSharedDataFolder() {
        QTemporaryDir prefix;
        QVERIFY(prefix.isValid());
        const QString bin = prefix.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        Touch(prefix.filePath(QStringLiteral("share/tallyvault/FAQ_fr.htm")));
        QCOMPARE(FindHelpPage(bin, QStringLiteral("FAQ_fr.htm")),
                 prefix.filePath(QStringLiteral("share/tallyvault/FAQ_fr.htm")));
        // The English page is missing there: the path beside the program stands,
        // so that opening it fails and the user is told.
        QCOMPARE(FindHelpPage(bin, QStringLiteral("FAQ_en.htm")), bin + QStringLiteral("/FAQ_en.htm"));
    }

    void pageBesideTheProgramComesFirst() {
        QTemporaryDir prefix;
        QVERIFY(prefix.isValid());
        const QString bin = prefix.filePath(QStringLiteral("bin"));
        Touch(bin + QStringLiteral("/FAQ_en.htm"));
        Touch(prefix.filePath(QStringLiteral("share/tallyvault/FAQ_en.htm")));
        QCOMPARE(FindHelpPage(bin, QStringLiteral("FAQ_en.htm")), bin + QStringLiteral("/FAQ_en.htm"));
    }

    void folderNamedLikeThePageIsNoPage() {
        QTemporaryDir prefix;
        QVERIFY(prefix.isValid());
        const QString bin = prefix.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin + QStringLiteral("/FAQ_en.htm")));
        Touch(prefix.filePath(QStringLiteral("share/tallyvault/FAQ_en.htm")));
        QCOMPARE(FindHelpPage(bin, QStringLiteral("FAQ_en.htm")),
                 prefix.filePath(QStringLiteral("share/tallyvault/FAQ_en.htm")));
    }

    // A user without a graphical session asks for the usage.
    void usageNeedsNoDisplay() {
        QProcess wizard;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QLatin1String(name));
        wizard.setProcessEnvironment(env);
        wizard.start(QStringLiteral(TV_WIZARD_PATH), {QStringLiteral("--help")});
        QVERIFY(wizard.waitForFinished(30000));
        QCOMPARE(wizard.exitStatus(), QProcess::NormalExit);
        QCOMPARE(wizard.exitCode(), 0);
        const QString out = QString::fromUtf8(wizard.readAllStandardOutput());
        QVERIFY2(out.startsWith(QStringLiteral("usage: tallyvault [--data-dir DIR]")), qPrintable(out));
        QVERIFY(out.contains(QStringLiteral("FAQ_fr.htm")));
    }
};

}  // namespace tv::test

QTEST_GUILESS_MAIN(tv::test::HelpPagesTest)
#include "HelpPagesTest.moc"
