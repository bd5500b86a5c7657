// The welcome page in the wizard's core: its choices by the card's family, what
// it leaves in the context, where Next leads, the buttons it puts back after a
// move Next, and the question when the user closes.
#include <gtest/gtest.h>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "platform/FaultyPlatform.h"
#include "wizard/CoreWizardTest.h"
#include "wizard/SBCSelectionPage.h"
#include "wizard/WelcomePage.h"

namespace tv::test {

namespace {

const std::vector<int> kOperations = {kCtlNewArchive, kCtlExistingArchive, kCtlLogValidation};

// A page after the welcome page whose Next starts again from the beginning, as
// the run pages do after "Do you want to perform another operation?".
class AnotherOperationPage : public CWizardPage {
public:
    AnotherOperationPage() : CWizardPage(999) {}
    int OnWizardNext() override { return kPageWelcome; }
};

class WelcomePageTest : public CoreWizardTest {
protected:
    CWelcomePage& Welcome() { return Page<CWelcomePage>(kPageWelcome); }
    FakePageView& WelcomeView() { return View(kPageWelcome); }
    bool Shown(WizardButton b) const { return window_.IsButtonVisible(b); }
    AnotherOperationPage run_;  // outlives the wizard's pages
};

}  // namespace

TEST_F(WelcomePageTest, DxCardVerifiesWithOrWithoutTheCard) {
    Start("dX");
    ASSERT_EQ(Active(), kPageWelcome);
    FakePageView& v = WelcomeView();
    EXPECT_EQ(v.At(kCtlOperationGroup).text, u"Select an operation and click \"Next\".");
    EXPECT_EQ(v.At(kCtlExistingArchive).text, u"Existing archive &verification");
    EXPECT_FALSE(v.At(kCtlLogValidation).visible);
    EXPECT_FALSE(v.At(kCtlWithoutSmc).visible);
    EXPECT_TRUE(v.At(kCtlNewArchive).checked);
    EXPECT_EQ(v.Focused(), kCtlNewArchive);
    EXPECT_FALSE(Shown(WizardButton::kBack));  // the first page
    EXPECT_EQ(window_.breadcrumb, (std::vector<MessageId>{140}));
    EXPECT_EQ(GetAppContext().operation, 1u);

    Choose(kPageWelcome, kCtlExistingArchive, kOperations);
    EXPECT_TRUE(v.At(kCtlWithoutSmc).visible);
    EXPECT_TRUE(v.At(kCtlWithoutSmc).enabled);
    AppContext& ctx = GetAppContext();
    EXPECT_EQ(ctx.operation, 2u);
    EXPECT_EQ(ctx.verificationMode, 1u);
    EXPECT_EQ(ctx.validationKind, 2u);
    EXPECT_TRUE(ctx.dxVerifier);
    EXPECT_FALSE(ctx.zt4Verifier);
    // With the card: the card page comes next.
    Next();
    EXPECT_EQ(Active(), kPageSbcSelection);
    Back();
    EXPECT_EQ(Active(), kPageWelcome);
    EXPECT_TRUE(v.At(kCtlExistingArchive).checked);  // a move Back keeps the choice
    EXPECT_EQ(v.Focused(), kCtlExistingArchive);

    // Without the card: straight to the choice of the archive.
    Click(kPageWelcome, kCtlWithoutSmc, true);
    EXPECT_EQ(ctx.verificationMode, 2u);
    EXPECT_EQ(Welcome().OnWizardNext(), kPageVerificationFileFolderSelection);
    Click(kPageWelcome, kCtlWithoutSmc, true);
    EXPECT_EQ(ctx.verificationMode, 1u);
    EXPECT_EQ(Welcome().OnWizardNext(), kPageSbcSelection);
    // The box belongs to verification alone.
    Choose(kPageWelcome, kCtlNewArchive, kOperations);
    EXPECT_FALSE(v.At(kCtlWithoutSmc).visible);
    EXPECT_EQ(ctx.operation, 1u);
    EXPECT_EQ(Welcome().OnWizardNext(), kPageSbcSelection);
}

TEST_F(WelcomePageTest, Zt4CardValidatesArchivesOrTheLogWithoutACardPage) {
    Start("ZT4");
    FakePageView& v = WelcomeView();
    EXPECT_EQ(v.At(kCtlExistingArchive).text, u"Existing archive &validation");
    EXPECT_TRUE(v.At(kCtlLogValidation).visible);
    EXPECT_TRUE(v.At(kCtlLogValidation).enabled);
    AppContext& ctx = GetAppContext();

    Choose(kPageWelcome, kCtlLogValidation, kOperations);
    EXPECT_EQ(ctx.validationKind, 3u);
    EXPECT_EQ(Welcome().OnWizardNext(), kPageVerificationFileFolderSelection);
    // The last choice replaces the validator of the one before.
    Choose(kPageWelcome, kCtlExistingArchive, kOperations);
    EXPECT_EQ(ctx.validationKind, 1u);
    EXPECT_EQ(ctx.verificationMode, 2u);
    EXPECT_TRUE(ctx.zt4Verifier);
    EXPECT_FALSE(ctx.dxVerifier);
    EXPECT_FALSE(v.At(kCtlWithoutSmc).visible);  // no standalone choice for ZT4
    EXPECT_EQ(Welcome().OnWizardNext(), kPageVerificationFileFolderSelection);

    Choose(kPageWelcome, kCtlNewArchive, kOperations);
    Next();
    EXPECT_EQ(Active(), kPageSbcSelection);
    Back();
    // Help returns to the page with the focus on the chosen operation.
    Choose(kPageWelcome, kCtlLogValidation, kOperations);
    wizard_->OnHelp();
    EXPECT_EQ(WelcomeView().Focused(), kCtlLogValidation);
    Choose(kPageWelcome, kCtlExistingArchive, kOperations);
    wizard_->OnHelp();
    EXPECT_EQ(WelcomeView().Focused(), kCtlExistingArchive);
}

TEST_F(WelcomePageTest, AutoDetectFollowsTheCardPageAndArchivesWithoutAnother) {
    MountCard('K', Small(CardFamily::Dx));
    Start("Auto-detect");
    ASSERT_EQ(Active(), kPageSbcSelection);
    Select(kPageSbcSelection, kCtlCardList, 1);
    Next();
    ASSERT_EQ(Active(), kPageWelcome);
    EXPECT_TRUE(Shown(WizardButton::kBack));  // the card page is before it
    EXPECT_EQ(window_.breadcrumb, (std::vector<MessageId>{114, 140}));
    EXPECT_EQ(WelcomeView().At(kCtlExistingArchive).text, u"Existing archive &verification");
    EXPECT_FALSE(WelcomeView().At(kCtlLogValidation).visible);
    // The card is chosen already: archiving goes on to the archive choice, and
    // verification with the card needs no second card page.
    EXPECT_EQ(Welcome().OnWizardNext(), kPageArchiverSelection);
    Choose(kPageWelcome, kCtlExistingArchive, kOperations);
    EXPECT_EQ(GetAppContext().verificationMode, 1u);
    EXPECT_EQ(Welcome().OnWizardNext(), kPageVerificationFileFolderSelection);
    Back();
    EXPECT_EQ(Active(), kPageSbcSelection);
    EXPECT_EQ(View(kPageSbcSelection).ItemCount(kCtlCardList), 2);  // scanned again
}

TEST_F(WelcomePageTest, AnotherOperationStartsAfreshAndThePaintBringsTheButtonsBack) {
    Start("dX");
    wizard_->AddPage(&run_);
    Choose(kPageWelcome, kCtlExistingArchive, kOperations);
    Click(kPageWelcome, kCtlWithoutSmc, true);
    ASSERT_TRUE(wizard_->ActivatePage(&run_));
    window_.ShowButton(WizardButton::kFinish, true);
    Next();
    ASSERT_EQ(Active(), kPageWelcome);
    // Entered going forward: "New archive generation" again, the box cleared.
    FakePageView& v = WelcomeView();
    EXPECT_TRUE(v.At(kCtlNewArchive).checked);
    EXPECT_FALSE(v.At(kCtlExistingArchive).checked);
    EXPECT_FALSE(v.At(kCtlWithoutSmc).checked);
    EXPECT_FALSE(v.At(kCtlWithoutSmc).visible);
    EXPECT_EQ(GetAppContext().operation, 1u);
    EXPECT_EQ(v.Focused(), kCtlNewArchive);
    EXPECT_EQ(window_.defaultButton, WizardButton::kNext);
    // The wizard hides its buttons on the way to the first page; the page's
    // first paint shows those it needs, once.
    EXPECT_FALSE(Shown(WizardButton::kNext));
    Welcome().OnPaint();
    EXPECT_TRUE(Shown(WizardButton::kNext));
    EXPECT_TRUE(Shown(WizardButton::kCancel));
    EXPECT_FALSE(Shown(WizardButton::kFinish));
    EXPECT_FALSE(Shown(WizardButton::kBack));
    window_.ShowButton(WizardButton::kNext, false);
    Welcome().OnPaint();
    EXPECT_FALSE(Shown(WizardButton::kNext));
}

TEST_F(WelcomePageTest, CloseAsksOnceAndYesEndsTheProgram) {
    MountCard('K', Small(CardFamily::Dx));
    Start("dX");
    Choose(kPageWelcome, kCtlExistingArchive, kOperations);
    Next();
    ASSERT_EQ(Active(), kPageSbcSelection);
    // Both first pages would ask; the walk stops at the first No.
    ui_.answers = {false};
    wizard_->OnCancel();
    EXPECT_EQ(ui_.ShownTexts(), std::vector<std::string>{"Are you sure you want to close?"});
    ASSERT_EQ(ui_.shown.size(), 1u);
    EXPECT_NE(ui_.shown[0].style & kMbDefButton2, 0u);  // No is the default
    EXPECT_EQ(window_.endCode, 0);
    EXPECT_EQ(Active(), kPageSbcSelection);
    EXPECT_EQ(View(kPageSbcSelection).Focused(), kCtlCardList);

    ui_.answers = {true};
    int code = -1;
    try {
        wizard_->OnCancel();
    } catch (const ExitRequested& e) {
        code = e.code;
    }
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(HasAppContext());
    EXPECT_NE(LogText().find("Application closed"), std::string::npos);
}

TEST_F(WelcomePageTest, FrenchCaptionsFollowTheLanguage) {
    Start("ZT4", {"Language=French"});
    FakePageView& v = WelcomeView();
    EXPECT_EQ(v.At(kCtlExistingArchive).text, u"Va&lidation d'une archive existante");
    EXPECT_EQ(v.At(kCtlLogValidation).text, u"Validation du &journal d'archive");
    EXPECT_EQ(v.At(kCtlNewArchive).text, u"&Génération d'une nouvelle archive");
    EXPECT_EQ(window_.Button(WizardButton::kNext).text, u"&Suivant");
    GetAppContext().language = "English";
    wizard_->RefreshTexts();
    EXPECT_EQ(v.At(kCtlNewArchive).text, u"New &archive generation");
    EXPECT_EQ(v.At(kCtlWithoutSmc).text, u"Without SMC (Less secure)");
    GetAppContext().scaleType = '0';
    GetAppContext().language = "French";
    wizard_->RefreshTexts();
    EXPECT_EQ(v.At(kCtlExistingArchive).text, u"&Vérification d'une archive existante");
}

}  // namespace tv::test
