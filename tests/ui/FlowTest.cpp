#include "ui/FlowTest.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextBrowser>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "wizard/Breadcrumb.h"
#include "ui/QtDateSelectionPage.h"
#include "ui/HelpWindow.h"
#include "ui/QtSBCSelectionPage.h"
#include "ui/QtWelcomePage.h"
#include "ui/WizardFixture.h"

namespace tv::test {

namespace {

QStringList Crumbs(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* t : texts) list << QString::fromUtf8(t);
    return list;
}

}  // namespace

void FlowTest::firstPageFollowsTheConfiguredScaleType() {
    const struct {
        const char* scaleType;
        int first;
        bool backShown;
    } cases[] = {{"dX", kPageWelcome, false}, {"ZT4", kPageWelcome, false},
                 {"Auto-detect", kPageSbcSelection, false}, {"dx", kPageSbcSelection, false}};
    for (const auto& c : cases) {
        WizardFixture f;
        f.Start(c.scaleType);
        QCOMPARE(f.ActiveId(), c.first);
        QCOMPARE(f.Window().Pages().size(), size_t{12});
        QCOMPARE(f.Window().BackButton()->isVisible(), c.backShown);
        QVERIFY(f.Window().windowTitle() == QStringLiteral("Tallyvault 2.0.0"));
    }
}

void FlowTest::dxVerificationWithAndWithoutTheCard() {
    WizardFixture f;
    f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    auto* welcome = f.Page<QtWelcomePage>(kPageWelcome);
    QCOMPARE(f.Window().BreadcrumbTexts(), Crumbs({"Operation choice"}));
    QVERIFY(!welcome->WithoutSmc()->isVisible());
    QVERIFY(!welcome->LogValidation()->isVisible());
    QCOMPARE(welcome->ExistingArchive()->text(), QStringLiteral("Existing archive &verification"));

    (welcome->ExistingArchive())->click();
    QVERIFY(welcome->WithoutSmc()->isVisible());
    QCOMPARE(GetAppContext().verificationMode, 1u);
    QVERIFY(GetAppContext().dxVerifier);
    f.ClickNext();
    QCOMPARE(f.ActiveId(), int(kPageSbcSelection));
    QCOMPARE(f.Window().BreadcrumbTexts(), Crumbs({"Operation choice", "SMC selection"}));
    QCOMPARE(f.Window().HighlightedCaption(), QStringLiteral("SMC selection"));
    auto* cards = f.Page<QtSBCSelectionPage>(kPageSbcSelection);
    QCOMPARE(cards->CardList()->count(), 2);
    cards->CardList()->setCurrentIndex(1);
    QVERIFY(f.Window().NextButton()->isEnabled());
    cards->CardList()->setCurrentIndex(0);  // "<Select SMC>" again
    QVERIFY(!f.Window().NextButton()->isEnabled());
    cards->CardList()->setCurrentIndex(1);
    QVERIFY(f.Window().NextButton()->isEnabled());
    f.ClickNext();
    QCOMPARE(f.ActiveId(), int(kPageVerificationFileFolderSelection));
    QCOMPARE(f.Window().BreadcrumbTexts(), Crumbs({"Operation choice", "SMC selection", "Archive selection"}));
    f.ClickBack();
    QCOMPARE(f.ActiveId(), int(kPageSbcSelection));
    QCOMPARE(cards->CardList()->count(), 2);  // entering the card page scans again
    f.ClickBack();
    QCOMPARE(f.ActiveId(), int(kPageWelcome));
    QVERIFY(welcome->ExistingArchive()->isChecked());  // a Back move keeps the choice

    (welcome->WithoutSmc())->click();
    QCOMPARE(GetAppContext().verificationMode, 2u);
    f.ClickNext();
    QCOMPARE(f.ActiveId(), int(kPageVerificationFileFolderSelection));
    QCOMPARE(f.Window().BreadcrumbTexts(), Crumbs({"Operation choice", "Archive selection"}));
    f.ClickBack();
    QCOMPARE(f.ActiveId(), int(kPageWelcome));
}

void FlowTest::zt4VerificationSkipsTheCardPage() {
    WizardFixture f;
    f.Start("ZT4");
    auto* welcome = f.Page<QtWelcomePage>(kPageWelcome);
    QCOMPARE(welcome->ExistingArchive()->text(), QStringLiteral("Existing archive &validation"));
    QVERIFY(welcome->LogValidation()->isVisible());
    (welcome->LogValidation())->click();
    (welcome->ExistingArchive())->click();
    QCOMPARE(GetAppContext().validationKind, 1u);
    QVERIFY(GetAppContext().zt4Verifier);
    QVERIFY(!GetAppContext().dxVerifier);
    f.ClickNext();
    QCOMPARE(f.ActiveId(), int(kPageVerificationFileFolderSelection));
    QCOMPARE(f.Window().BreadcrumbTexts(), Crumbs({"Operation choice", "Archive selection"}));
    f.ClickBack();
    (welcome->LogValidation())->click();
    f.ClickNext();
    QCOMPARE(f.Window().BreadcrumbTexts(), Crumbs({"Operation choice", "Log selection"}));
}

void FlowTest::autoDetectStartsOnTheCardPageAndLeadsToWelcome() {
    WizardFixture f;
    f.Start("Auto-detect");
    auto* cards = f.Page<QtSBCSelectionPage>(kPageSbcSelection);
    QCOMPARE(cards->CardList()->currentText(), QStringLiteral("<Insert SMC>"));
    QVERIFY(!cards->CardList()->isEnabled());
    QVERIFY(!f.Window().NextButton()->isEnabled());
    QCOMPARE(f.Window().BreadcrumbTexts(), Crumbs({"SMC selection"}));

    f.MountCard('K', WizardFixture::SmallCard(CardFamily::Zt4));
    f.Window().DeviceChanged();
    QCOMPARE(cards->CardList()->count(), 2);
    QCOMPARE(cards->CardList()->itemText(0), QStringLiteral("<Select SMC>"));
    QVERIFY(cards->CardList()->isEnabled());
    cards->CardList()->setCurrentIndex(1);
    QVERIFY(f.Window().NextButton()->isEnabled());
    f.ClickNext();
    QCOMPARE(f.ActiveId(), int(kPageWelcome));
    QCOMPARE(GetAppContext().scaleType, '1');
    QVERIFY(f.Window().BackButton()->isVisible());
    QCOMPARE(f.Window().BreadcrumbTexts(), Crumbs({"SMC selection", "Operation choice"}));
    auto* welcome = f.Page<QtWelcomePage>(kPageWelcome);
    QVERIFY(welcome->LogValidation()->isVisible());
    (welcome->ExistingArchive())->click();
    f.ClickNext();
    QCOMPARE(f.ActiveId(), int(kPageVerificationFileFolderSelection));
    QCOMPARE(f.Window().BreadcrumbTexts(), Crumbs({"SMC selection", "Operation choice", "Archive selection"}));
    f.ClickBack();
    f.ClickBack();
    QCOMPARE(f.ActiveId(), int(kPageSbcSelection));
    QCOMPARE(cards->CardList()->currentText(), QStringLiteral("<Select SMC>"));
}

void FlowTest::archivingGoesOnToTheArchiveChoice() {
    WizardFixture f;
    f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    f.ClickNext();  // new archive generation
    QCOMPARE(f.ActiveId(), int(kPageSbcSelection));
    auto* cards = f.Page<QtSBCSelectionPage>(kPageSbcSelection);
    cards->CardList()->setCurrentIndex(1);
    f.TakeShown();
    f.ClickNext();
    QCOMPARE(f.ActiveId(), int(kPageArchiverSelection));
    QVERIFY(f.TakeShown().empty());
    QCOMPARE(f.Window().BreadcrumbTexts(), Crumbs({"Operation choice", "SMC selection", "Archiving choice"}));
    QCOMPARE(f.Window().HighlightedCaption(), QStringLiteral("Archiving choice"));
}

void FlowTest::cancelAsksOnceAndNoKeepsThePage() {
    WizardFixture f;
    f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    (f.Page<QtWelcomePage>(kPageWelcome)->ExistingArchive())->click();
    f.ClickNext();
    QCOMPARE(f.ActiveId(), int(kPageSbcSelection));
    f.ui_.answers = {false};
    (f.Window().CancelButton())->click();
    // Both first pages would ask; the walk stops at the first refusal.
    QCOMPARE(f.TakeShown(), std::vector<std::string>{"Are you sure you want to close?"});
    QCOMPARE(f.ActiveId(), int(kPageSbcSelection));
    QVERIFY(f.Window().isVisible());
    QTest::keyClick(&f.Window(), Qt::Key_Escape);
    QCOMPARE(f.TakeShown(), std::vector<std::string>{"Are you sure you want to close?"});
    QVERIFY(f.Window().isVisible());
}

void FlowTest::yesToCloseEndsTheProgram() {
    WizardFixture f;
    f.Start("ZT4");
    f.ui_.answers = {true};
    const int code = f.CancelExitCode();
    QCOMPARE(code, 0);
    QVERIFY(!HasAppContext());
    QVERIFY(f.LogText().find("Application closed") != std::string::npos);
    QVERIFY(f.ui_.shown.size() == 1 && (f.ui_.shown[0].style & kMbDefButton2) != 0);
}

void FlowTest::languageSwitchRedrawsEveryText() {
    WizardFixture f;
    f.Start("ZT4");
    auto* welcome = f.Page<QtWelcomePage>(kPageWelcome);
    QCOMPARE(f.Window().NextButton()->text(), QStringLiteral("&Next"));
    GetAppContext().language = "French";
    emit f.Window().textsChanged();
    QCOMPARE(f.Window().BreadcrumbTexts(), QStringList{QStringLiteral("Choix de fonctionnement")});
    QVERIFY(f.Window().NextButton()->text() != QStringLiteral("&Next"));
    QVERIFY(welcome->NewArchive()->text() != QStringLiteral("New &archive generation"));
    QVERIFY(f.Window().CancelButton()->text() != QStringLiteral("&Cancel"));
    GetAppContext().language = "English";
    emit f.Window().textsChanged();
    QCOMPARE(welcome->NewArchive()->text(), QStringLiteral("New &archive generation"));
}

void FlowTest::frenchDateRunShortensTheBreadcrumb() {
    WizardFixture f;
    f.Start("dX");
    AppContext& ctx = GetAppContext();
    BreadcrumbPlan plan = PlanBreadcrumb(kPageDateBasedArchiver, true, ctx, true);
    QCOMPARE(plan.steps.size(), size_t{5});
    QCOMPARE(plan.steps[0].caption, MessageId{284});
    QCOMPARE(plan.steps[0].tooltip, MessageId{140});
    QCOMPARE(plan.steps[1].caption, MessageId{239});
    QCOMPARE(plan.highlight, 4);
    ctx.configuredScaleType = 0;
    plan = PlanBreadcrumb(kPageDateBasedArchiver, true, ctx, true);
    QCOMPARE(plan.steps[0].caption, MessageId{239});
    QCOMPARE(plan.steps[1].caption, MessageId{140});
    plan = PlanBreadcrumb(kPageDateBasedArchiver, true, ctx, false);
    QCOMPARE(plan.steps[0].caption, MessageId{114});
    QCOMPARE(PlanBreadcrumb(kPageVerificationSelection, true, ctx, false).highlight, -1);
}

void FlowTest::helpOpensThePageOfTheLanguage() {
    WizardFixture f;
    f.Start("dX");
    QStringList opened;
    bool available = true;
    f.Window().SetHelpFolder(QStringLiteral("/opt/tv"));
    f.Window().SetDocumentOpener([&](const QString& path) {
        opened << path;
        return available;
    });
    (f.Window().HelpButton())->click();
    GetAppContext().language = "French";
    (f.Window().HelpButton())->click();
    GetAppContext().language = "French ";
    available = false;
    (f.Window().HelpButton())->click();
    QCOMPARE(opened, (QStringList{QStringLiteral("/opt/tv/FAQ_en.htm"), QStringLiteral("/opt/tv/FAQ_fr.htm"),
                                  QStringLiteral("/opt/tv/FAQ_en.htm")}));
    QCOMPARE(f.TakeShown(), std::vector<std::string>{"Help file not available."});
    QCOMPARE(f.ActiveId(), int(kPageWelcome));
}

// A desktop without a browser or launcher: the page that exists is shown in a
// window of the program, in the language chosen; only a missing page is reported.
void FlowTest::helpWithoutAViewerIsShownInTheProgram() {
    WizardFixture f;
    f.Start("dX");
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    WizardFixture::WriteFile(folder.filePath(QStringLiteral("FAQ_en.htm")).toStdString(),
                             "<html><head><title>Tallyvault FAQ</title></head><body><h1>Questions</h1>"
                             "<p>How do I archive a card?</p></body></html>");
    WizardFixture::WriteFile(folder.filePath(QStringLiteral("FAQ_fr.htm")).toStdString(),
                             "<html><head><title>FAQ de Tallyvault</title></head><body>"
                             "<p>Comment archiver une carte ?</p></body></html>");
    f.Window().SetHelpFolder(folder.path());
    f.Window().SetDocumentOpener([](const QString&) { return false; });
    (f.Window().HelpButton())->click();
    QCOMPARE(f.TakeShown(), std::vector<std::string>{});
    CHelpWindow* help = f.Window().HelpWindow();
    QVERIFY(help != nullptr);
    QVERIFY(help->isVisible());
    QCOMPARE(help->windowTitle(), QStringLiteral("Tallyvault FAQ"));
    QVERIFY(help->Viewer()->toPlainText().contains(QStringLiteral("How do I archive a card?")));
    QCOMPARE(f.ActiveId(), int(kPageWelcome));

    // Help again, in French: the same window shows the French page.
    GetAppContext().language = "French";
    (f.Window().HelpButton())->click();
    QCOMPARE(f.Window().HelpWindow(), help);
    QVERIFY(help->Viewer()->toPlainText().contains(QStringLiteral("Comment archiver une carte ?")));
    QCOMPARE(f.TakeShown(), std::vector<std::string>{});

    // No page at all: the user is told.
    QVERIFY(QFile::remove(folder.filePath(QStringLiteral("FAQ_fr.htm"))));
    (f.Window().HelpButton())->click();
    QCOMPARE(f.TakeShown().size(), size_t{1});
}

// Qt's standard buttons, pickers and calendars follow the language of the
// program, at start-up and when the settings change it.
void FlowTest::qtDialogsSpeakTheChosenLanguage() {
    const auto cancelText = [] {
        QDialogButtonBox box(QDialogButtonBox::Cancel);
        return box.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&'));
    };
    {
        WizardFixture f;
        f.Start("dX", {"Language=French"});
        QCOMPARE(QLocale().language(), QLocale::French);
        QCOMPARE(cancelText(), QStringLiteral("Annuler"));
        QDateEdit* from = f.Page<QtDateSelectionPage>(kPageDateSelection)->FromDate();
        QCOMPARE(from->locale().language(), QLocale::French);
        QCOMPARE(from->calendarWidget()->locale().language(), QLocale::French);
    }
    WizardFixture f;
    f.Start("dX");
    QCOMPARE(QLocale().language(), QLocale::English);
    QCOMPARE(cancelText(), QStringLiteral("Cancel"));
    QDateEdit* from = f.Page<QtDateSelectionPage>(kPageDateSelection)->FromDate();
    QCOMPARE(from->locale().language(), QLocale::English);
    GetAppContext().language = "French";
    emit f.Window().textsChanged();
    QCOMPARE(QLocale().language(), QLocale::French);
    QCOMPARE(cancelText(), QStringLiteral("Annuler"));
    QCOMPARE(from->locale().language(), QLocale::French);
    QCOMPARE(from->calendarWidget()->locale().language(), QLocale::French);
    GetAppContext().language = "English";
    emit f.Window().textsChanged();
    QCOMPARE(cancelText(), QStringLiteral("Cancel"));
    QCOMPARE(from->locale().language(), QLocale::English);
}

// The pages' font is the one of every text the program shows: the pages, and
// the windows that do not inherit it (tooltips, popups, parentless boxes).
void FlowTest::oneFontForPagesAndWindowsOfTheirOwn() {
    WizardFixture f;
    f.Start("dX");
    const QFont pageFont = f.Window().Pages().front()->font();
    QCOMPARE(pageFont.pointSizeF(), 10.0);
    for (QtWizardPage* page : f.Window().Pages()) {
        QCOMPARE(page->font().family(), pageFont.family());
        QCOMPARE(page->font().pointSizeF(), pageFont.pointSizeF());
    }
    QMessageBox box;
    QLabel tip(nullptr, Qt::ToolTip);
    for (QWidget* window : {static_cast<QWidget*>(&box), static_cast<QWidget*>(&tip)}) {
        QCOMPARE(window->font().family(), pageFont.family());
        QCOMPARE(window->font().pointSizeF(), pageFont.pointSizeF());
    }
}

void FlowTest::backspaceOnTheCardPageDoesNotGoBack() {
    WizardFixture f;
    f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    f.ClickNext();
    QCOMPARE(f.ActiveId(), int(kPageSbcSelection));
    auto* cards = f.Page<QtSBCSelectionPage>(kPageSbcSelection);
    QTest::keyClick(cards->CardList(), Qt::Key_Backspace);
    QCOMPARE(f.ActiveId(), int(kPageSbcSelection));
    QTest::keyClick(cards->CardList(), Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(f.ActiveId(), int(kPageWelcome));
}

}  // namespace tv::test
