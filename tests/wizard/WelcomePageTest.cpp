// The welcome page in the wizard's core: its choices by the card's family, what
// they leave in the context, where Next leads, the fresh start after another
// operation, and the question when the user closes.
#include <gtest/gtest.h>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "platform/FaultyPlatform.h"
#include "wizard/CoreWizardTest.h"
#include "wizard/WelcomePage.h"

namespace tv::test {

namespace {

const std::vector<int> kOperations = {kCtlNewArchive, kCtlExistingArchive, kCtlLogValidation};

// A page whose Next starts again from the beginning, as a run page does after
// "Do you want to perform another operation?".
class AnotherOperationPage : public CWizardPage {
public:
    AnotherOperationPage() : CWizardPage(999) {}
    int OnWizardNext() override { return kPageWelcome; }
};

class WelcomePageTest : public CoreWizardTest {
protected:
    int NextTarget() { return Page<CWelcomePage>(kPageWelcome).OnWizardNext(); }
    bool Shown(WizardButton b) const { return window_.IsButtonVisible(b); }
    AnotherOperationPage run_;  // outlives the wizard
};

}  // namespace

TEST_F(WelcomePageTest, DxCardVerifiesWithOrWithoutTheCard) {
    Start("dX");
    FakePageView& v = View(kPageWelcome);
    EXPECT_EQ(v.At(kCtlExistingArchive).text, u"Existing archive &verification");
    EXPECT_FALSE(v.At(kCtlLogValidation).visible);
    EXPECT_FALSE(v.At(kCtlWithoutSmc).visible);
    EXPECT_FALSE(Shown(WizardButton::kBack));
    EXPECT_EQ(NextTarget(), kPageSbcSelection);

    Choose(kPageWelcome, kCtlExistingArchive, kOperations);
    AppContext& ctx = GetAppContext();
    EXPECT_TRUE(v.At(kCtlWithoutSmc).visible);
    EXPECT_EQ(ctx.operation, 2u);
    EXPECT_EQ(ctx.verificationMode, 1u);
    EXPECT_TRUE(ctx.dxVerifier);
    Next();
    EXPECT_EQ(Active(), kPageSbcSelection);
    Back();
    EXPECT_TRUE(v.At(kCtlExistingArchive).checked);  // a move Back keeps the choice
    EXPECT_EQ(v.Focused(), kCtlExistingArchive);
    Click(kPageWelcome, kCtlWithoutSmc, true);
    EXPECT_EQ(ctx.verificationMode, 2u);
    EXPECT_EQ(NextTarget(), kPageVerificationFileFolderSelection);
    Choose(kPageWelcome, kCtlNewArchive, kOperations);
    EXPECT_FALSE(v.At(kCtlWithoutSmc).visible);
    EXPECT_EQ(ctx.operation, 1u);
    Choose(kPageWelcome, kCtlExistingArchive, kOperations);  // the box kept its state
    EXPECT_EQ(ctx.verificationMode, 2u);
}

TEST_F(WelcomePageTest, Zt4CardValidatesArchivesOrTheLogWithoutACardPage) {
    Start("ZT4", {"Language=French"});
    FakePageView& v = View(kPageWelcome);
    EXPECT_EQ(v.At(kCtlExistingArchive).text, u"Va&lidation d'une archive existante");
    EXPECT_EQ(v.At(kCtlLogValidation).text, u"Validation du &journal d'archive");
    EXPECT_TRUE(v.At(kCtlLogValidation).visible);
    AppContext& ctx = GetAppContext();
    Choose(kPageWelcome, kCtlLogValidation, kOperations);
    EXPECT_EQ(ctx.validationKind, 3u);
    EXPECT_EQ(NextTarget(), kPageVerificationFileFolderSelection);
    wizard_->OnHelp();  // back on the page: the focus on the choice
    EXPECT_EQ(v.Focused(), kCtlLogValidation);
    // The last choice replaces the validator of the one before.
    Choose(kPageWelcome, kCtlExistingArchive, kOperations);
    EXPECT_EQ(ctx.validationKind, 1u);
    EXPECT_TRUE(ctx.zt4Verifier);
    EXPECT_FALSE(ctx.dxVerifier);
    EXPECT_EQ(NextTarget(), kPageVerificationFileFolderSelection);

    ctx.language = "English";
    wizard_->RefreshTexts();
    EXPECT_EQ(v.At(kCtlExistingArchive).text, u"Existing archive &validation");
}

TEST_F(WelcomePageTest, AnotherOperationStartsAfreshAndThePaintBringsTheButtonsBack) {
    Start("dX");
    wizard_->AddPage(&run_);
    Choose(kPageWelcome, kCtlExistingArchive, kOperations);
    Click(kPageWelcome, kCtlWithoutSmc, true);
    ASSERT_TRUE(wizard_->ActivatePage(&run_));
    Next();
    ASSERT_EQ(Active(), kPageWelcome);
    FakePageView& v = View(kPageWelcome);
    EXPECT_TRUE(v.At(kCtlNewArchive).checked);
    EXPECT_FALSE(v.At(kCtlExistingArchive).checked);
    EXPECT_FALSE(v.At(kCtlWithoutSmc).checked);
    EXPECT_FALSE(v.At(kCtlWithoutSmc).visible);
    EXPECT_EQ(GetAppContext().operation, 1u);
    EXPECT_EQ(v.Focused(), kCtlNewArchive);
    // The wizard hides its buttons on the way to the first page; the page's
    // first paint shows those it needs, once.
    EXPECT_FALSE(Shown(WizardButton::kNext));
    wizard_->ActivePage()->OnPaint();
    EXPECT_TRUE(Shown(WizardButton::kNext));
    EXPECT_TRUE(Shown(WizardButton::kCancel));
    EXPECT_FALSE(Shown(WizardButton::kBack));
    window_.ShowButton(WizardButton::kNext, false);
    wizard_->ActivePage()->OnPaint();
    EXPECT_FALSE(Shown(WizardButton::kNext));
}

TEST_F(WelcomePageTest, CloseAsksOnceAndYesEndsTheProgram) {
    MountCard('K', Small(CardFamily::Dx));
    Start("dX");
    Next();
    ASSERT_EQ(Active(), kPageSbcSelection);
    // Both first pages would ask; the walk stops at the first No.
    ui_.answers = {false};
    wizard_->OnCancel();
    EXPECT_EQ(ui_.ShownTexts(), std::vector<std::string>{"Are you sure you want to close?"});
    EXPECT_NE(ui_.shown[0].style & kMbDefButton2, 0u);
    EXPECT_EQ(window_.endCode, 0);
    EXPECT_EQ(Active(), kPageSbcSelection);

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

}  // namespace tv::test
