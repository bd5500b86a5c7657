// Where the Help button's page is found: beside the program (a build or an
// unpacked copy) before the shared data folder of an installed copy.
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
};

}  // namespace tv::test

QTEST_GUILESS_MAIN(tv::test::HelpPagesTest)
#include "HelpPagesTest.moc"
