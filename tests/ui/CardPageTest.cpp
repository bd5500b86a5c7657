#include "ui/CardPageTest.h"

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "ui/QtSBCSelectionPage.h"
#include "ui/QtVerificationSBCSelectionPage.h"
#include "ui/QtWelcomePage.h"
#include "ui/WizardFixture.h"

Q_DECLARE_METATYPE(tv::CardOptions)

namespace tv::test {

void CardPageTest::listsCardsSortedAfterThePlaceholder() {
    WizardFixture f;
    const CardSummary k = f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
    CardOptions other = WizardFixture::SmallCard(CardFamily::Zt4);
    other.seed = 7;
    const CardSummary e = f.MountCard('E', other);
    f.Start("Auto-detect");
    auto* page = f.Page<QtSBCSelectionPage>(kPageSbcSelection);
    QComboBox* list = page->CardList();
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->itemText(0), QStringLiteral("<Select SMC>"));
    QVERIFY(list->itemText(1) < list->itemText(2));
    QStringList expected{QString::fromStdString(k.printableUid + " (K:)"), QString::fromStdString(e.printableUid + " (E:)")};
    expected.sort();
    QCOMPARE((QStringList{list->itemText(1), list->itemText(2)}), expected);
    QVERIFY(!f.Window().NextButton()->isEnabled());

    f.UnmountCard('K');
    f.UnmountCard('E');
    f.Window().DeviceChanged();
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->currentText(), QStringLiteral("<Insert SMC>"));
    QVERIFY(list->isEnabled());  // a refresh keeps the list usable
    QVERIFY(!f.Window().NextButton()->isEnabled());
}

void CardPageTest::fillLevelShowsOnlyWhenLittleRoomIsLeft() {
    WizardFixture f;
    CardOptions roomy = WizardFixture::SmallCard(CardFamily::Dx);
    roomy.totalSectors = 200000;  // about 100 MB
    f.MountCard('D', roomy);
    CardOptions small = WizardFixture::SmallCard(CardFamily::Dx);
    small.totalSectors = 20000;
    small.seed = 3;
    const CardSummary s = f.MountCard('E', small);
    f.Start("dX");
    f.ClickNext();
    auto* page = f.Page<QtSBCSelectionPage>(kPageSbcSelection);
    for (int i = 1; i < page->CardList()->count(); ++i) {
        page->CardList()->setCurrentIndex(i);
        const bool isSmall = page->CardList()->currentText().endsWith(QStringLiteral("(E:)"));
        QCOMPARE(page->FillBar()->isVisible(), isSmall);
        if (isSmall) {
            QCOMPARE(page->FillBar()->value(), int(uint64_t{s.sectorsUsed} * 100 / (20000 - 32)));
            QVERIFY(page->FillBar()->styleSheet().contains(QStringLiteral("#e1c800")));
        }
        QVERIFY(f.Window().NextButton()->isEnabled());
    }
}

void CardPageTest::cardThatCannotBeOpenedIsRefusedOnSelection() {
    WizardFixture f;
    f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("dX");
    f.ClickNext();
    auto* page = f.Page<QtSBCSelectionPage>(kPageSbcSelection);
    f.Emulator('K').Faults().commandStatus = 1;
    f.TakeShown();
    page->CardList()->setCurrentIndex(1);
    QCOMPARE(f.TakeShown(), std::vector<std::string>{"Not able to open Secure Memory Card."});
    QVERIFY(!f.Window().NextButton()->isEnabled());
    QVERIFY(!page->FillBar()->isVisible());
}

void CardPageTest::refusalsOnNextKeepThePageWithNextDisabled_data() {
    QTest::addColumn<QString>("scaleType");
    QTest::addColumn<CardOptions>("card");
    QTest::addColumn<QString>("message");
    CardOptions zt4 = WizardFixture::SmallCard(CardFamily::Zt4);
    CardOptions dx = WizardFixture::SmallCard(CardFamily::Dx);
    QTest::newRow("ZT4 card, dX configured") << "dX" << zt4
        << "Incorrect scale type. Configured scale type is dX; Detected SMC is ZT4. Please change the scale type setting to ZT4 to use the SMC.";
    QTest::newRow("dX card, ZT4 configured") << "ZT4" << dx
        << "Incorrect scale type. Configured scale type is ZT4; Detected SMC is dX. Please change the scale type setting to dX to use the SMC.";
    CardOptions foreign = dx;
    foreign.customisationId = "QX47";
    QTest::newRow("other customisation") << "dX" << foreign << "Unsupported SMC. Update to new version of Tallyvault.";
    CardOptions fresh = dx;
    fresh.fused = false;
    fresh.empty = true;
    QTest::newRow("new card") << "dX" << fresh << "New Secure Memory Card.";
    CardOptions corrupt = dx;
    corrupt.fused = false;
    QTest::newRow("unfused card with data") << "dX" << corrupt << "Corrupt Secure Memory Card.";
}

void CardPageTest::refusalsOnNextKeepThePageWithNextDisabled() {
    QFETCH(QString, scaleType);
    QFETCH(CardOptions, card);
    QFETCH(QString, message);
    WizardFixture f;
    f.MountCard('K', card);
    f.Start(scaleType.toStdString());
    f.ClickNext();
    auto* page = f.Page<QtSBCSelectionPage>(kPageSbcSelection);
    QCOMPARE(page->CardList()->count(), 2);
    page->CardList()->setCurrentIndex(1);
    f.TakeShown();
    f.ClickNext();
    QCOMPARE(f.ActiveId(), int(kPageSbcSelection));
    const std::vector<std::string> shown = f.TakeShown();
    QVERIFY(!shown.empty());
    QCOMPARE(QString::fromStdString(shown.back()), message);
    QVERIFY(!f.Window().NextButton()->isEnabled());
}

void CardPageTest::verificationCardPageRefusesZt4Cards() {
    WizardFixture f;
    f.MountCard('K', WizardFixture::SmallCard(CardFamily::Zt4));
    f.Start("Auto-detect");
    // No page of the flow leads to the verification choice: it is shown here as
    // the first page, and its Next leads to the card page.
    QtWizardPage* choice = f.Window().FindPage(kPageVerificationSelection);
    QVERIFY(f.Window().ActivatePage(choice));
    choice->CorePage()->OnEnterForward();
    f.ClickNext();
    auto* page = f.Page<QtVerificationSBCSelectionPage>(kPageVerificationSbcSelection);
    QCOMPARE(f.ActiveId(), int(kPageVerificationSbcSelection));
    page->OnEnterForward();
    QCOMPARE(f.Window().BreadcrumbTexts(),
             (QStringList{QStringLiteral("Operation choice"), QStringLiteral("Verification choice"), QStringLiteral("SMC selection")}));
    page->CardList()->setCurrentIndex(1);
    QCOMPARE(GetAppContext().drive, std::string("K"));
    QVERIFY(f.Window().NextButton()->isEnabled());
    f.TakeShown();
    f.ClickNext();
    QCOMPARE(f.ActiveId(), int(kPageVerificationSbcSelection));
    QCOMPARE(f.TakeShown(), std::vector<std::string>{"Feature not available for ZT4."});
    f.ClickBack();
    QCOMPARE(f.ActiveId(), int(kPageVerificationSelection));
}

void CardPageTest::frenchPlaceholderStillDisablesNext() {
    WizardFixture f;
    f.MountCard('K', WizardFixture::SmallCard(CardFamily::Dx));
    f.Start("Auto-detect", {"Language=French"});
    auto* page = f.Page<QtSBCSelectionPage>(kPageSbcSelection);
    QCOMPARE(page->CardList()->itemText(0), QStringLiteral("<Sélectionner une SMC>"));
    page->CardList()->setCurrentIndex(1);
    QVERIFY(f.Window().NextButton()->isEnabled());
    page->CardList()->setCurrentIndex(0);
    QVERIFY(!f.Window().NextButton()->isEnabled());
}

}  // namespace tv::test
