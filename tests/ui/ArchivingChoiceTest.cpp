#include "ui/ArchivingChoiceTest.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "archive/CompleteArchiverZT4.h"
#include "archive/CompleteArchiverdX.h"
#include "archive/DateBasedArchiverZT4.h"
#include "archive/DateBasedArchiverdX.h"
#include "archive/PartialArchiverdX.h"
#include "ui/QtArchiverPathSelectionPage.h"
#include "ui/QtArchiverSelectionPage.h"
#include "ui/QtDateSelectionPage.h"
#include "ui/QtSBCSelectionPage.h"
#include "ui/WizardFixture.h"

namespace tv::test {

namespace {

constexpr char kNotYet[] = "Archive generation is not available in this version of Tallyvault yet.";

// From the welcome page through the card page to the archive choice.
QtArchiverSelectionPage* OpenChoice(WizardFixture& f) {
    f.ClickNext();
    f.Page<QtSBCSelectionPage>(kPageSbcSelection)->CardList()->setCurrentIndex(1);
    f.ClickNext();
    return f.Page<QtArchiverSelectionPage>(kPageArchiverSelection);
}

void WriteProfile(WizardFixture& f, const CardSummary& card, const std::string& scaleSn) {
    WizardFixture::WriteFile(f.TempPath("data/SMCProfile.ini"),
                             "[SMC_" + card.smcUid + "]\r\nScaleSN=" + scaleSn + "\r\nUID=" + card.printableUid +
                                 "\r\nCustID=QX33\r\nScaleType=dX\r\nLastArchivedBlockNum=77\r\n"
                                 "LastArchivedStartDate=2015-12-20\r\nLastArchivedEndDate=2015-12-21\r\n");
}

// A new folder whose path is exactly `length` characters long.
std::string FolderOfLength(WizardFixture& f, size_t length) {
    std::string path = f.TempPath("x");
    path += std::string(length - path.size(), 'a');
    std::filesystem::create_directories(path);
    return path;
}

}  // namespace

void ArchivingChoiceTest::cardWithoutProfileOffersCompleteAndDateOnly() {
    WizardFixture f;
    f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    auto* page = OpenChoice(f);
    QCOMPARE(f.ActiveId(), int(kPageArchiverSelection));
    QVERIFY(page->CompleteArchive()->isChecked());
    QVERIFY(!page->ContinueArchive()->isEnabled());
    QVERIFY(page->DateBasedArchive()->isEnabled());
    QVERIFY(page->PreviousArchiveInfo()->isHidden());
    // The choice that is not offered looks it: its text is drawn light grey.
    const QColor offered = WizardFixture::DarkestPixel(page->DateBasedArchive());
    const QColor refused = WizardFixture::DarkestPixel(page->ContinueArchive());
    QVERIFY2(WizardFixture::Contrast(offered, Qt::white) > 7, qPrintable(offered.name()));
    QVERIFY2(WizardFixture::Contrast(refused, Qt::white) < 3, qPrintable(refused.name()));
    QVERIFY(f.Window().NextButton()->isEnabled());
    AppContext& ctx = GetAppContext();
    QVERIFY(dynamic_cast<CCompleteArchiverdX*>(ctx.currentArchiver.get()) != nullptr);

    // Every click makes a new operation of the chosen kind.
    page->DateBasedArchive()->click();
    QCOMPARE(ctx.archiveType, 3);
    QVERIFY(dynamic_cast<CDateBasedArchiverdX*>(ctx.currentArchiver.get()) != nullptr);
    page->CompleteArchive()->click();
    QCOMPARE(ctx.archiveType, 1);
    QVERIFY(dynamic_cast<CCompleteArchiverdX*>(ctx.currentArchiver.get()) != nullptr);

    ctx.language = "French";
    emit f.Window().textsChanged();
    QCOMPARE(page->DateBasedArchive()->text(), QStringLiteral("Archive &par date"));
    ctx.language = "English";
    emit f.Window().textsChanged();
    QCOMPARE(page->DateBasedArchive()->text(), QStringLiteral("&Date based archive"));
}

void ArchivingChoiceTest::soundProfileOffersContinueWithThePreviousDates() {
    WizardFixture f;
    const CardSummary card = f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
    WriteProfile(f, card, card.scaleSerialNumber);
    f.Start("dX");
    auto* page = OpenChoice(f);
    QVERIFY(page->ContinueArchive()->isEnabled());
    QVERIFY(page->PreviousArchiveInfo()->isVisible());
    QCOMPARE(page->PreviousArchiveInfo()->text(), QStringLiteral("[Previous archive info: 2015-12-20 to 2015-12-21]"));
    // The date choice sits below the text, not over it.
    QVERIFY(page->DateBasedArchive()->geometry().top() >= page->PreviousArchiveInfo()->geometry().bottom());
    QVERIFY(page->CompleteArchive()->isChecked());
    page->ContinueArchive()->click();
    AppContext& ctx = GetAppContext();
    QCOMPARE(ctx.archiveType, 2);
    QVERIFY(dynamic_cast<CPartialArchiverdX*>(ctx.currentArchiver.get()) != nullptr);

    // Back to the card page and forward again: the choice starts over at complete.
    f.ClickBack();
    QCOMPARE(f.ActiveId(), int(kPageSbcSelection));
    f.Page<QtSBCSelectionPage>(kPageSbcSelection)->CardList()->setCurrentIndex(1);
    f.ClickNext();
    QCOMPARE(f.ActiveId(), int(kPageArchiverSelection));
    QVERIFY(page->CompleteArchive()->isChecked());
    QCOMPARE(ctx.archiveType, 1);
    QVERIFY(page->ContinueArchive()->isEnabled());

    // An entry that is not the card's: no continue, and the file is set aside.
    f.ClickBack();
    WriteProfile(f, card, "WRONG00000");
    f.Page<QtSBCSelectionPage>(kPageSbcSelection)->CardList()->setCurrentIndex(1);
    f.ClickNext();
    QCOMPARE(f.ActiveId(), int(kPageArchiverSelection));
    QVERIFY(!page->ContinueArchive()->isEnabled());
    QVERIFY(page->PreviousArchiveInfo()->isHidden());
    QVERIFY(f.LogText().find("Scale Serial number in SMC profile file is incorrect") != std::string::npos);
}

void ArchivingChoiceTest::unsupportedCardCannotBeArchived() {
    WizardFixture f;
    f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
    // Data structure version 3 in the card's origin of trust block.
    {
        std::fstream store(f.TempPath("card-K/WORMSTOR.DAT"), std::ios::in | std::ios::out | std::ios::binary);
        store.seekp(10);
        store.put(3);
    }
    f.Start("dX");
    f.ClickNext();
    f.Page<QtSBCSelectionPage>(kPageSbcSelection)->CardList()->setCurrentIndex(1);
    f.TakeShown();
    f.ClickNext();
    QCOMPARE(f.ActiveId(), int(kPageArchiverSelection));
    QCOMPARE(f.ui_.shown.size(), size_t{1});
    QCOMPARE(f.ui_.shown[0].style & 0xF0u, unsigned{kMbIconWarning});
    QCOMPARE(f.TakeShown(), std::vector<std::string>{"Unsupported SMC."});
    QVERIFY(!f.Window().NextButton()->isEnabled());
    QVERIFY(!f.Page<QtArchiverSelectionPage>(kPageArchiverSelection)->ContinueArchive()->isEnabled());
}

void ArchivingChoiceTest::choiceLeadsToTheFolderPageOrStraightOn() {
    {
        WizardFixture f;
        f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
        f.Start("dX");
        OpenChoice(f);
        f.ClickNext();
        QCOMPARE(f.ActiveId(), int(kPageArchiverPathSelection));
        QCOMPARE(f.Window().HighlightedCaption(), QStringLiteral("Archive path"));
        f.ClickBack();
        QCOMPARE(f.ActiveId(), int(kPageArchiverSelection));
        f.ClickBack();
        QCOMPARE(f.ActiveId(), int(kPageSbcSelection));
    }
    {
        // The default folder skips the folder page; with auto-detect, Back leads
        // to the welcome page.
        WizardFixture f;
        f.MountCard('K', WizardFixture::SmallCard(CardFamily::Zt4));
        f.Start("Auto-detect", {"UseDefaultArchivePath=YES"});
        f.Page<QtSBCSelectionPage>(kPageSbcSelection)->CardList()->setCurrentIndex(1);
        f.ClickNext();
        QCOMPARE(f.ActiveId(), int(kPageWelcome));
        f.ClickNext();
        auto* page = f.Page<QtArchiverSelectionPage>(kPageArchiverSelection);
        QCOMPARE(f.ActiveId(), int(kPageArchiverSelection));
        QVERIFY(dynamic_cast<CCompleteArchiverZT4*>(GetAppContext().currentArchiver.get()) != nullptr);
        page->DateBasedArchive()->click();
        QVERIFY(dynamic_cast<CDateBasedArchiverZT4*>(GetAppContext().currentArchiver.get()) != nullptr);
        f.ClickNext();
        QCOMPARE(f.ActiveId(), int(kPageDateSelection));
        f.ClickBack();
        QCOMPARE(f.ActiveId(), int(kPageArchiverSelection));
        f.ClickBack();
        QCOMPARE(f.ActiveId(), int(kPageWelcome));
    }
}

void ArchivingChoiceTest::folderChecksAndTheLengthBoundary() {
    WizardFixture f;
    f.MountCard('K', WizardFixture::SmallCard(CardFamily::Zt4));
    f.Start("ZT4");
    auto* choice = OpenChoice(f);
    choice->DateBasedArchive()->click();
    f.ClickNext();
    auto* page = f.Page<QtArchiverPathSelectionPage>(kPageArchiverPathSelection);
    QCOMPARE(f.ActiveId(), int(kPageArchiverPathSelection));
    QVERIFY(page->PathBox()->text().isEmpty());
    QVERIFY(page->PathBox()->isEnabled());
    f.TakeShown();

    f.ClickNext();
    QCOMPARE(f.TakeShown(), std::vector<std::string>{"Please enter an archive path."});
    page->PathBox()->setText(QString::fromStdString(f.TempPath("missing")));
    f.ClickNext();
    QCOMPARE(f.TakeShown(), std::vector<std::string>{"Enter a valid path."});
    // ZT4 without the card's backup: 143 characters at most.
    page->PathBox()->setText(QString::fromStdString(FolderOfLength(f, 144)));
    f.ClickNext();
    QCOMPARE(f.TakeShown(), std::vector<std::string>{"Archive path too long. Please shorten the path."});
    QCOMPARE(f.ActiveId(), int(kPageArchiverPathSelection));

    const std::string fits = FolderOfLength(f, 143);
    page->PathBox()->setText(QString::fromStdString(fits));
    f.ClickNext();
    QCOMPARE(f.ActiveId(), int(kPageDateSelection));
    QCOMPARE(GetAppContext().archivePath, fits + "/");

    // F3 opens the folder picker even while a wizard button has the focus.
    f.ClickBack();
    CFolderEdit::SetChooser([&fits](QWidget*, const QString&) { return QString::fromStdString(fits); });
    page->PathBox()->clear();
    f.Window().NextButton()->setFocus();
    QTest::keyClick(&f.Window(), Qt::Key_F3);
    CFolderEdit::SetChooser({});
    QCOMPARE(page->PathBox()->text(), QString::fromStdString(fits));
    QCOMPARE(f.ActiveId(), int(kPageArchiverPathSelection));
}

void ArchivingChoiceTest::defaultFolderSwitchedInTheSettingsFillsTheEdit() {
    WizardFixture f;
    f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    OpenChoice(f);
    f.ClickNext();
    auto* page = f.Page<QtArchiverPathSelectionPage>(kPageArchiverPathSelection);
    page->PathBox()->setText(QStringLiteral("typed"));
    AppContext& ctx = GetAppContext();
    const std::string folder = f.TempPath("data");
    ctx.archivePath = folder + "/";
    ctx.useDefaultArchivePath = true;
    emit f.Window().defaultPathChanged();
    QCOMPARE(page->PathBox()->text(), QString::fromStdString(folder));
    QVERIFY(!page->PathBox()->isEnabled());
    ctx.useDefaultArchivePath = false;
    emit f.Window().defaultPathChanged();
    QVERIFY(page->PathBox()->isEnabled());
    QVERIFY(page->PathBox()->text().isEmpty());
}

// A dX card chosen for a date-based archive into the default folder; the date page is shown.
static QtDateSelectionPage* OpenDatePage(WizardFixture& f) {
    f.Start("dX", {"UseDefaultArchivePath=YES"});
    OpenChoice(f)->DateBasedArchive()->click();
    f.ClickNext();
    return f.Page<QtDateSelectionPage>(kPageDateSelection);
}

void ArchivingChoiceTest::datePageOffersTheCardsRangeAndChecksIt() {
    WizardFixture f;
    const CardSummary card = f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
    auto* page = OpenDatePage(f);
    QCOMPARE(f.ActiveId(), int(kPageDateSelection));
    const QDate first = QDate::fromString(QString::fromStdString(card.firstDate), Qt::ISODate);
    const QDate last = QDate::fromString(QString::fromStdString(card.lastDate), Qt::ISODate);
    QVERIFY(first.isValid() && first < last);
    QCOMPARE(page->FromDate()->date(), first);
    QCOMPARE(page->ToDate()->date(), last);
    QCOMPARE(page->FromDate()->minimumDate(), first);
    QCOMPARE(page->ToDate()->maximumDate(), last);
    QVERIFY(page->StatusLine()->text().isEmpty());
    QVERIFY(f.Window().NextButton()->isEnabled() && f.Window().BackButton()->isEnabled());

    // A change of a picker goes to the operation at once.
    auto* range = dynamic_cast<CDateBasedArchiverdX*>(GetAppContext().currentArchiver.get());
    QVERIFY(range != nullptr);
    const QDate before = last.addDays(-1);
    page->FromDate()->setDate(last);
    page->ToDate()->setDate(before);
    QCOMPARE(DateText(DayOfTime(GetAppContext(), range->endTime)), DateText({before.year(), before.month(), before.day()}));
    f.TakeShown();
    f.ClickNext();
    QCOMPARE(f.TakeShown(), std::vector<std::string>{"Date range not valid.Please select valid date range."});
    QCOMPARE(f.ActiveId(), int(kPageDateSelection));
    QVERIFY(!f.Window().NextButton()->isEnabled());

    // Back resets the pickers to today (the test clock's 2016-03-01); entering
    // again starts over, and the same day twice is a range.
    f.ClickBack();
    QCOMPARE(f.ActiveId(), int(kPageArchiverSelection));
    QCOMPARE(page->FromDate()->date(), QDate(2016, 3, 1));
    f.ClickNext();
    QVERIFY(f.Window().NextButton()->isEnabled());
    page->FromDate()->setDate(last);
    page->ToDate()->setDate(last);
    f.TakeShown();
    f.ClickNext();
    const std::vector<std::string> shown = f.TakeShown();
    QVERIFY(f.ActiveId() == kPageDateBasedArchiver || shown == std::vector<std::string>{kNotYet});
    range = dynamic_cast<CDateBasedArchiverdX*>(GetAppContext().currentArchiver.get());
    QVERIFY(range != nullptr && range->rangeEnd > 0 && range->rangeEnd >= range->rangeStart);
    QVERIFY(page->StatusLine()->text().isEmpty());
}

void ArchivingChoiceTest::rangeThatCannotBeFoundMovesOnToTheRun() {
    {
        WizardFixture f;
        const CardSummary card = f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
        // The card's last sectors cannot be read: its last closure is not found.
        f.Emulator('K').Faults().readErrorAtSector = card.sectorsUsed - 1;
        auto* page = OpenDatePage(f);
        QCOMPARE(f.ActiveId(), int(kPageDateSelection));
        QVERIFY(page->RangeFailed());
        f.TakeShown();
        QApplication::processEvents();  // Next follows by itself
        QVERIFY(!page->RangeFailed());
        QVERIFY(f.ActiveId() == kPageDateBasedArchiver ||
                (GetAppContext().dateRangeUnavailable && f.TakeShown() == std::vector<std::string>{kNotYet}));
    }
    {
        WizardFixture f;
        const CardSummary card = f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
        // The card's first day claims a thirteenth month.
        const std::string path = f.TempPath("card-K/WORMSTOR.DAT");
        std::ifstream in(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        in.close();
        const std::string bad = card.firstDate.substr(0, 5) + "13" + card.firstDate.substr(7);
        for (size_t at = bytes.find(card.firstDate, 1024); at != std::string::npos; at = bytes.find(card.firstDate, at)) {
            bytes.replace(at, 10, bad);
        }
        WizardFixture::WriteFile(path, bytes);
        auto* page = OpenDatePage(f);
        QCOMPARE(f.ActiveId(), int(kPageDateSelection));
        QVERIFY(page->RangeFailed());
        auto* range = dynamic_cast<CDateBasedArchiverdX*>(GetAppContext().currentArchiver.get());
        QVERIFY(range != nullptr);
        QCOMPARE(range->rangeResult, 2);  // the run page says "Incorrect data found."
        QVERIFY(f.LogText().find("Date range of SMC is not valid: ") != std::string::npos);
    }
}

}  // namespace tv::test
