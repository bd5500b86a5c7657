#include "ui/WholeFlowTest.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QRadioButton>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "dx/VerifierdX.h"
#include "emulator/CardExtension.h"
#include "ui/QtArchiverPathSelectionPage.h"
#include "ui/QtArchiverRunPage.h"
#include "ui/QtArchiverSelectionPage.h"
#include "ui/QtDateSelectionPage.h"
#include "ui/QtSBCSelectionPage.h"
#include "ui/QtVerificationFileFolderSelectionPage.h"
#include "ui/QtVerificationPage.h"
#include "ui/QtWelcomePage.h"
#include "ui/WizardFixture.h"

namespace tv::test {

namespace fs = std::filesystem;

namespace {

enum class Kind { Complete, Continue, Date };

// The user's way through the pages for one archive run.
class Flow {
public:
    explicit Flow(WizardFixture& f) : f_(f) {}

    // Welcome (or, with auto-detect, the card page first) to the archive choice.
    void ToChoice() {
        if (f_.ActiveId() == kPageWelcome) {
            auto* welcome = f_.Page<QtWelcomePage>(kPageWelcome);
            welcome->repaint();  // the first page shows its buttons when it paints
            welcome->NewArchive()->click();
            f_.ClickNext();
        }
        QCOMPARE(f_.ActiveId(), int(kPageSbcSelection));
        auto* cards = f_.Page<QtSBCSelectionPage>(kPageSbcSelection);
        cards->repaint();
        QVERIFY(cards->CardList()->count() >= 2);
        cards->CardList()->setCurrentIndex(1);
        f_.ClickNext();
        if (f_.ActiveId() == kPageWelcome) {  // auto-detect: the welcome page follows the card
            f_.Page<QtWelcomePage>(kPageWelcome)->NewArchive()->click();
            f_.ClickNext();
        }
        QCOMPARE(f_.ActiveId(), int(kPageArchiverSelection));
    }
    // The choice and the folder; the run page (or the date page) follows.
    void Choose(Kind kind, const std::string& folder) {
        auto* choice = f_.Page<QtArchiverSelectionPage>(kPageArchiverSelection);
        QRadioButton* button = kind == Kind::Complete ? choice->CompleteArchive()
                               : kind == Kind::Continue ? choice->ContinueArchive()
                                                        : choice->DateBasedArchive();
        QVERIFY(button->isEnabled());
        button->click();
        f_.ClickNext();
        QCOMPARE(f_.ActiveId(), int(kPageArchiverPathSelection));
        fs::create_directories(folder);
        f_.Page<QtArchiverPathSelectionPage>(kPageArchiverPathSelection)->PathBox()->setText(QString::fromStdString(folder));
        f_.ClickNext();
    }
    void Dates(const QDate& from, const QDate& to) {
        QCOMPARE(f_.ActiveId(), int(kPageDateSelection));
        auto* dates = f_.Page<QtDateSelectionPage>(kPageDateSelection);
        dates->FromDate()->setDate(from);
        dates->ToDate()->setDate(to);
        f_.ClickNext();
    }
    QtArchiverRunPage* Run() const {
        auto* page = dynamic_cast<QtArchiverRunPage*>(f_.Window().ActivePage());
        return page;
    }
    // Finish, and the answer to "Do you want to perform another operation?".
    void Another(bool yes) {
        f_.TakeShown();
        f_.ui_.answers = {yes};
        (f_.Window().FinishButton())->click();
        QCOMPARE(f_.TakeShown(), std::vector<std::string>{"Do you want to perform another operation?"});
    }

private:
    WizardFixture& f_;
};

// The run page finished with success, one row per file written, and every
// file verifies; the number of files.
size_t ExpectVerifiedRun(WizardFixture& f, QtArchiverRunPage* run, CardFamily family, const std::string& folder) {
    if (run == nullptr) {
        qWarning("no run page: %d", f.ActiveId());
        return 0;
    }
    if (!run->Succeeded()) qWarning("%s", f.LogText().c_str());
    [&] {
        QVERIFY(run->IsFinished());
        QVERIFY(run->Succeeded());
        QVERIFY(f.Window().FinishButton()->isVisible());
    }();
    const std::vector<std::string> files = WizardFixture::FilesUnder(folder, family == CardFamily::Dx ? ".csv" : ".xml");
    [&] {
        QVERIFY(!files.empty());
        QCOMPARE(run->Results()->topLevelItemCount(), int(files.size()));
        for (const std::string& file : files) {
            QVERIFY2(family == CardFamily::Dx ? VerifyArchiveFileQuietly(file) : WizardFixture::Zt4Validates(file), file.c_str());
        }
        if (family == CardFamily::Zt4) QVERIFY(WizardFixture::Zt4Validates(f.TempPath("card-E") + "/Archive.log"));
    }();
    return files.size();
}

void ThreeRuns(CardFamily family) {
    WizardFixture f;
    f.MountCard('E', WizardFixture::SmallCard(family));
    f.Start(family == CardFamily::Dx ? "dX" : "ZT4");
    Flow flow(f);

    flow.ToChoice();
    QVERIFY(!f.Page<QtArchiverSelectionPage>(kPageArchiverSelection)->ContinueAvailable());
    flow.Choose(Kind::Complete, f.TempPath("complete"));
    QCOMPARE(f.ActiveId(), int(kPageCompleteArchiver));
    ExpectVerifiedRun(f, flow.Run(), family, f.TempPath("complete"));
    flow.Another(true);
    QCOMPARE(f.ActiveId(), int(kPageWelcome));

    // The scale trades two more days; the profile the run wrote offers to continue.
    CardSummary grown;
    std::string error;
    QVERIFY2(ExtendCard(f.TempPath("card-E"), 2, grown, error), error.c_str());
    flow.ToChoice();
    QVERIFY(f.Page<QtArchiverSelectionPage>(kPageArchiverSelection)->ContinueAvailable());
    flow.Choose(Kind::Continue, f.TempPath("continued"));
    QCOMPARE(f.ActiveId(), int(kPagePartialArchiver));
    ExpectVerifiedRun(f, flow.Run(), family, f.TempPath("continued"));
    flow.Another(true);

    // The two new days alone, by date.
    flow.ToChoice();
    flow.Choose(Kind::Date, f.TempPath("dated"));
    const QDate last = QDate::fromString(QString::fromStdString(grown.lastDate), Qt::ISODate);
    flow.Dates(last.addDays(-1), last);
    QCOMPARE(f.ActiveId(), int(kPageDateBasedArchiver));
    ExpectVerifiedRun(f, flow.Run(), family, f.TempPath("dated"));
    QCOMPARE(f.Window().BreadcrumbTexts().size(), 5);

    flow.Another(false);
    QCOMPARE(f.Window().result(), int(QtWizardDialog::kFinishCode));
    QVERIFY(!HasAppContext());
    QVERIFY(f.LogText().find("Application closed") != std::string::npos);
}

}  // namespace

void WholeFlowTest::dxCompleteContinueAndDateRuns() { ThreeRuns(CardFamily::Dx); }

void WholeFlowTest::zt4CompleteContinueAndDateRuns() { ThreeRuns(CardFamily::Zt4); }

void WholeFlowTest::autoDetectStartsAgainOnTheCardPage() {
    WizardFixture f;
    f.MountCard('E', WizardFixture::SmallCard(CardFamily::Zt4));
    fs::create_directories(f.TempPath("default"));
    f.Start("Auto-detect", {"UseDefaultArchivePath=YES", "ArchivePath=" + f.TempPath("default")});
    QCOMPARE(f.ActiveId(), int(kPageSbcSelection));
    Flow flow(f);
    flow.ToChoice();
    f.Page<QtArchiverSelectionPage>(kPageArchiverSelection)->CompleteArchive()->click();
    f.ClickNext();  // the default folder: straight on to the run
    QCOMPARE(f.ActiveId(), int(kPageCompleteArchiver));
    ExpectVerifiedRun(f, flow.Run(), CardFamily::Zt4, f.TempPath("default"));

    // The same archive again, kept: the default folder has no path page to go back to.
    flow.Another(true);
    QCOMPARE(f.ActiveId(), int(kPageSbcSelection));
    flow.ToChoice();
    f.Page<QtArchiverSelectionPage>(kPageArchiverSelection)->CompleteArchive()->click();
    f.ui_.answers = {false};
    f.ClickNext();
    QtArchiverRunPage* run = flow.Run();
    QVERIFY(run != nullptr);
    QVERIFY(!run->Succeeded());
    QCOMPARE(run->MessageText(), QStringLiteral("File already exists."));
    QVERIFY(f.Window().FinishButton()->isVisible());
}

// A ZT4 run ends with the end day's last transaction whether or not the day was
// closed, so within the dates the pickers offer only a dX card asks.
void WholeFlowTest::endDateWithoutClosureAsksWhetherToStopEarlier() {
    WizardFixture f;
    CardOptions o = WizardFixture::SmallCard(CardFamily::Dx);
    o.days = 4;
    const CardSummary card = f.MountCard('E', o);
    // The second day's last receipt and closure were dated noon of the third
    // day: the second day has receipts and no closure of its own.
    const QDate first = QDate::fromString(QString::fromStdString(card.firstDate), Qt::ISODate);
    const std::string second = first.addDays(1).toString(Qt::ISODate).toStdString();
    QVERIFY(f.LeaveDayWithoutClosure('E', card, second));

    f.Start("dX");
    Flow flow(f);
    flow.ToChoice();
    flow.Choose(Kind::Date, f.TempPath("dated"));
    f.TakeShown();
    const std::string question = "Closure not available for the selected end date (" + second +
                                 "). Do you want to continue archiving upto " + card.firstDate + "?";
    // No: the date page stays and nothing is written.
    f.ui_.answers = {false};
    flow.Dates(first, first.addDays(1));
    std::vector<std::string> shown = f.TakeShown();
    QVERIFY(!shown.empty());
    QCOMPARE(shown[0], question);
    QCOMPARE(f.ActiveId(), int(kPageDateSelection));
    QVERIFY(WizardFixture::FilesUnder(f.TempPath("dated"), ".csv").empty());

    // Yes: the archive ends with the first day's closure.
    f.ui_.answers = {true};
    f.ClickNext();
    QCOMPARE(f.TakeShown(), std::vector<std::string>{question});
    QCOMPARE(f.ActiveId(), int(kPageDateBasedArchiver));
    QCOMPARE(ExpectVerifiedRun(f, flow.Run(), CardFamily::Dx, f.TempPath("dated")), size_t{1});
    const std::string name = WizardFixture::FilesUnder(f.TempPath("dated"), ".csv").at(0);
    QVERIFY(name.find("_" + QDate::fromString(QString::fromStdString(card.firstDate), Qt::ISODate)
                                .toString(QStringLiteral("yyyyMMdd")).toStdString()) != std::string::npos);
    QVERIFY(name.find("_" + first.addDays(1).toString(QStringLiteral("yyyyMMdd")).toStdString()) == std::string::npos);
}

// Enter typed in a path field is one Next: the run starts and its end stays on
// screen with Finish as the default button; nothing asks for another operation
// until the user presses a key again.
void WholeFlowTest::enterInAPathFieldIsOneNext() {
    WizardFixture f;
    f.MountCard('E', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    Flow flow(f);
    flow.ToChoice();
    f.Page<QtArchiverSelectionPage>(kPageArchiverSelection)->CompleteArchive()->click();
    f.ClickNext();
    QCOMPARE(f.ActiveId(), int(kPageArchiverPathSelection));
    const std::string folder = f.TempPath("complete");
    fs::create_directories(folder);
    QLineEdit* archivePath = f.Page<QtArchiverPathSelectionPage>(kPageArchiverPathSelection)->PathBox();
    archivePath->setText(QString::fromStdString(folder));
    f.TakeShown();
    QTest::keyClick(archivePath, Qt::Key_Return);
    QCOMPARE(f.TakeShown(), std::vector<std::string>{});
    QCOMPARE(f.Window().result(), 0);
    QCOMPARE(f.ActiveId(), int(kPageCompleteArchiver));
    ExpectVerifiedRun(f, flow.Run(), CardFamily::Dx, folder);
    QVERIFY(f.Window().FinishButton()->isDefault());
    flow.Another(true);

    // The verification path page, with the Enter key of the number pad; an
    // empty path is refused once.
    auto* welcome = f.Page<QtWelcomePage>(kPageWelcome);
    welcome->repaint();
    welcome->ExistingArchive()->click();
    welcome->WithoutSmc()->click();
    f.ClickNext();
    QCOMPARE(f.ActiveId(), int(kPageVerificationFileFolderSelection));
    QLineEdit* archive = f.Page<QtVerificationFileFolderSelectionPage>(kPageVerificationFileFolderSelection)->PathBox();
    f.TakeShown();
    QTest::keyClick(archive, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(f.TakeShown(), std::vector<std::string>{"Enter an archive file/folder path and click \"Next\"."});
    QCOMPARE(f.ActiveId(), int(kPageVerificationFileFolderSelection));
    archive->setText(QString::fromStdString(WizardFixture::FilesUnder(folder, ".csv").at(0)));
    QTest::keyClick(archive, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(f.TakeShown(), std::vector<std::string>{});
    QCOMPARE(f.Window().result(), 0);
    QCOMPARE(f.ActiveId(), int(kPageVerification));
    QVERIFY(f.Page<QtVerificationPage>(kPageVerification)->IsDone());
    QVERIFY(f.Window().FinishButton()->isDefault());
}

}  // namespace tv::test
