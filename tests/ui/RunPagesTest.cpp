#include "ui/RunPagesTest.h"

#include <QHeaderView>
#include <QImage>
#include <QProgressBar>
#include <filesystem>
#include <functional>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "archive/ArchiveRun.h"
#include "archive/BaseArchiver.h"
#include "archive/DateRange.h"
#include "dx/VerifierdX.h"
#include "platform/Text.h"
#include "smc/SmcAccess.h"
#include "smc/SmcDiscovery.h"
#include "ui/QtArchiverPathSelectionPage.h"
#include "ui/QtArchiverRunPage.h"
#include "ui/PageStyle.h"
#include "ui/QtWelcomePage.h"
#include "ui/WizardFixture.h"

namespace tv::test {

namespace fs = std::filesystem;

namespace {

// Runs the action at the n-th event pump of the engine from now on.
struct AtPump {
    WizardFixture* f;
    int left;
    std::function<void()> action;
    void operator()() {
        if (--left > 0) {
            f->ui_.duringRun = *this;
            return;
        }
        action();
    }
};

void RunAtPump(WizardFixture& f, int n, std::function<void()> action) {
    f.ui_.duringRun = AtPump{&f, n, std::move(action)};
}

// Runs the action at the first event pump of the engine where the condition holds.
struct When {
    WizardFixture* f;
    std::function<bool()> condition;
    std::function<void()> action;
    void operator()() {
        if (!condition()) {
            f->ui_.duringRun = *this;
            return;
        }
        action();
    }
};

void RunWhen(WizardFixture& f, std::function<bool()> condition, std::function<void()> action) {
    f.ui_.duringRun = When{&f, std::move(condition), std::move(action)};
}

// A card whose journal is read in several chunks.
CardOptions LargeCard(CardFamily family) {
    CardOptions o = WizardFixture::SmallCard(family);
    o.days = 60;
    o.receiptsPerDay = 50;
    return o;
}

// The card and the operation as the card and choice pages leave them: the one
// mounted card identified for archiving, the kind of run chosen, archives going
// to the folder.
void PrepareRun(WizardFixture& f, int archiveType, const std::string& folder) {
    AppContext& ctx = GetAppContext();
    ctx.operation = 1;
    const SmcList list = ScanSmcDrives(ctx);
    QVERIFY(list.entries.size() >= 2);
    QCOMPARE(int(IdentifySmc(ctx, list.entries.at(1), SmcPurpose::Archiving)), int(SmcIdentity::Accepted));
    fs::create_directories(folder);
    ctx.archivePath = folder + "/";
    SetArchiveType(ctx, archiveType);
    f.TakeShown();
}

// Enters the run page the way a Next move does.
QtArchiverRunPage* EnterRun(WizardFixture& f, int pageId) {
    QtWizardPage* page = f.Window().FindPage(pageId);
    page->CorePage()->OnBeforeNext();
    f.Window().BackButton()->show();
    if (!f.Window().ActivatePage(page)) return nullptr;
    page->CorePage()->OnEnterForward();
    return static_cast<QtArchiverRunPage*>(page);
}

// Every name in the folder, so that a leftover of any kind shows.
std::vector<std::string> Everything(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(folder, ec)) names.push_back(e.path().string());
    return names;
}

QStringList Row(QTreeWidget* list, int row) {
    QStringList cells;
    QTreeWidgetItem* item = list->topLevelItem(row);
    for (int c = 0; item != nullptr && c < list->columnCount(); ++c) cells << item->text(c);
    return cells;
}

// The wizard as a finished run leaves it.
void ExpectFinished(WizardFixture& f, QtArchiverRunPage* run, bool success) {
    QVERIFY(run != nullptr);
    QVERIFY(run->IsFinished());
    QCOMPARE(run->Succeeded(), success);
    QCOMPARE(run->StatusText(), success ? QStringLiteral("Archive(s) created successfully.")
                                        : QStringLiteral("Creation of archive(s) failed."));
    QVERIFY(f.Window().FinishButton()->isVisible());
    QVERIFY(f.Window().FinishButton()->isDefault());
    QVERIFY(!f.Window().CancelButton()->isVisible());
    QVERIFY(!f.Window().NextButton()->isVisible());
    QVERIFY(!f.Window().BackButton()->isVisible());
    QVERIFY(f.Window().SettingsButton()->isEnabled());
    QVERIFY(run->ResultPicture()->isVisible());
    QVERIFY(!run->Progress()->isVisible());
}

}  // namespace

void RunPagesTest::completeRunShowsItsRowsAndNothingNewFails() {
    WizardFixture f;
    f.MountCard('E', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    const std::string folder = f.TempPath("archives");
    PrepareRun(f, 1, folder);
    QtArchiverRunPage* run = EnterRun(f, kPageCompleteArchiver);
    ExpectFinished(f, run, true);
    QVERIFY(run->MessageText().isEmpty());
    QCOMPARE(run->Progress()->value(), 100);
    QCOMPARE(f.Window().HighlightedCaption(), QStringLiteral("Archiving"));
    QCOMPARE(f.Window().FinishButton()->text(), QStringLiteral("&Finish"));
    // One row per file, four columns wide enough for the reasons of a failure.
    QTreeWidget* list = run->Results();
    QVERIFY(list->isVisible());
    QCOMPARE(list->columnCount(), 4);
    QCOMPARE(list->headerItem()->text(3), QStringLiteral("Remarks"));
    QCOMPARE(list->header()->sectionSize(0), 50);
    QVERIFY(list->alternatingRowColors());
    QCOMPARE(list->palette().color(QPalette::AlternateBase), QColor(230, 230, 230));
    const std::vector<std::string> first = WizardFixture::FilesUnder(folder, ".csv");
    QCOMPARE(first.size(), size_t{1});
    QVERIFY(VerifyArchiveFileQuietly(first[0]));
    QCOMPARE(list->topLevelItemCount(), 1);
    QCOMPARE(Row(list, 0), (QStringList{QStringLiteral("1"), QString::fromStdString(first[0]),
                                        QStringLiteral("Success"), QString()}));

    // Nothing new since: a failed run, and no row to show.
    PrepareRun(f, 2, f.TempPath("nothing"));
    QtArchiverRunPage* partial = EnterRun(f, kPagePartialArchiver);
    ExpectFinished(f, partial, false);
    QCOMPARE(partial->MessageText(), QStringLiteral("No new data found."));
    QVERIFY(WizardFixture::FilesUnder(f.TempPath("nothing"), ".csv").empty());
}

void RunPagesTest::unclosedReceiptsAskForTheLastClosure() {
    WizardFixture f;
    CardOptions o = WizardFixture::SmallCard(CardFamily::Dx);
    o.days = 3;
    o.unclosedTailReceipts = 4;
    f.MountCard('E', o);
    f.Start("dX");
    const std::string folder = f.TempPath("archives");
    PrepareRun(f, 1, folder);
    f.ui_.answers = {false};
    QtArchiverRunPage* run = EnterRun(f, kPageCompleteArchiver);
    ExpectFinished(f, run, false);
    QCOMPARE(run->MessageText(), QStringLiteral("Closure not found! Do closure before archiving."));
    std::vector<std::string> shown = f.TakeShown();
    QCOMPARE(shown.size(), size_t{1});
    QVERIFY(shown[0].starts_with("Closure not found for the most recent receipts. "));
    QVERIFY(shown[0].find("][") != std::string::npos);
    QVERIFY(WizardFixture::FilesUnder(folder, ".csv").empty());

    // Yes: the second run stops at the last closure.
    PrepareRun(f, 1, folder);
    f.ui_.answers = {true};
    run = EnterRun(f, kPageCompleteArchiver);
    ExpectFinished(f, run, true);
    QCOMPARE(f.TakeShown().size(), size_t{1});
    const std::vector<std::string> files = WizardFixture::FilesUnder(folder, ".csv");
    QCOMPARE(files.size(), size_t{1});
    QVERIFY(VerifyArchiveFileQuietly(files[0]));
    QVERIFY(f.LogText().find("As per user choice, Tallyvault will archive till last closure [") != std::string::npos);
}

void RunPagesTest::keepingAnExistingArchive() {
    WizardFixture f;
    f.MountCard('E', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    const std::string folder = f.TempPath("archives");
    PrepareRun(f, 1, folder);
    ExpectFinished(f, EnterRun(f, kPageCompleteArchiver), true);
    const std::string archive = WizardFixture::FilesUnder(folder, ".csv").at(0);
    const auto written = fs::last_write_time(archive);

    // The default folder: the run ends with the reason.
    PrepareRun(f, 1, folder);
    GetAppContext().useDefaultArchivePath = true;
    f.ui_.answers = {false};
    QtArchiverRunPage* run = EnterRun(f, kPageCompleteArchiver);
    ExpectFinished(f, run, false);
    QCOMPARE(run->MessageText(), QStringLiteral("File already exists."));
    QVERIFY(!run->BackToPath());
    QCOMPARE(run->OnWizardBack(), -1);
    QCOMPARE(fs::last_write_time(archive), written);

    // A folder chosen on the path page: that page comes back for another one.
    PrepareRun(f, 1, folder);
    GetAppContext().useDefaultArchivePath = false;
    f.ui_.answers = {false};
    run = EnterRun(f, kPageCompleteArchiver);
    QCOMPARE(f.ActiveId(), int(kPageArchiverPathSelection));
    QVERIFY(run->BackToPath());
    QVERIFY(!run->IsFinished());
    QVERIFY(f.Window().SettingsButton()->isEnabled());
    QVERIFY(f.Window().NextButton()->isDefault());
    QCOMPARE(fs::last_write_time(archive), written);

    // Another folder: the run goes through there.
    const std::string other = f.TempPath("other");
    fs::create_directories(other);
    f.Page<QtArchiverPathSelectionPage>(kPageArchiverPathSelection)->PathBox()->setText(QString::fromStdString(other));
    f.ClickNext();
    QCOMPARE(f.ActiveId(), int(kPageCompleteArchiver));
    ExpectFinished(f, run, true);
    QCOMPARE(WizardFixture::FilesUnder(other, ".csv").size(), size_t{1});
}

void RunPagesTest::abortDuringARunLeavesNothingHalfWritten() {
    WizardFixture f;
    f.MountCard('E', LargeCard(CardFamily::Dx));
    f.Start("dX");
    const std::string folder = f.TempPath("archives");
    PrepareRun(f, 1, folder);
    auto* run = static_cast<QtArchiverRunPage*>(f.Window().FindPage(kPageCompleteArchiver));
    bool runningLook = false;
    std::vector<int> progress;
    // No first: the run goes on. Yes later: the engine cleans up and ends the program.
    RunWhen(f, [&] { return run->Progress()->value() > 10; }, [&] {
        runningLook = run->IsRunning() && !f.Window().NextButton()->isVisible() &&
                      !f.Window().BackButton()->isVisible() && !f.Window().FinishButton()->isVisible() &&
                      f.Window().CancelButton()->isVisible() &&
                      f.Window().CancelButton()->text() == QStringLiteral("&Abort") &&
                      f.Window().CancelButton()->isDefault() && !f.Window().SettingsButton()->isEnabled() &&
                      run->Progress()->isVisible() && run->StatusText().startsWith(QStringLiteral("Please wait"));
        progress.push_back(run->Progress()->value());
        f.ui_.answers = {false};
        f.Window().OnCancel();
        RunWhen(f, [&] { return run->Progress()->value() > 60; }, [&] {
            progress.push_back(run->Progress()->value());
            f.ui_.answers = {true};
            f.Window().OnCancel();
        });
    });
    int code = -1;
    try {
        EnterRun(f, kPageCompleteArchiver);
    } catch (const ExitRequested& e) {
        code = e.code;
    }
    QCOMPARE(code, 0);
    QVERIFY(runningLook);
    QCOMPARE(progress.size(), size_t{2});
    QVERIFY(progress[1] > progress[0]);
    QVERIFY(progress[1] < 100);
    QCOMPARE(f.TakeShown(), (std::vector<std::string>{"Do you want to cancel the current operation and close?",
                                                      "Do you want to cancel the current operation and close?"}));
    QVERIFY(f.LogText().find("Application aborted") != std::string::npos);
    QVERIFY(!HasAppContext());
    QVERIFY(Everything(folder).empty());
    QVERIFY(WizardFixture::FilesUnder(f.TempPath("data"), ".csv").empty());
    QVERIFY(WizardFixture::FilesUnder(f.TempPath("data"), ".tmp").empty());
}

void RunPagesTest::cardPulledOutDuringARunFailsCleanly() {
    for (CardFamily family : {CardFamily::Dx, CardFamily::Zt4}) {
        WizardFixture f;
        f.MountCard('E', LargeCard(family));
        f.Start(family == CardFamily::Dx ? "dX" : "ZT4");
        const std::string folder = f.TempPath("archives");
        PrepareRun(f, 1, folder);
        auto* run = static_cast<QtArchiverRunPage*>(f.Window().FindPage(kPageCompleteArchiver));
        // Pulled out when more than half of the journal is read.
        RunWhen(f, [&] { return run->Progress()->value() > 50; }, [&] {
            f.Emulator('E').Faults().removed = true;
            f.UnmountCard('E');
        });
        EnterRun(f, kPageCompleteArchiver);
        ExpectFinished(f, run, false);
        // What was published before is whole: a ZT4 part cut at the year end
        // stays, signed; nothing else does.
        for (const std::string& path : Everything(folder)) {
            if (fs::is_directory(path)) continue;
            QVERIFY2(family == CardFamily::Zt4 && path.ends_with(".xml") && WizardFixture::Zt4Validates(path), path.c_str());
        }
        QVERIFY(WizardFixture::FilesUnder(f.TempPath("data"), ".csv").empty());
        QVERIFY(WizardFixture::FilesUnder(f.TempPath("data"), ".xml").empty());
        QVERIFY(f.LogText().find("Application aborted") == std::string::npos);
        QVERIFY(f.LogText().find("failed") != std::string::npos);
    }
}

void RunPagesTest::anotherOperationStartsOverOrEndsTheProgram() {
    WizardFixture f;
    f.MountCard('E', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    PrepareRun(f, 1, f.TempPath("a"));
    QtArchiverRunPage* run = EnterRun(f, kPageCompleteArchiver);
    ExpectFinished(f, run, true);
    // Next (Alt+Right) is the same question as Finish.
    f.ui_.answers = {true};
    f.Window().OnNext();
    QCOMPARE(f.TakeShown(), std::vector<std::string>{"Do you want to perform another operation?"});
    QCOMPARE(f.ActiveId(), int(kPageWelcome));
    QVERIFY(!run->ResultPicture()->isVisibleTo(run));
    QVERIFY(!f.Window().BackButton()->isVisible());
    QVERIFY(!f.Window().NextButton()->isVisible());
    QVERIFY(!f.Window().FinishButton()->isVisible());
    f.Page<QtWelcomePage>(kPageWelcome)->repaint();
    QVERIFY(f.Window().NextButton()->isVisible());
    QVERIFY(f.Window().CancelButton()->isVisible());

    PrepareRun(f, 1, f.TempPath("b"));
    run = EnterRun(f, kPageCompleteArchiver);
    f.ui_.answers = {true};
    (f.Window().FinishButton())->click();
    QCOMPARE(f.TakeShown(), std::vector<std::string>{"Do you want to perform another operation?"});
    QCOMPARE(f.ActiveId(), int(kPageWelcome));

    // The verification page was shown earlier too: the program still ends once.
    QVERIFY(f.Window().ActivatePage(f.Window().FindPage(kPageVerification)));
    PrepareRun(f, 1, f.TempPath("c"));
    run = EnterRun(f, kPageCompleteArchiver);
    f.ui_.answers = {false};
    (f.Window().FinishButton())->click();
    QCOMPARE(f.Window().result(), int(QtWizardDialog::kFinishCode));
    QVERIFY(!HasAppContext());
    const std::string log = f.LogText();
    QVERIFY(log.find("Application closed") != std::string::npos);
    QCOMPARE(log.find("Application closed"), log.rfind("Application closed"));
}

void RunPagesTest::statusLineDuringAndAfterTheRun() {
    WizardFixture f;
    f.MountCard('E', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    PrepareRun(f, 1, f.TempPath("a"));
    auto* run = static_cast<QtArchiverRunPage*>(f.Window().FindPage(kPageCompleteArchiver));
    QString during;
    QString step;
    RunAtPump(f, 3, [&] {
        AppContext& ctx = GetAppContext();
        step = run->Status()->Step();
        ctx.boundaryCheck = true;
        ctx.progressDone = 12;
        ctx.progressTotal = 340;
        run->CorePage()->OnTimer(kRunProgressTimer);
        during = run->StatusText();
        ctx.boundaryCheck = false;
    });
    EnterRun(f, kPageCompleteArchiver);
    QCOMPARE(step, QStringLiteral("(Archiving.....)"));
    QCOMPARE(during, QStringLiteral("Preparing to archive (12/340)..."));
    // After the run the timer writes nothing, and a repaint puts the outcome back.
    GetAppContext().boundaryCheck = true;
    run->CorePage()->OnTimer(kRunProgressTimer);
    QCOMPARE(run->StatusText(), QStringLiteral("Archive(s) created successfully."));
    run->Status()->SetText(QStringLiteral("x"));
    run->repaint();
    QCOMPARE(run->StatusText(), QStringLiteral("Archive(s) created successfully."));
    GetAppContext().language = "French";
    emit f.Window().textsChanged();
    QVERIFY(run->StatusText() != QStringLiteral("Archive(s) created successfully."));
    QVERIFY(run->Results()->headerItem()->text(1) != QStringLiteral("File Name"));
    GetAppContext().language = "English";
    emit f.Window().textsChanged();

    // Closing after the run asks once and ends the program on Yes.
    f.ui_.answers = {false};
    f.Window().OnCancel();
    QCOMPARE(f.TakeShown(), std::vector<std::string>{"Are you sure you want to close?"});
    QVERIFY(f.Window().isVisible());
    f.ui_.answers = {true};
    const int code = f.CancelExitCode();
    QCOMPARE(code, 0);
    QVERIFY(f.LogText().find("Application aborted") != std::string::npos);
}

// The percentage in the run's progress bar reads on the white part and on the
// filled part alike: its pixels stand out from what lies under them.
void RunPagesTest::progressTextReadsOnTheFilledPart() {
    WizardFixture f;
    f.Start("dX");
    std::unique_ptr<QProgressBar> bar(MakeRunProgressBar(nullptr));
    bar->resize(360, 24);
    for (int value : {0, 55, 100}) {
        bar->setValue(value);
        bar->setFormat(QStringLiteral("%p%"));
        const QImage text = bar->grab().toImage();
        bar->setFormat(QString());
        const QImage plain = bar->grab().toImage();
        QCOMPARE(text.size(), plain.size());
        // The text's strongest pixels on either side of the middle, where the
        // filled part ends at 55 %.
        double left = 1;
        double right = 1;
        for (int y = 0; y < text.height(); ++y) {
            for (int x = 0; x < text.width(); ++x) {
                const double c = WizardFixture::Contrast(text.pixelColor(x, y), plain.pixelColor(x, y));
                (x < text.width() / 2 ? left : right) = std::max(x < text.width() / 2 ? left : right, c);
            }
        }
        QVERIFY2(left >= 4.5 && right >= 4.5, qPrintable(QStringLiteral("%1 %: %2, %3").arg(value).arg(left).arg(right)));
    }
}

void RunPagesTest::dateRunAndDatesThatCouldNotBePrepared() {
    WizardFixture f;
    const CardSummary card = f.MountCard('E', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    const std::string folder = f.TempPath("archives");
    PrepareRun(f, 3, folder);
    AppContext& ctx = GetAppContext();
    auto* range = dynamic_cast<CDateRange*>(ctx.currentArchiver.get());
    QVERIFY(range != nullptr);
    DayDate first;
    DayDate last;
    QVERIFY(range->PrepareDateRange(&first, &last));
    int64_t start = 0;
    int64_t end = 0;
    QVERIFY(TimeOfDay(ctx, first, start) && TimeOfDay(ctx, last, end));
    ctx.currentArchiver->SetStartDate(start);
    ctx.currentArchiver->SetEndDate(end);
    QVERIFY(range->FindBlockRange());
    QtArchiverRunPage* run = EnterRun(f, kPageDateBasedArchiver);
    ExpectFinished(f, run, true);
    QCOMPARE(f.Window().HighlightedCaption(), QStringLiteral("Archiving"));
    QCOMPARE(f.Window().BreadcrumbTexts().size(), 5);
    const std::vector<std::string> files = WizardFixture::FilesUnder(folder, ".csv");
    QCOMPARE(files.size(), size_t{1});
    QVERIFY(VerifyArchiveFileQuietly(files[0]));

    // The date page could not read the card's dates: nothing runs, the reason shows.
    PrepareRun(f, 3, f.TempPath("none"));
    range = dynamic_cast<CDateRange*>(GetAppContext().currentArchiver.get());
    const struct {
        int result;
        const char* message;
    } cases[] = {{kArchiveNoData, "No data found."},
                 {kArchiveNoClosure, "Closure not found! Do closure before archiving."},
                 {kArchiveUsageUnreadable, "Selected SMC is not available."},
                 {kArchiveDataCheckFailed, "Incorrect data found."},
                 {kArchiveCorrupted, ""}};
    for (const auto& c : cases) {
        range->rangeResult = c.result;
        GetAppContext().dateRangeUnavailable = true;
        run = EnterRun(f, kPageDateBasedArchiver);
        QVERIFY(run->IsFinished());
        QVERIFY(!run->Succeeded());
        QCOMPARE(run->StatusText(), QStringLiteral("Creation of archive(s) failed."));
        QCOMPARE(run->MessageText(), QString::fromUtf8(c.message));
        QVERIFY(!GetAppContext().dateRangeUnavailable);
        QVERIFY(f.Window().FinishButton()->isVisible());
        QVERIFY(!f.Window().CancelButton()->isVisible());
        QVERIFY(!f.Window().NextButton()->isVisible());
        QVERIFY(!run->Results()->isVisible());
        QVERIFY(!run->Progress()->isVisible());
        QVERIFY(run->ResultPicture()->isVisible());
    }
    QVERIFY(f.LogText().find("ResultType : 5") != std::string::npos);
    QVERIFY(WizardFixture::FilesUnder(f.TempPath("none"), ".csv").empty());
}

void RunPagesTest::failedRunsWithoutRowsShowTheirReason() {
    WizardFixture f;
    f.MountCard('E', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    std::string folder = f.TempPath("gone");
    while (folder.size() < 100) folder += "x";
    PrepareRun(f, 1, folder);
    fs::remove_all(folder);
    QtArchiverRunPage* run = EnterRun(f, kPageCompleteArchiver);
    ExpectFinished(f, run, false);
    QVERIFY(run->MessageText().startsWith(QStringLiteral("Archive path not found. (")));
    QVERIFY(run->MessageText().endsWith(QStringLiteral("....)")));
    QVERIFY(run->MessageText().size() <= 73);
    QVERIFY(!run->Results()->isVisible());

    // No operation prepared: a failed run, and the log says why.
    PrepareRun(f, 1, f.TempPath("a"));
    GetAppContext().currentArchiver.reset();
    run = EnterRun(f, kPageCompleteArchiver);
    ExpectFinished(f, run, false);
    QVERIFY(run->MessageText().isEmpty());
    QVERIFY(f.LogText().find("Archive element not found") != std::string::npos);
}

}  // namespace tv::test
