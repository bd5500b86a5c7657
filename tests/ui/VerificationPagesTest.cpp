#include "ui/VerificationPagesTest.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "support/DxCardArchives.h"
#include "support/Zt4Samples.h"
#include "dx/CardCsv.h"
#include "ui/QtPageControls.h"
#include "wizard/ContinuityRows.h"
#include "ui/QtSBCSelectionPage.h"
#include "ui/QtVerificationFileFolderSelectionPage.h"
#include "ui/QtVerificationPage.h"
#include "ui/QtWelcomePage.h"
#include "ui/WizardFixture.h"
#include "zt4/ArchiveSignatureWriter.h"
#include "zt4/LogSignatureWriter.h"

namespace tv::test {

namespace {

// Goes from the welcome page to the path page with the existing-archive choice.
void ToPathPage(WizardFixture& f, bool withoutSmc, bool log = false) {
    auto* welcome = f.Page<QtWelcomePage>(kPageWelcome);
    welcome->repaint();  // the first page shows its buttons when it paints
    (log ? welcome->LogValidation() : welcome->ExistingArchive())->click();
    if (withoutSmc) (welcome->WithoutSmc())->click();
    f.ClickNext();
}

// Types the path and presses Next on the path page.
void SubmitPath(WizardFixture& f, const std::string& path) {
    auto* page = f.Page<QtVerificationFileFolderSelectionPage>(kPageVerificationFileFolderSelection);
    page->PathBox()->setText(QString::fromStdString(path));
    f.ClickNext();
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The report button's save dialog, answered with the path; records what it was offered.
struct FakeSaveDialog {
    QString answer;
    QString suggested;
    QString filters;
    int calls = 0;
    void Install() {
        QtPageControls::SetPicker([this](QWidget*, PickerKind kind, const QString&, const QString& s, const QString& f,
                                         QString*) {
            if (kind != PickerKind::kSaveFile) return QString();
            ++calls;
            suggested = s;
            filters = f;
            return answer;
        });
    }
};

QStringList Row(QTreeWidget* list, int row) {
    QStringList cells;
    QTreeWidgetItem* item = list->topLevelItem(row);
    for (int c = 0; item != nullptr && c < list->columnCount(); ++c) cells << item->text(c);
    return cells;
}

}  // namespace

void VerificationPagesTest::pathChecksRefuseWithTheirMessage() {
    WizardFixture f;
    f.Start("dX", {"BackupSMCOnArchive=YES"});
    ToPathPage(f, true);
    QCOMPARE(f.ActiveId(), int(kPageVerificationFileFolderSelection));
    auto* page = f.Page<QtVerificationFileFolderSelectionPage>(kPageVerificationFileFolderSelection);
    QVERIFY(page->ChooseFolder()->isVisible());
    const std::string folder = f.TempPath("archives");
    std::filesystem::create_directories(folder);
    WizardFixture::WriteFile(folder + "/notes.txt", "x");
    WizardFixture::WriteFile(folder + "/a.CSV", "x");
    // 180 characters: too long with the card backup (180 + 85), not without it.
    std::string deep = f.TempPath("");
    while (deep.size() < 172) deep += "d";
    std::filesystem::create_directories(deep);
    const std::string longPath = deep + "/abc.csv";
    WizardFixture::WriteFile(longPath, "x");
    QCOMPARE(longPath.size(), size_t{180});

    const struct {
        std::string path;
        bool folder;
        const char* message;
    } cases[] = {
        {"", false, "Enter an archive file/folder path and click \"Next\"."},
        {folder + "/missing.csv", false, "Enter a valid path (Path too long?)."},
        {folder, false, "Enter a valid path (Path too long?)."},
        {folder + "/notes.txt", true, "Enter a valid path (Path too long?)."},
        {folder + "/notes.txt", false, "Not an archive(CSV) file."},
        {longPath, false, "Archive path too long. Please shorten the path."},
        {f.TempPath("data"), true, "No archive file(s) found."},
    };
    for (const auto& c : cases) {
        page->ChooseFolder()->setChecked(c.folder);
        SubmitPath(f, c.path);
        QCOMPARE(f.ActiveId(), int(kPageVerificationFileFolderSelection));
        QCOMPARE(f.TakeShown(), std::vector<std::string>{c.message});
    }
    GetAppContext().backupSmcOnArchive = false;
    page->ChooseFolder()->setChecked(false);
    SubmitPath(f, longPath);
    QCOMPARE(f.ActiveId(), int(kPageVerification));
}

void VerificationPagesTest::dxArchivesVerifyStandaloneAndAgainstTheCard() {
    WizardFixture f;
    const CardSummary card = f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    const DxArchives archives = ArchivesOf('K');
    const std::string good = f.TempPath("good.csv");
    WizardFixture::WriteFile(good, archives.good);

    ToPathPage(f, true);
    SubmitPath(f, good);
    QCOMPARE(f.ActiveId(), int(kPageVerification));
    auto* run = f.Page<QtVerificationPage>(kPageVerification);
    QVERIFY(run->IsDone());
    QCOMPARE(run->StatusText(), QStringLiteral("Archive(s) verified successfully."));
    QCOMPARE(run->Results()->columnCount(), 6);
    const QStringList row = Row(run->Results(), 0);
    QCOMPARE(row.mid(0, 3), (QStringList{QStringLiteral("1"), QStringLiteral("good.csv"), QStringLiteral("Success")}));
    QCOMPARE(row[4], QString::fromStdString(card.scaleSerialNumber));
    QCOMPARE(row[5], QString::fromStdString(card.smcUid));
    QVERIFY(f.Window().FinishButton()->isVisible());
    QVERIFY(!f.Window().NextButton()->isVisible());
    QVERIFY(!f.Window().BackButton()->isVisible());
    QVERIFY(!run->Progress()->isVisible());
    QCOMPARE(f.Window().BreadcrumbTexts(),
             (QStringList{QStringLiteral("Operation choice"), QStringLiteral("Archive selection"), QStringLiteral("Verifying")}));

    // Another operation, now against the card.
    f.ui_.answers = {true};
    (f.Window().FinishButton())->click();
    QCOMPARE(f.ActiveId(), int(kPageWelcome));
    ToPathPage(f, false);
    QCOMPARE(f.ActiveId(), int(kPageSbcSelection));
    f.Page<QtSBCSelectionPage>(kPageSbcSelection)->CardList()->setCurrentIndex(1);
    f.ClickNext();
    QCOMPARE(f.ActiveId(), int(kPageVerificationFileFolderSelection));
    SubmitPath(f, good);
    QCOMPARE(run->StatusText(), QStringLiteral("Archive(s) verified successfully."));
    QCOMPARE(Row(run->Results(), 0)[2], QStringLiteral("Success"));
    QCOMPARE(f.Window().BreadcrumbTexts().size(), 4);
}

void VerificationPagesTest::dxFolderWithATamperedArchiveFails() {
    WizardFixture f;
    f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    const DxArchives archives = ArchivesOf('K');
    const std::string folder = f.TempPath("archives");
    std::filesystem::create_directories(folder);
    WizardFixture::WriteFile(folder + "/a_good.csv", archives.good);
    WizardFixture::WriteFile(folder + "/b_bad.csv", archives.tampered);

    ToPathPage(f, true);
    auto* page = f.Page<QtVerificationFileFolderSelectionPage>(kPageVerificationFileFolderSelection);
    (page->ChooseFolder())->click();
    QCOMPARE(GetAppContext().folderInput, 1);
    SubmitPath(f, folder);
    auto* run = f.Page<QtVerificationPage>(kPageVerification);
    QCOMPARE(run->StatusText(), QStringLiteral("Verification of one or more archive(s) failed."));
    QCOMPARE(run->Results()->topLevelItemCount(), 2);
    QStringList results;
    for (int i = 0; i < 2; ++i) results << Row(run->Results(), i)[1] + QLatin1Char(' ') + Row(run->Results(), i)[2];
    results.sort();
    QCOMPARE(results, (QStringList{QStringLiteral("a_good.csv Success"), QStringLiteral("b_bad.csv Failure")}));

    // One tampered file alone.
    f.ui_.answers = {true};
    (f.Window().FinishButton())->click();
    ToPathPage(f, true);
    QVERIFY(!page->ChooseFolder()->isChecked());
    SubmitPath(f, folder + "/b_bad.csv");
    QCOMPARE(run->StatusText(), QStringLiteral("Archive verification failed."));
    QCOMPARE(Row(run->Results(), 0)[2], QStringLiteral("Failure"));
}

// Archive names carry the time of their blocks: the rows list them in name
// order, whatever order the file system keeps.
void VerificationPagesTest::dxFolderRowsComeInNameOrder() {
    WizardFixture f;
    f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    const std::string good = ArchivesOf('K').good;
    const std::string folder = f.TempPath("archives");
    std::filesystem::create_directories(folder);
    QStringList names;
    for (int month = 1; month <= 9; ++month) {
        names << QStringLiteral("20190%101080000_20190%128200000.csv").arg(month);
    }
    // Created out of order, so that no file system lists them sorted by chance.
    for (int i : {4, 1, 7, 0, 8, 6, 2, 5, 3}) WizardFixture::WriteFile(folder + "/" + names[i].toStdString(), good);

    ToPathPage(f, true);
    auto* page = f.Page<QtVerificationFileFolderSelectionPage>(kPageVerificationFileFolderSelection);
    (page->ChooseFolder())->click();
    SubmitPath(f, folder);
    auto* run = f.Page<QtVerificationPage>(kPageVerification);
    QCOMPARE(run->StatusText(), QStringLiteral("Archive(s) verified successfully."));
    QStringList listed;
    for (int i = 0; i < run->Results()->topLevelItemCount(); ++i) {
        QCOMPARE(Row(run->Results(), i)[0], QString::number(i + 1));
        listed << Row(run->Results(), i)[1];
    }
    QCOMPARE(listed, names);
}

void VerificationPagesTest::zt4ArchivesAndLogsValidate() {
    WizardFixture f;
    f.Start("ZT4");
    const std::string archive = f.TempPath("20150102080000_20150102200000.XML");
    WizardFixture::WriteFile(archive, SampleZt4Archive());
    QVERIFY(SignArchiveFile(archive));
    const std::string log = f.TempPath("Archive.log");
    WizardFixture::WriteFile(log, SampleZt4Log());
    QVERIFY(SignLogFile(log));
    auto* run = f.Page<QtVerificationPage>(kPageVerification);

    ToPathPage(f, false);
    auto* page = f.Page<QtVerificationFileFolderSelectionPage>(kPageVerificationFileFolderSelection);
    QVERIFY(page->ChooseFolder()->isVisible());
    QVERIFY(!page->LogBox()->isVisible());
    SubmitPath(f, log);
    QCOMPARE(f.TakeShown(), std::vector<std::string>{"Not an archive(XML) file."});
    SubmitPath(f, archive);
    QCOMPARE(run->StatusText(), QStringLiteral("Archive validated successfully."));
    QCOMPARE(run->Results()->columnCount(), 4);
    QCOMPARE(Row(run->Results(), 0)[2], QStringLiteral("Success"));
    QCOMPARE(f.Window().HighlightedCaption(), QStringLiteral("Validating"));

    f.ui_.answers = {true};
    (f.Window().FinishButton())->click();
    ToPathPage(f, false, true);
    f.TakeShown();
    QVERIFY(!page->ChooseFolder()->isVisible());
    SubmitPath(f, archive);
    QCOMPARE(f.TakeShown(), std::vector<std::string>{"Not log file."});
    SubmitPath(f, log);
    QCOMPARE(run->StatusText(), QStringLiteral("Log file validated successfully."));

    std::string text;
    {
        std::ifstream in(log, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    text[text.find("K7Q29")] = 'X';
    WizardFixture::WriteFile(log, text);
    f.ui_.answers = {true};
    (f.Window().FinishButton())->click();
    ToPathPage(f, false, true);
    SubmitPath(f, log);
    QCOMPARE(run->StatusText(), QStringLiteral("Log file validation failed."));
    QCOMPARE(Row(run->Results(), 0)[2], QStringLiteral("Failure"));
}

void VerificationPagesTest::anotherOperationYesStartsOverAndNoEndsTheWizard() {
    WizardFixture f;
    f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    const std::string good = f.TempPath("good.csv");
    WizardFixture::WriteFile(good, ArchivesOf('K').good);
    ToPathPage(f, true);
    SubmitPath(f, good);
    f.ui_.answers = {true};
    (f.Window().FinishButton())->click();
    QCOMPARE(f.ActiveId(), int(kPageWelcome));
    // Back to the first page: the buttons wait for its first paint.
    QVERIFY(!f.Window().BackButton()->isVisible());
    QVERIFY(f.Page<QtWelcomePage>(kPageWelcome)->NewArchive()->isChecked());
    f.Page<QtWelcomePage>(kPageWelcome)->repaint();
    QVERIFY(f.Window().NextButton()->isVisible());

    ToPathPage(f, true);
    SubmitPath(f, good);
    f.ui_.answers = {false};
    (f.Window().FinishButton())->click();
    QCOMPARE(f.Window().result(), int(QtWizardDialog::kFinishCode));
    QVERIFY(!HasAppContext());
    QVERIFY(f.LogText().find("Application closed") != std::string::npos);
}

void VerificationPagesTest::closingAfterTheRunAborts() {
    WizardFixture f;
    f.Start("ZT4");
    const std::string archive = f.TempPath("a.xml");
    WizardFixture::WriteFile(archive, SampleZt4Archive());
    ToPathPage(f, false);
    SubmitPath(f, archive);
    auto* run = f.Page<QtVerificationPage>(kPageVerification);
    QCOMPARE(run->StatusText(), QStringLiteral("Archive validation failed."));  // not signed
    QCOMPARE(f.Window().CancelButton()->text(), QStringLiteral("&Abort"));
    f.ui_.answers = {false};
    f.Window().OnCancel();
    QCOMPARE(f.TakeShown(), std::vector<std::string>{"Are you sure you want to close?"});
    QVERIFY(f.Window().isVisible());
    f.ui_.answers = {true};
    const int code = f.CancelExitCode();
    QCOMPARE(code, 0);
    QVERIFY(f.LogText().find("Application aborted") != std::string::npos);
}

void VerificationPagesTest::abortDuringARunEndsTheProgram() {
    WizardFixture f;
    f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    const std::string folder = f.TempPath("archives");
    std::filesystem::create_directories(folder);
    const std::string good = ArchivesOf('K').good;
    for (int i = 0; i < 5; ++i) WizardFixture::WriteFile(folder + "/a" + std::to_string(i) + ".csv", good);
    ToPathPage(f, true);
    auto* page = f.Page<QtVerificationFileFolderSelectionPage>(kPageVerificationFileFolderSelection);
    page->ChooseFolder()->click();
    page->PathBox()->setText(QString::fromStdString(folder));
    f.TakeShown();
    // The user presses Abort while the first archive is checked, and confirms.
    bool buttonsHidden = false;
    f.ui_.duringRun = [&] {
        buttonsHidden = !f.Window().NextButton()->isVisible() && !f.Window().FinishButton()->isVisible() &&
                        f.Window().CancelButton()->text() == QStringLiteral("&Abort") &&
                        !f.Window().SettingsButton()->isEnabled();
        f.ui_.answers = {true};
        f.Window().OnCancel();
    };
    int code = -1;
    try {
        f.Window().OnNext();
    } catch (const ExitRequested& e) {
        code = e.code;
    }
    QCOMPARE(code, 0);
    QVERIFY(buttonsHidden);
    QCOMPARE(f.TakeShown(), std::vector<std::string>{"Do you want to cancel the current operation and close?"});
    QVERIFY(f.LogText().find("Application aborted") != std::string::npos);
    QVERIFY(!HasAppContext());
}

void VerificationPagesTest::reportButtonSavesHtmlAndPdf() {
    WizardFixture f;
    f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    const std::string folder = f.TempPath("checked");
    std::filesystem::create_directories(folder);
    const std::string good = folder + "/good.csv";
    WizardFixture::WriteFile(good, ArchivesOf('K').good);
    ToPathPage(f, true);
    auto* run = f.Page<QtVerificationPage>(kPageVerification);
    QVERIFY(!f.Window().PageButton()->isVisible());  // nothing to report before a run
    SubmitPath(f, good);
    QPushButton* button = run->ReportButton();
    QCOMPARE(button, f.Window().PageButton());
    QVERIFY(button->isVisible());
    QVERIFY(button->isEnabled());
    QCOMPARE(button->text(), QStringLiteral("Save report..."));

    FakeSaveDialog dialog;
    dialog.Install();
    // Cancelled: nothing written, nothing shown.
    button->click();
    QCOMPARE(dialog.calls, 1);
    QVERIFY(dialog.suggested.startsWith(QString::fromStdString(folder) + QStringLiteral("/Tallyvault report ")));
    QVERIFY(dialog.suggested.endsWith(QStringLiteral(".pdf")));
    QCOMPARE(dialog.filters, QStringLiteral("PDF report (*.pdf);;HTML report (*.html)"));
    QVERIFY(f.TakeShown().empty());

    dialog.answer = QString::fromStdString(f.TempPath("report.html"));
    button->click();
    const std::string html = ReadAll(f.TempPath("report.html"));
    QVERIFY(html.find("<html") != std::string::npos || html.find("<!DOCTYPE") != std::string::npos);
    QVERIFY(html.find("good.csv") != std::string::npos);
    dialog.answer = QString::fromStdString(f.TempPath("report.PDF"));
    button->click();
    QCOMPARE(ReadAll(f.TempPath("report.PDF")).substr(0, 5), std::string("%PDF-"));
    QVERIFY(f.TakeShown().empty());

    // What the report is made of: the list as shown and the final status.
    const ReportInput input = run->MakeReportInput();
    QVERIFY(!input.zt4);
    QCOMPARE(input.checkedPath, good);
    QCOMPARE(input.trail, &run->Trail());
    QCOMPARE(input.columns.size(), size_t{6});
    QCOMPARE(input.rows.size(), size_t{1});
    QCOMPARE(QString::fromStdU16String(input.rows[0][1]), QStringLiteral("good.csv"));
    QCOMPARE(QString::fromStdU16String(input.summary), run->StatusText());
    QVERIFY(input.continuity == nullptr);

    // Another operation: the button leaves with the result page.
    f.ui_.answers = {true};
    (f.Window().FinishButton())->click();
    QCOMPARE(f.ActiveId(), int(kPageWelcome));
    QVERIFY(!button->isVisible());
}

void VerificationPagesTest::reportOfAValidationAndAFailedSave() {
    WizardFixture f;
    f.Start("ZT4", {"Language=French"});
    const std::string archive = f.TempPath("20150102080000_20150102200000.xml");
    WizardFixture::WriteFile(archive, SampleZt4Archive());
    QVERIFY(SignArchiveFile(archive));
    ToPathPage(f, false);
    SubmitPath(f, archive);
    auto* run = f.Page<QtVerificationPage>(kPageVerification);
    QVERIFY(run->Succeeded());
    QVERIFY(run->ReportButton()->isVisible());
    QCOMPARE(run->ReportButton()->text(), QStringLiteral("Enregistrer le rapport..."));
    QVERIFY(!run->ContinuityTable()->isVisible());
    QVERIFY(run->MakeReportInput().zt4);

    FakeSaveDialog dialog;
    dialog.Install();
    dialog.answer = QString::fromStdString(f.TempPath("validation.html"));
    run->ReportButton()->click();
    QVERIFY(ReadAll(f.TempPath("validation.html")).find("20150102080000_20150102200000.xml") != std::string::npos);
    QVERIFY(dialog.suggested.startsWith(QString::fromStdString(f.TempPath("Rapport Tallyvault "))));

    // A folder that is not there: the reason in a box, the page stays.
    dialog.answer = QString::fromStdString(f.TempPath("missing/report.pdf"));
    run->ReportButton()->click();
    QCOMPARE(f.TakeShown().size(), size_t{1});
    QVERIFY(!std::filesystem::exists(f.TempPath("missing/report.pdf")));
    QCOMPARE(f.ActiveId(), int(kPageVerification));
}

void VerificationPagesTest::allFindingsBoxReachesTheRunOptions() {
    WizardFixture f;
    f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    const std::string folder = f.TempPath("archives");
    std::filesystem::create_directories(folder);
    const DxArchives archives = ArchivesOf('K');
    WizardFixture::WriteFile(folder + "/a.csv", archives.good);
    WizardFixture::WriteFile(folder + "/b.csv", archives.tampered);
    ToPathPage(f, true);
    auto* page = f.Page<QtVerificationFileFolderSelectionPage>(kPageVerificationFileFolderSelection);
    QVERIFY(page->AllFindingsBox()->isVisible());
    QCOMPARE(page->AllFindingsBox()->text(), QStringLiteral("&List every failing block"));
    QVERIFY(!page->AllFindingsBox()->isChecked());
    page->ChooseFolder()->click();
    page->AllFindingsBox()->click();
    auto* run = f.Page<QtVerificationPage>(kPageVerification);
    // The verifier finds the page's trail in the context while it runs, and
    // only then.
    const AuditTrail* during = nullptr;
    f.ui_.duringRun = [&] { during = GetAppContext().auditTrail; };
    SubmitPath(f, folder);
    QCOMPARE(during, &run->Trail());
    QVERIFY(GetAppContext().auditTrail == nullptr);
    QVERIFY(run->Trail().options.allFindings);
    // The specified result stays as it is.
    QCOMPARE(run->StatusText(), QStringLiteral("Verification of one or more archive(s) failed."));

    // Entering the page again starts without it.
    f.ui_.answers = {true};
    (f.Window().FinishButton())->click();
    ToPathPage(f, true);
    QVERIFY(!page->AllFindingsBox()->isChecked());
    SubmitPath(f, folder + "/a.csv");
    QVERIFY(!run->Trail().options.allFindings);

    // ZT4 has no such choice.
    WizardFixture z;
    z.Start("ZT4");
    ToPathPage(z, false);
    auto* zpage = z.Page<QtVerificationFileFolderSelectionPage>(kPageVerificationFileFolderSelection);
    QVERIFY(!zpage->AllFindingsBox()->isVisible());
    zpage->AllFindingsBox()->setChecked(true);
    QVERIFY(!zpage->AllFindings());
}

void VerificationPagesTest::continuityTableShowsForAFolderOnly() {
    WizardFixture f;
    f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    const std::string folder = f.TempPath("archives");
    std::filesystem::create_directories(folder);
    const std::string good = ArchivesOf('K').good;
    WizardFixture::WriteFile(folder + "/20150101_20150102.csv", good);
    WizardFixture::WriteFile(folder + "/20150103_20150104.csv", good);
    ToPathPage(f, true);
    auto* page = f.Page<QtVerificationFileFolderSelectionPage>(kPageVerificationFileFolderSelection);
    page->ChooseFolder()->click();
    SubmitPath(f, folder);
    auto* run = f.Page<QtVerificationPage>(kPageVerification);
    QVERIFY(run->Continuity() != nullptr);
    QTreeWidget* table = run->ContinuityTable();
    QVERIFY(table->isVisible());
    // dX cards keep no Archive.log: its column is left out.
    QCOMPARE(table->columnCount(), 5);
    QCOMPARE(table->headerItem()->text(0), QStringLiteral("Card"));
    QCOMPARE(table->headerItem()->text(4), QStringLiteral("Gaps / overlaps"));
    for (int c = 0; c < table->columnCount(); ++c) {
        QVERIFY(table->headerItem()->text(c) != QStringLiteral("Archive.log mismatches"));
    }
    QCOMPARE(table->topLevelItemCount(), int(run->Continuity()->cards.size()));
    size_t files = 0;
    for (int i = 0; i < table->topLevelItemCount(); ++i) files += table->topLevelItem(i)->text(1).toUInt();
    size_t listed = 0;
    for (const CardContinuity& card : run->Continuity()->cards) listed += card.files.size();
    QCOMPARE(files, listed);
    QCOMPARE(run->MakeReportInput().continuity, run->Continuity());

    f.ui_.answers = {true};
    (f.Window().FinishButton())->click();
    ToPathPage(f, true);
    SubmitPath(f, folder + "/20150101_20150102.csv");
    QVERIFY(!table->isVisible());
    QVERIFY(run->Continuity() == nullptr);
    QVERIFY(run->MakeReportInput().continuity == nullptr);

    // A card whose archives leave a gap and overlap, and a ZT4 card against its log.
    ContinuityReport report;
    CardContinuity dx;
    dx.family = "dX";
    dx.smcUid = "04AA";
    dx.scaleSerial = "SN1";
    dx.files = {0, 1, 2};
    dx.covered = {{true, 1, 40, "2015-01-01 08:00:00", "2015-01-02 20:00:00"},
                  {true, 45, 90, "2015-01-03 08:00:00", "2015-01-04 20:00:00"}};
    Join gap;
    gap.kind = JoinKind::kGap;
    gap.missingFirst = 41;
    gap.missingLast = 44;
    Join overlap;
    overlap.before = 1;
    overlap.kind = JoinKind::kOverlap;
    overlap.repeatedFirst = 80;
    overlap.repeatedLast = 90;
    dx.joins = {gap, overlap};
    CardContinuity zt4;
    zt4.family = "ZT4";
    zt4.smcUid = "04BB";
    zt4.files = {3};
    zt4.logGiven = true;
    zt4.missingFromFolder.resize(2);
    zt4.notInLog = {3};
    report.cards = {dx, zt4};
    // The rows the page shows, as the wizard core makes them.
    const tv::ContinuityTable rows = MakeContinuityTable(report);
    QCOMPARE(rows.headers.size(), size_t{6});
    QCOMPARE(QString::fromStdU16String(rows.headers[5]), QStringLiteral("Archive.log mismatches"));
    QCOMPARE(rows.rows.size(), size_t{2});
    const auto cells = [&rows](size_t row) {
        QStringList texts;
        for (const ContinuityCell& cell : rows.rows[row].cells) texts << QString::fromStdU16String(cell.text);
        return texts;
    };
    QCOMPARE(cells(0), (QStringList{QStringLiteral("SN1"), QStringLiteral("3"), QStringLiteral("1-40, 45-90"),
                                    QStringLiteral("2015-01-01 - 2015-01-04"),
                                    QStringLiteral("gap 41-44, overlap 80-90"), QStringLiteral("-")}));
    QCOMPARE(QString::fromStdU16String(rows.rows[0].cardTip), QStringLiteral("04AA (SN1)"));
    QVERIFY(rows.rows[0].cells[4].failed);
    QCOMPARE(cells(1)[0], QStringLiteral("04BB"));
    QCOMPARE(cells(1)[3], QString());
    QCOMPARE(cells(1)[4], QStringLiteral("none"));
    QCOMPARE(cells(1)[5], QStringLiteral("2 missing, 1 not in the log"));
    QVERIFY(rows.rows[1].cells[5].failed);
}

// A folder of ZT4 archives: every archive validated, the card's Archive.log
// offered, validated after them and compared with the folder.
void VerificationPagesTest::zt4FolderIsComparedWithTheCardsLog() {
    WizardFixture f;
    f.MountCard('K', WizardFixture::SmallCard(CardFamily::Zt4));
    f.Start("ZT4");
    const std::string cardLog = f.TempPath("card-K/Archive.log");
    WizardFixture::WriteFile(cardLog, SampleZt4Log());
    QVERIFY(SignLogFile(cardLog));
    const std::string folder = f.TempPath("archives");
    std::filesystem::create_directories(folder + "/run");
    const std::string archive = folder + "/run/20150102080000_20150102200000.xml";
    WizardFixture::WriteFile(archive, SampleZt4Archive());
    QVERIFY(SignArchiveFile(archive));
    auto* run = f.Page<QtVerificationPage>(kPageVerification);
    auto* page = f.Page<QtVerificationFileFolderSelectionPage>(kPageVerificationFileFolderSelection);

    ToPathPage(f, false);
    QVERIFY(!page->LogBox()->isVisible());
    page->ChooseFolder()->click();
    QVERIFY(page->LogBox()->isVisible());
    QCOMPARE(page->LogBox()->text(), QString::fromStdString(cardLog));
    // Refused: a folder without archives, a log that is not one.
    SubmitPath(f, f.TempPath("card-K"));
    QCOMPARE(f.TakeShown(), std::vector<std::string>{"No archive file(s) found."});
    page->LogBox()->setText(QString::fromStdString(archive));
    SubmitPath(f, folder);
    QCOMPARE(f.TakeShown(), std::vector<std::string>{"Not log file."});
    page->LogBox()->setText(QString::fromStdString(f.TempPath("none.log")));
    SubmitPath(f, folder);
    QCOMPARE(f.TakeShown(), std::vector<std::string>{"Enter a valid path (Path too long?)."});

    page->LogBox()->setText(QString::fromStdString(cardLog));
    SubmitPath(f, folder);
    QCOMPARE(run->StatusText(), QStringLiteral("Archive validated successfully."));
    QCOMPARE(run->Results()->topLevelItemCount(), 2);
    QCOMPARE(Row(run->Results(), 0)[1], QStringLiteral("20150102080000_20150102200000.xml"));
    QCOMPARE(Row(run->Results(), 1)[1], QStringLiteral("Archive.log"));
    QCOMPARE(Row(run->Results(), 1)[2], QStringLiteral("Success"));
    QVERIFY(run->ContinuityTable()->isVisible());
    QVERIFY(run->Continuity() != nullptr);
    QCOMPARE(run->Continuity()->cards.size(), size_t{1});
    QVERIFY(run->Continuity()->cards[0].logGiven);
    QVERIFY(run->Continuity()->Complete());

    // The log lists a file the folder lacks.
    std::filesystem::remove(archive);
    WizardFixture::WriteFile(folder + "/run/20150103080000_20150103200000.xml", SampleZt4Archive());
    QVERIFY(SignArchiveFile(folder + "/run/20150103080000_20150103200000.xml"));
    f.ui_.answers = {true};
    (f.Window().FinishButton())->click();
    ToPathPage(f, false);
    page->ChooseFolder()->click();
    SubmitPath(f, folder);
    QVERIFY(run->Continuity() != nullptr);
    QVERIFY(!run->Continuity()->Complete());
    size_t missing = 0;
    for (const CardContinuity& card : run->Continuity()->cards) missing += card.missingFromFolder.size();
    QCOMPARE(missing, size_t{1});
}

}  // namespace tv::test
