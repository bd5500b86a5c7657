// Renders every page of the wizard offscreen, in English and in French, from a
// real run of the flow on generated cards: ui_screenshots OUTPUT_FOLDER.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>
#include <cstdio>
#include <filesystem>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "dx/CardCsv.h"
#include "messages/Messages.h"
#include "ui/QtArchiverPathSelectionPage.h"
#include "ui/QtArchiverRunPage.h"
#include "ui/QtArchiverSelectionPage.h"
#include "ui/QtDateSelectionPage.h"
#include "ui/HelpPages.h"
#include "ui/HelpWindow.h"
#include "ui/QtText.h"
#include "ui/QtUiHost.h"
#include "ui/QtSBCSelectionPage.h"
#include "ui/QtVerificationFileFolderSelectionPage.h"
#include "ui/QtPageControls.h"
#include "ui/QtVerificationPage.h"
#include "ui/QtVerificationSBCSelectionPage.h"
#include "ui/QtVerificationSelectionPage.h"
#include "ui/QtWelcomePage.h"
#include "ui/WizardFixture.h"
#include "zt4/ArchiveSignatureWriter.h"
#include "zt4/LogSignatureWriter.h"

using namespace tv;
using namespace tv::test;

namespace {

QString g_out;
QString g_language;
int g_count = 0;

void Shot(WizardFixture& f, const QString& name) {
    QApplication::processEvents();
    f.Window().repaint();
    const QString path = QDir(g_out).filePath(g_language + QStringLiteral("_") + name + QStringLiteral(".png"));
    if (f.Window().grab().save(path)) ++g_count;
}

// The first page of a report as the verification page saves it, drawn by
// poppler's pdftoppm.
void ShotOfReport(QtVerificationPage* run, const QString& name) {
    const QString pdf = QDir(g_out).filePath(g_language + QStringLiteral("_") + name + QStringLiteral(".pdf"));
    QtPageControls::SetPicker([pdf](QWidget*, PickerKind, const QString&, const QString&, const QString&, QString*) {
        return pdf;
    });
    run->ReportButton()->click();
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) {
        std::printf("pdftoppm not found (poppler-utils): no picture of %s\n", pdf.toLocal8Bit().constData());
        return;
    }
    const QString prefix = QDir(g_out).filePath(g_language + QStringLiteral("_") + name);
    const int status = QProcess::execute(pdftoppm, {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("80"),
                                                    QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                                    QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, prefix});
    if (status == 0) ++g_count;
}

// A window of its own (a picker, the calendar, the help window).
void ShotOf(QWidget* widget, const QString& name) {
    QApplication::processEvents();
    const QString path = QDir(g_out).filePath(g_language + QStringLiteral("_") + name + QStringLiteral(".png"));
    if (widget->grab().save(path)) ++g_count;
}

// The run page the first time the engine pumps events with the progress bar
// past half of its way.
struct ShotPastHalf {
    WizardFixture* f;
    int pageId;
    QString name;
    void operator()() {
        auto* run = f->Page<QtArchiverRunPage>(pageId);
        if (!run->Progress()->isVisible() || run->Progress()->value() < 50) {
            f->ui_.duringRun = *this;
            return;
        }
        Shot(*f, name);
    }
};

// The window with a message box as the wizard would show it over the page.
void ShotWithBox(WizardFixture& f, const QString& name, const ShownMessage& message) {
    QApplication::processEvents();
    QPixmap shot = f.Window().grab();
    QMessageBox box(&f.Window());
    SetUpMessageBox(box, message.text, message.caption, message.style);
    box.show();
    QApplication::processEvents();
    const QPixmap boxShot = box.grab();
    box.hide();
    QPainter painter(&shot);
    const QRect at(QPoint((shot.width() - boxShot.width()) / 2, (shot.height() - boxShot.height()) / 2),
                   boxShot.size());
    painter.fillRect(at.translated(4, 4), QColor(0, 0, 0, 50));
    painter.drawPixmap(at.topLeft(), boxShot);
    painter.setPen(QColor(150, 150, 150));
    painter.drawRect(at.adjusted(0, 0, -1, -1));
    painter.end();
    const QString path = QDir(g_out).filePath(g_language + QStringLiteral("_") + name + QStringLiteral(".png"));
    if (shot.save(path)) ++g_count;
}

// Shows the first message box whose text starts with one of the message's
// words, as the shot of that name.
void ShotQuestion(WizardFixture& f, const QString& name, MessageId id) {
    const std::u16string start = GetMessageText(id).substr(0, 12);
    f.ui_.onShown = [&f, name, start](const ShownMessage& m) {
        if (m.text.rfind(start, 0) != 0) return;
        ShotWithBox(f, name, m);
        f.ui_.onShown = nullptr;
    };
}

void DxRun(bool french) {
    WizardFixture f;
    // A card about two thirds full, so that its fill level shows.
    CardOptions small = WizardFixture::SmallCard(CardFamily::Dx);
    const CardSummary probe = f.MountCard('Y', small);
    f.UnmountCard('Y');
    small.totalSectors = probe.sectorsUsed * 3 / 2 + 32;
    f.MountCard('E', small);
    CardOptions zt4 = WizardFixture::SmallCard(CardFamily::Zt4);
    zt4.seed = 5;
    f.MountCard('F', zt4);
    f.Start("Auto-detect", {std::string("Language=") + (french ? "French" : "English")});
    auto* cards = f.Page<QtSBCSelectionPage>(kPageSbcSelection);
    Shot(f, QStringLiteral("06_smc_selection"));
    for (int i = 1; i < cards->CardList()->count(); ++i) {
        if (cards->CardList()->itemText(i).endsWith(QStringLiteral("(E:)"))) cards->CardList()->setCurrentIndex(i);
    }
    Shot(f, QStringLiteral("06_smc_selection_fill_level"));
    const std::vector<CardBlock> blocks = ReadCardBlocks('E');
    const std::string folder = f.TempPath("archives");
    std::filesystem::create_directories(folder);
    std::string bad = JoinLines(blocks);
    bad[bad.size() / 2] ^= 1;
    WizardFixture::WriteFile(folder + "/20151220_20151221.csv", JoinLines(blocks));
    WizardFixture::WriteFile(folder + "/20151222_20151223.csv", bad);
    f.ClickNext();
    auto* welcome = f.Page<QtWelcomePage>(kPageWelcome);
    (welcome->ExistingArchive())->click();
    Shot(f, QStringLiteral("133_welcome_dx"));
    f.ClickNext();
    auto* path = f.Page<QtVerificationFileFolderSelectionPage>(kPageVerificationFileFolderSelection);
    (path->ChooseFolder())->click();
    path->PathBox()->setText(QString::fromStdString(folder));
    Shot(f, QStringLiteral("140_archive_selection_dx"));
    (path->AllFindingsBox())->click();
    Shot(f, QStringLiteral("140_archive_selection_dx_all_findings"));
    f.ClickNext();
    Shot(f, QStringLiteral("141_verification_dx"));
    ShotOfReport(f.Page<QtVerificationPage>(kPageVerification), QStringLiteral("report_dx_folder"));
    // No page of the flow leads to the verification choice: shown as if the
    // welcome page had.
    f.Window().ActivatePage(f.Window().FindPage(kPageVerificationSelection));
    f.Window().FindPage(kPageVerificationSelection)->CorePage()->OnEnterForward();
    f.Window().BackButton()->show();
    Shot(f, QStringLiteral("161_verification_choice"));
    f.ClickNext();
    auto* vcard = f.Page<QtVerificationSBCSelectionPage>(kPageVerificationSbcSelection);
    vcard->OnEnterForward();
    for (int i = 1; i < vcard->CardList()->count(); ++i) {
        if (vcard->CardList()->itemText(i).endsWith(QStringLiteral("(E:)"))) vcard->CardList()->setCurrentIndex(i);
    }
    Shot(f, QStringLiteral("162_verification_smc"));
}

void Zt4Run(bool french) {
    WizardFixture f;
    f.Start("ZT4", {std::string("Language=") + (french ? "French" : "English")});
    Shot(f, QStringLiteral("133_welcome_zt4"));
    auto* welcome = f.Page<QtWelcomePage>(kPageWelcome);
    (welcome->LogValidation())->click();
    f.ClickNext();
    auto* path = f.Page<QtVerificationFileFolderSelectionPage>(kPageVerificationFileFolderSelection);
    path->PathBox()->setText(QString::fromStdString(f.TempPath("Archive.log")));
    Shot(f, QStringLiteral("140_log_selection_zt4"));
    f.ClickBack();
    (welcome->ExistingArchive())->click();
    f.ClickNext();
    const std::string archive = f.TempPath("20151220080000_20151221200000.xml");
    std::string s = "<?xml version=\"1.0\"?>\n<ZT4><fit><cte>2015-12-20 08:00:00</cte><fpg><ssn>K7Q29</ssn>"
                    "<ncd>04A1B2C3D4E5F60718293A4B5C6D7E8F</ncd></fpg></fit>";
    for (int i = 0; i < 12; ++i) {
        s += "<fit><cte>2015-12-20 08:" + std::to_string(10 + i) + ":00</cte><ftk><amt>" + std::to_string(100 + i) +
             "</amt></ftk></fit>";
    }
    s += "<fit><cte>2015-12-21 20:00:00</cte><fcd><n>1</n></fcd></fit></ZT4>";
    WizardFixture::WriteFile(archive, s);
    SignArchiveFile(archive);
    path->PathBox()->setText(QString::fromStdString(archive));
    Shot(f, QStringLiteral("140_archive_selection_zt4"));
    f.ClickNext();
    Shot(f, QStringLiteral("141_validation_zt4"));
    ShotOfReport(f.Page<QtVerificationPage>(kPageVerification), QStringLiteral("report_zt4"));

    // A folder of the card's archives against the Archive.log of the card in E:,
    // which lists one more file than the folder holds.
    f.MountCard('E', WizardFixture::SmallCard(CardFamily::Zt4));
    const char* uid = "04A1B2C3D4E5F60718293A4B5C6D7E8F";
    std::string log = std::string("[") + uid + "]\r\n\r\n";
    for (const char* day : {"20", "22"}) {
        const std::string d = day;
        log += std::string("Scale serial num             : K7Q29\r\nSMC Unique ID                : ") + uid +
               "\r\nArchive file path            : /archives/K7Q29\r\n"
               "Archive start date           : 2015-12-" + d + " 08:00:00\r\n"
               "Archive end date             : 2015-12-" + std::to_string(std::stoi(d) + 1) + " 20:00:00\r\n"
               "Archive file name            : 201512" + d + "080000_201512" + std::to_string(std::stoi(d) + 1) +
               "200000.xml\r\nA.Creation date time         : 2016-03-01 10:15:00\r\n"
               "A.Completion date time       : 2016-03-01 10:15:02\r\n";
    }
    WizardFixture::WriteFile(f.TempPath("card-E/Archive.log"), log);
    SignLogFile(f.TempPath("card-E/Archive.log"));
    const std::string folder = f.TempPath("zt4-archives");
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(archive, folder + "/20151220080000_20151221200000.xml");
    f.ui_.answers = {true};
    (f.Window().FinishButton())->click();
    welcome->repaint();
    (welcome->ExistingArchive())->click();
    f.ClickNext();
    (path->ChooseFolder())->click();
    path->PathBox()->setText(QString::fromStdString(folder));
    Shot(f, QStringLiteral("140_archive_selection_zt4_folder"));
    f.ClickNext();
    Shot(f, QStringLiteral("141_validation_zt4_folder"));
    ShotOfReport(f.Page<QtVerificationPage>(kPageVerification), QStringLiteral("report_zt4_folder"));
}

// The pages that set up an archive run, on a card archived before.
void ArchivingRun(bool french) {
    WizardFixture f;
    const CardSummary card = f.MountCard('E', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX", {std::string("Language=") + (french ? "French" : "English")});
    WizardFixture::WriteFile(f.TempPath("data/SMCProfile.ini"),
                             "[SMC_" + card.smcUid + "]\r\nScaleSN=" + card.scaleSerialNumber + "\r\nUID=" +
                                 card.printableUid + "\r\nCustID=QX33\r\nScaleType=dX\r\nLastArchivedBlockNum=77\r\n"
                                 "LastArchivedStartDate=2015-12-20\r\nLastArchivedEndDate=2015-12-21\r\n");
    f.ClickNext();
    f.Page<QtSBCSelectionPage>(kPageSbcSelection)->CardList()->setCurrentIndex(1);
    f.ClickNext();
    Shot(f, QStringLiteral("134_archiving_choice"));
    f.Page<QtArchiverSelectionPage>(kPageArchiverSelection)->DateBasedArchive()->click();
    Shot(f, QStringLiteral("134_archiving_choice_date_based"));
    f.ClickNext();
    const std::string folder = f.TempPath("archives");
    std::filesystem::create_directories(folder);
    f.Page<QtArchiverPathSelectionPage>(kPageArchiverPathSelection)->PathBox()->setText(QString::fromStdString(folder));
    Shot(f, QStringLiteral("159_archive_path"));
    // Qt's own folder picker, as the browse button opens it.
    QFileDialog picker(&f.Window(), Text(402), QString::fromStdString(folder));
    picker.setOption(QFileDialog::DontUseNativeDialog);
    picker.setFileMode(QFileDialog::Directory);
    picker.setOption(QFileDialog::ShowDirsOnly);
    picker.show();
    ShotOf(&picker, QStringLiteral("159_folder_picker"));
    picker.hide();
    f.ClickNext();
    Shot(f, QStringLiteral("139_date_range"));
    ShotOf(f.Page<QtDateSelectionPage>(kPageDateSelection)->FromDate()->calendarWidget(),
           QStringLiteral("139_date_range_calendar"));

    // The help page in the program's own window, where the desktop has no viewer.
    CHelpWindow help(&f.Window());
    help.ShowPage(FindHelpPage(QStringLiteral(TV_HELP_FOLDER), HelpPageName(GetAppContext().language)));
    ShotOf(&help, QStringLiteral("help_window"));
    help.hide();
}

// A complete archive run from the welcome page into a folder of its own.
void CompleteRun(WizardFixture& f, const std::string& folderName) {
    f.Page<QtWelcomePage>(kPageWelcome)->repaint();
    f.ClickNext();
    f.Page<QtSBCSelectionPage>(kPageSbcSelection)->CardList()->setCurrentIndex(1);
    f.ClickNext();
    f.Page<QtArchiverSelectionPage>(kPageArchiverSelection)->CompleteArchive()->click();
    f.ClickNext();
    const std::string folder = f.TempPath(folderName);
    std::filesystem::create_directories(folder);
    f.Page<QtArchiverPathSelectionPage>(kPageArchiverPathSelection)->PathBox()->setText(QString::fromStdString(folder));
    f.ClickNext();
}

// Finished runs: dX and ZT4 cards archived, and a dX card whose newest receipts
// are not closed, the last closure refused.
void ArchiveRuns(bool french) {
    const std::string language = std::string("Language=") + (french ? "French" : "English");
    {
        WizardFixture f;
        CardOptions o = WizardFixture::SmallCard(CardFamily::Dx);
        o.days = 30;  // long enough for the progress to show
        f.MountCard('E', o);
        f.Start("dX", {language});
        f.ui_.duringRun = ShotPastHalf{&f, kPageCompleteArchiver, QStringLiteral("135_complete_run_progress_dx")};
        CompleteRun(f, "archives");
        f.ui_.duringRun = nullptr;
        Shot(f, QStringLiteral("135_complete_run_dx"));
    }
    {
        WizardFixture f;
        CardOptions o = WizardFixture::SmallCard(CardFamily::Zt4);
        o.days = 16;  // across the year end: one archive per year
        f.MountCard('E', o);
        f.Start("ZT4", {language});
        CompleteRun(f, "archives");
        Shot(f, QStringLiteral("135_complete_run_zt4"));
    }
    {
        WizardFixture f;
        CardOptions o = WizardFixture::SmallCard(CardFamily::Dx);
        o.unclosedTailReceipts = 3;
        f.MountCard('E', o);
        f.Start("dX", {language});
        f.ui_.answers = {false};
        ShotQuestion(f, QStringLiteral("135_closure_question_dx"), 241);
        CompleteRun(f, "archives");
        Shot(f, QStringLiteral("135_complete_run_failed_dx"));
    }
}

// A date range whose end day has no closure: the question, then the run up to
// the day before.
void DateRun(bool french) {
    WizardFixture f;
    CardOptions o = WizardFixture::SmallCard(CardFamily::Dx);
    o.days = 4;
    const CardSummary card = f.MountCard('E', o);
    const QDate first = QDate::fromString(QString::fromStdString(card.firstDate), Qt::ISODate);
    if (!f.LeaveDayWithoutClosure('E', card, first.addDays(1).toString(Qt::ISODate).toStdString())) return;
    f.Start("dX", {std::string("Language=") + (french ? "French" : "English")});
    f.ClickNext();
    f.Page<QtSBCSelectionPage>(kPageSbcSelection)->CardList()->setCurrentIndex(1);
    f.ClickNext();
    // No archive of this card yet: continuing is not offered.
    Shot(f, QStringLiteral("134_archiving_choice_without_profile"));
    f.Page<QtArchiverSelectionPage>(kPageArchiverSelection)->DateBasedArchive()->click();
    f.ClickNext();
    const std::string folder = f.TempPath("dated");
    std::filesystem::create_directories(folder);
    f.Page<QtArchiverPathSelectionPage>(kPageArchiverPathSelection)->PathBox()->setText(QString::fromStdString(folder));
    f.ClickNext();
    auto* dates = f.Page<QtDateSelectionPage>(kPageDateSelection);
    dates->FromDate()->setDate(first);
    dates->ToDate()->setDate(first.addDays(1));
    f.ui_.answers = {true};
    ShotQuestion(f, QStringLiteral("139_date_range_question"), 137);
    f.ClickNext();
    Shot(f, QStringLiteral("137_date_based_run_dx"));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    g_out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(g_out);
    for (bool french : {false, true}) {
        g_language = french ? QStringLiteral("fr") : QStringLiteral("en");
        DxRun(french);
        Zt4Run(french);
        ArchivingRun(french);
        ArchiveRuns(french);
        DateRun(french);
    }
    std::printf("%d screenshots in %s\n", g_count, g_out.toLocal8Bit().constData());
    return g_count > 0 ? 0 : 1;
}
