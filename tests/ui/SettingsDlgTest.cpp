// The settings dialog driven through its widgets: loading the file, the field
// checks and their error lines, saving, the scale type switch, the language
// switch, F3 and a damaged file.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <memory>

#include "UiTestEnvironment.h"
#include "app/AppContext.h"
#include "platform/Text.h"
#include "ui/FolderEdit.h"
#include "ui/NumberEdit.h"
#include "ui/QtSettingsDlg.h"

using tv::QtSettingsDlg;
using tv::test::UiTestEnvironment;

namespace {

// Counts the language change events that reach a window.
class LanguageWatcher : public QWidget {
public:
    int changes = 0;

protected:
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::LanguageChange) ++changes;
        QWidget::changeEvent(event);
    }
};

struct Dialog {
    explicit Dialog(QWidget* parent = nullptr) : dlg(parent) { dlg.show(); }

    template <typename T>
    T* Get(const char* name) {
        T* child = dlg.findChild<T*>(QLatin1String(name));
        if (child == nullptr) qFatal("no control %s", name);
        return child;
    }
    QLineEdit* Edit(const char* name) { return Get<QLineEdit>(name); }
    tv::CNumberEdit* Number(const char* name) { return Get<tv::CNumberEdit>(name); }
    QComboBox* Combo(const char* name) { return Get<QComboBox>(name); }
    QCheckBox* Check(const char* name) { return Get<QCheckBox>(name); }
    QLabel* Label(const char* name) { return Get<QLabel>(name); }
    QPushButton* Button(const char* name) { return Get<QPushButton>(name); }
    void Type(const char* name, const QString& text) {
        QLineEdit* edit = Edit(name);
        edit->selectAll();
        QTest::keyClicks(edit, text);
        if (text.isEmpty()) QTest::keyClick(edit, Qt::Key_Delete);
    }
    void SetNumber(const char* name, const QString& text) { Number(name)->SetText(text); }
    // A click on the box itself (a click right of its text would miss it).
    void Toggle(const char* name) {
        QCheckBox* box = Check(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    void ClickOk() { QTest::mouseClick(Button("okButton"), Qt::LeftButton); }
    // The error line's text, or "" when it is hidden.
    QString Error(const char* name) {
        QLabel* line = Label(name);
        return line->isVisible() ? line->text() : QString();
    }

    QtSettingsDlg dlg;
};

}  // namespace

class SettingsDlgTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        env_ = std::make_unique<UiTestEnvironment>();
        env_->WriteConfig();
        tv::GetAppContext();
    }
    void cleanup() {
        tv::CFolderEdit::SetChooser({});
        env_.reset();
    }

    void loadsEveryKeyIntoItsControl() {
        const std::string archive = env_->Folder("archive");
        const std::string profiles = env_->Folder("profiles");
        env_->WriteConfig({"Language=French", "MaxSizeOfArchiveFileInMB=100",
                           "UseDefaultArchivePath=YES", "ArchivePath=" + archive,
                           "SMCProfilePath=" + profiles, "BackupSMCOnArchive=YES",
                           "YearEndsOn=05-Feb", "ScaleType=ZT4"});
        Dialog d;
        QCOMPARE(d.Edit("archivePath")->text(), QString::fromStdString(archive));
        QCOMPARE(d.Edit("profilePath")->text(), QString::fromStdString(profiles));
        QCOMPARE(d.Edit("logPath")->text(), QString::fromStdString(env_->DataFolder()));
        QCOMPARE(d.Combo("language")->currentIndex(), 1);
        QCOMPARE(d.Number("maxSize")->text(), QStringLiteral("100"));
        QVERIFY(d.Check("useDefaultArchivePath")->isChecked());
        QVERIFY(d.Edit("archivePath")->isEnabled());
        QVERIFY(d.Check("backupSmcOnArchive")->isChecked());
        QCOMPARE(d.Number("yearEndDay")->text(), QStringLiteral("5"));
        QCOMPARE(d.Combo("yearEndMonth")->currentIndex(), 1);
        QCOMPARE(d.Combo("scaleType")->currentIndex(), 2);
        QVERIFY(d.Button("okButton")->isVisible());
        QVERIFY(!d.Button("saveAndCloseButton")->isVisible());
        for (const char* line : {"archivePathError", "profilePathError", "logPathError", "maxSizeError",
                                 "yearEndError", "scaleTypeNote"}) {
            QVERIFY2(!d.Label(line)->isVisible(), line);
        }
    }

    void emptyOrUnknownKeysKeepTheDefaults() {
        env_->WriteRawConfig("[Config]\r\nLanguage=Klingon\r\nUseDefaultArchivePath=maybe\r\n"
                             "YearEndsOn=07-Foo\r\nScaleType=zt4\r\n");
        Dialog d;
        QCOMPARE(d.Combo("language")->currentIndex(), 0);
        QCOMPARE(d.Number("maxSize")->text(), QStringLiteral("25"));
        QVERIFY(!d.Check("useDefaultArchivePath")->isChecked());
        QVERIFY(!d.Edit("archivePath")->isEnabled());
        QVERIFY(!d.Label("archivePathLabel")->isEnabled());
        QCOMPARE(d.Number("yearEndDay")->text(), QStringLiteral("7"));
        QCOMPARE(d.Combo("yearEndMonth")->currentIndex(), 11);
        QCOMPARE(d.Combo("scaleType")->currentIndex(), 0);
        QVERIFY(d.Edit("profilePath")->text().isEmpty());
    }

    void useDefaultBoxEnablesTheArchiveFolder() {
        Dialog d;
        QVERIFY(!d.Edit("archivePath")->isEnabled());
        d.Toggle("useDefaultArchivePath");
        QVERIFY(d.Edit("archivePath")->isEnabled());
        QVERIFY(d.Label("archivePathLabel")->isEnabled());
        d.Toggle("useDefaultArchivePath");
        QVERIFY(!d.Edit("archivePath")->isEnabled());
    }

    void sizeChecksShowTheirErrorLine_data() {
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("stored");
        QTest::newRow("zero") << "0" << "Less than min size (1 MB)." << "";
        QTest::newRow("letters") << "abc" << "Less than min size (1 MB)." << "";
        QTest::newRow("empty") << "" << "Less than min size (1 MB)." << "";
        QTest::newRow("above") << "2049" << "Exceeding max size (2048 MB)." << "";
        QTest::newRow("negative") << "-5" << "Exceeding max size (2048 MB)." << "";
        QTest::newRow("huge") << "99999999999" << "Exceeding max size (2048 MB)." << "";
        QTest::newRow("number and letters") << "12MB" << "" << "12";
        QTest::newRow("leading zero") << "025" << "" << "25";
        QTest::newRow("largest") << "2048" << "" << "2048";
        QTest::newRow("smallest") << "1" << "" << "1";
    }
    void sizeChecksShowTheirErrorLine() {
        QFETCH(QString, size);
        QFETCH(QString, error);
        QFETCH(QString, stored);
        const std::string before = env_->ReadConfig();
        Dialog d;
        d.SetNumber("maxSize", size);
        d.ClickOk();
        QCOMPARE(d.Error("maxSizeError"), error);
        if (error.isEmpty()) {
            QCOMPARE(d.dlg.result(), int(QDialog::Accepted));
            QCOMPARE(QString::fromStdString(env_->ConfigValue("MaxSizeOfArchiveFileInMB")), stored);
            return;
        }
        QVERIFY(d.dlg.isVisible());
        QCOMPARE(env_->ReadConfig(), before);
        QCOMPARE(env_->ui.ShownTexts(), std::vector<std::string>{"One or more fields have incorrect values."});
        QCOMPARE(env_->ui.shown[0].style & 0xF0u, unsigned(tv::kMbIconError));
        // Typing in the field takes its error line away.
        d.Number("maxSize")->selectAll();
        QTest::keyClick(d.Number("maxSize"), Qt::Key_5);
        QCOMPARE(d.Error("maxSizeError"), QString());
    }

    void yearEndMustBeADayOfTheChosenMonth_data() {
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("day");
        QTest::addColumn<bool>("valid");
        QTest::newRow("29 February") << 1 << "29" << true;
        QTest::newRow("30 February") << 1 << "30" << false;
        QTest::newRow("31 April") << 3 << "31" << false;
        QTest::newRow("30 April") << 3 << "30" << true;
        QTest::newRow("day 0") << 0 << "0" << false;
        QTest::newRow("day 32") << 11 << "32" << false;
        QTest::newRow("no day") << 11 << "" << false;
    }
    void yearEndMustBeADayOfTheChosenMonth() {
        QFETCH(int, month);
        QFETCH(QString, day);
        QFETCH(bool, valid);
        Dialog d;
        d.Combo("yearEndMonth")->setCurrentIndex(month);
        d.SetNumber("yearEndDay", day);
        d.ClickOk();
        QCOMPARE(d.Error("yearEndError"), valid ? QString() : QStringLiteral("Invalid date"));
        QCOMPARE(d.dlg.result(), valid ? int(QDialog::Accepted) : int(QDialog::Rejected));
        if (valid) {
            QCOMPARE(QString::fromStdString(env_->ConfigValue("YearEndsOn")),
                     QStringLiteral("%1-%2").arg(day).arg(month == 1 ? "Feb" : "Apr"));
        }
    }

    void everyWrongFieldShowsItsLineAtOnce() {
        Dialog d;
        d.Toggle("useDefaultArchivePath");
        d.Type("archivePath", QString::fromStdString(env_->Path("missing-archive")));
        d.Type("profilePath", QString::fromStdString(env_->Path("missing-profiles")));
        d.Type("logPath", "");
        d.SetNumber("maxSize", "0");
        d.SetNumber("yearEndDay", "40");
        d.ClickOk();
        QCOMPARE(d.Error("archivePathError"), QStringLiteral("Invalid path."));
        QCOMPARE(d.Error("profilePathError"), QStringLiteral("Invalid path."));
        QCOMPARE(d.Error("logPathError"), QStringLiteral("Invalid path."));
        QCOMPARE(d.Error("maxSizeError"), QStringLiteral("Less than min size (1 MB)."));
        QCOMPARE(d.Error("yearEndError"), QStringLiteral("Invalid date"));
        QCOMPARE(env_->ui.shown.size(), size_t(1));
        // Each edit hides only its own line.
        d.Type("profilePath", QString::fromStdString(env_->DataFolder()));
        QCOMPARE(d.Error("profilePathError"), QString());
        QCOMPARE(d.Error("logPathError"), QStringLiteral("Invalid path."));
        d.Type("logPath", QString::fromStdString(env_->DataFolder()));
        QCOMPARE(d.Error("logPathError"), QString());
        QCOMPARE(d.Error("archivePathError"), QStringLiteral("Invalid path."));
    }

    void archiveFolderIsCheckedOnlyWhenAlwaysUsed() {
        Dialog d;
        d.Toggle("useDefaultArchivePath");
        d.Type("archivePath", QString::fromStdString(env_->Path("nowhere")));
        d.Toggle("useDefaultArchivePath");
        d.ClickOk();
        QCOMPARE(d.dlg.result(), int(QDialog::Accepted));
        QCOMPARE(env_->ConfigValue("ArchivePath"), env_->Path("nowhere"));
        QCOMPARE(env_->ConfigValue("UseDefaultArchivePath"), std::string("NO"));
    }

    void saveWritesTheFileAndTellsTheWizard() {
        const std::string archive = env_->Folder("archive");
        const std::string logs = env_->Folder("logs");
        Dialog d;
        QSignalSpy texts(&d.dlg, &QtSettingsDlg::languageChanged);
        QSignalSpy path(&d.dlg, &QtSettingsDlg::defaultArchivePathChanged);
        QSignalSpy scale(&d.dlg, &QtSettingsDlg::scaleTypeChanged);
        d.Toggle("useDefaultArchivePath");
        d.Type("archivePath", QString::fromStdString(archive));
        d.Type("logPath", QString::fromStdString(logs));
        d.SetNumber("maxSize", "025");
        d.Toggle("backupSmcOnArchive");
        d.Combo("yearEndMonth")->setCurrentIndex(2);
        d.SetNumber("yearEndDay", "5");
        d.ClickOk();

        QCOMPARE(d.dlg.result(), int(QDialog::Accepted));
        QVERIFY(!d.dlg.isVisible());
        QVERIFY(env_->ui.shown.empty());
        QCOMPARE(env_->ConfigValue("ArchivePath"), archive);
        QCOMPARE(env_->ConfigValue("LogPath"), logs);
        QCOMPARE(env_->ConfigValue("SMCProfilePath"), env_->DataFolder());
        QCOMPARE(env_->ConfigValue("Language"), std::string("English"));
        QCOMPARE(env_->ConfigValue("MaxSizeOfArchiveFileInMB"), std::string("25"));
        QCOMPARE(env_->ConfigValue("UseDefaultArchivePath"), std::string("YES"));
        QCOMPARE(env_->ConfigValue("BackupSMCOnArchive"), std::string("YES"));
        QCOMPARE(env_->ConfigValue("YearEndsOn"), std::string("05-Mar"));
        QCOMPARE(env_->ConfigValue("ScaleType"), std::string("Auto-detect"));
        const tv::AppContext& ctx = tv::GetAppContext();
        QCOMPARE(ctx.archivePath, archive + "/");
        QCOMPARE(ctx.yearEnd, std::string("0305"));
        QCOMPARE(texts.count(), 1);
        QCOMPARE(path.count(), 1);
        QCOMPARE(scale.count(), 0);
    }

    void cancelLeavesEverythingAsItWas() {
        const std::string before = env_->ReadConfig();
        Dialog d;
        QSignalSpy texts(&d.dlg, &QtSettingsDlg::languageChanged);
        d.SetNumber("maxSize", "300");
        d.Combo("language")->setCurrentIndex(1);
        QTest::mouseClick(d.Button("cancelButton"), Qt::LeftButton);
        QCOMPARE(d.dlg.result(), int(QDialog::Rejected));
        QCOMPARE(env_->ReadConfig(), before);
        QCOMPARE(tv::GetAppContext().language, std::string("English"));
        QCOMPARE(texts.count(), 0);
    }

    void anotherScaleTypeSavesAndEndsTheProgram() {
        Dialog d;
        QSignalSpy scale(&d.dlg, &QtSettingsDlg::scaleTypeChanged);
        QComboBox* type = d.Combo("scaleType");
        type->setCurrentIndex(2);
        QVERIFY(!d.Button("okButton")->isVisible());
        QVERIFY(d.Button("saveAndCloseButton")->isVisible());
        QVERIFY(d.Button("saveAndCloseButton")->isDefault());
        QCOMPARE(d.Error("scaleTypeNote"),
                 QStringLiteral("Close and re-open Tallyvault to switch to the new scale type."));
        type->setCurrentIndex(0);
        QVERIFY(d.Button("okButton")->isVisible());
        QVERIFY(!d.Button("saveAndCloseButton")->isVisible());
        QCOMPARE(d.Error("scaleTypeNote"), QString());

        type->setCurrentIndex(1);
        QTest::mouseClick(d.Button("saveAndCloseButton"), Qt::LeftButton);
        QCOMPARE(d.dlg.result(), int(QDialog::Accepted));
        QCOMPARE(env_->ConfigValue("ScaleType"), std::string("dX"));
        QCOMPARE(scale.count(), 1);
    }

    void languageSwitchRedrawsOpenTexts() {
        LanguageWatcher window;
        window.show();
        {
            Dialog d(&window);
            QCOMPARE(d.dlg.windowTitle(), QStringLiteral("Settings"));
            QCOMPARE(d.Label("languageLabel")->text(), QStringLiteral("Language :"));
            QSignalSpy texts(&d.dlg, &QtSettingsDlg::languageChanged);
            d.Combo("language")->setCurrentIndex(1);
            d.ClickOk();
            QCOMPARE(texts.count(), 1);
        }
        QCOMPARE(env_->ConfigValue("Language"), std::string("French"));
        QCOMPARE(tv::GetAppContext().language, std::string("French"));
        QCoreApplication::sendPostedEvents();
        QVERIFY(window.changes >= 1);

        Dialog d;
        QCOMPARE(d.dlg.windowTitle(), QStringLiteral("Paramètres"));
        QCOMPARE(d.Label("languageLabel")->text(), QStringLiteral("Langue :"));
        QCOMPARE(d.Combo("language")->currentText(), QStringLiteral("Français"));
        QCOMPARE(d.Combo("yearEndMonth")->currentText(), QStringLiteral("Décembre"));
        QCOMPARE(d.Button("cancelButton")->text(), QStringLiteral("&Annuler"));
        d.SetNumber("maxSize", "0");
        d.ClickOk();
        QCOMPARE(d.Error("maxSizeError"), QStringLiteral("Inférieur à la taille minimale (1 MB)."));
    }

    void f3BrowsesTheFolderInUse() {
        const std::string chosen = env_->Folder("chosen");
        tv::CFolderEdit::SetChooser([&](QWidget*, const QString&) { return QString::fromStdString(chosen); });
        Dialog d;
        d.dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d.dlg));
        QTest::keyClick(&d.dlg, Qt::Key_F3);
        QCOMPARE(d.Edit("profilePath")->text(), QString::fromStdString(chosen));
        QVERIFY(d.Edit("archivePath")->text() != QString::fromStdString(chosen));
        d.Toggle("useDefaultArchivePath");
        QTest::keyClick(&d.dlg, Qt::Key_F3);
        QCOMPARE(d.Edit("archivePath")->text(), QString::fromStdString(chosen));
        // A cancelled picker leaves the text alone.
        tv::CFolderEdit::SetChooser([](QWidget*, const QString&) { return QString(); });
        QTest::keyClick(&d.dlg, Qt::Key_F3);
        QCOMPARE(d.Edit("archivePath")->text(), QString::fromStdString(chosen));
    }

    void damagedFileIsBackedUpBeforeTheSave() {
        const std::string damaged = "[Config]\r\nLanguage=Klingon\r\nMaxSizeOfArchiveFileInMB=abc\r\n";
        env_->WriteRawConfig(damaged);
        Dialog d;
        d.Type("profilePath", QString::fromStdString(env_->DataFolder()));
        d.Type("logPath", QString::fromStdString(env_->DataFolder()));
        d.ClickOk();
        QCOMPARE(d.Error("maxSizeError"), QStringLiteral("Less than min size (1 MB)."));
        QCOMPARE(env_->ReadConfig(), damaged);

        d.SetNumber("maxSize", "40");
        env_->ui.shown.clear();
        d.ClickOk();
        QCOMPARE(d.dlg.result(), int(QDialog::Accepted));
        QCOMPARE(env_->ui.ShownTexts().size(), size_t(1));
        QVERIFY(env_->ui.ShownTexts()[0].rfind("Incorrect information in config file.", 0) == 0);
        const std::string backup = env_->DataFolder() + "/Tallyvault_2016_03_01_10_15_02.ini.bak";
        QVERIFY(std::filesystem::exists(backup));
        QCOMPARE(env_->ConfigValue("MaxSizeOfArchiveFileInMB"), std::string("40"));
        QCOMPARE(env_->ConfigValue("Language"), std::string("English"));
        QCOMPARE(env_->ConfigValue("ScaleType"), std::string("Auto-detect"));
    }

    void failedWriteIsNotReportedAsSaved() {
        Dialog d;
        QSignalSpy scale(&d.dlg, &QtSettingsDlg::scaleTypeChanged);
        env_->platform().InjectFault(tv::FaultOp::IniWrite, 28);
        d.Combo("scaleType")->setCurrentIndex(2);
        QTest::mouseClick(d.Button("saveAndCloseButton"), Qt::LeftButton);
        QCOMPARE(d.dlg.result(), int(QDialog::Rejected));
        QCOMPARE(env_->ui.ShownTexts(),
                 std::vector<std::string>{"The settings could not be saved. Please check log file."});
        QCOMPARE(scale.count(), 0);
    }

private:
    std::unique_ptr<UiTestEnvironment> env_;
};

QTEST_MAIN(SettingsDlgTest)
#include "SettingsDlgTest.moc"
