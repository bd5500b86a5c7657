// The card pages in the wizard's core: the list of the cards in the drives, the
// fill level, every refusal, where an accepted card leads, and the card page of
// the verification choice.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "platform/Text.h"
#include "wizard/CoreWizardTest.h"
#include "wizard/SBCSelectionPage.h"
#include "wizard/VerificationSBCSelectionPage.h"
#include "wizard/VerificationSelectionPage.h"

namespace tv::test {

namespace {

class CardPagesTest : public CoreWizardTest {
protected:
    CSBCSelectionPage& Cards() { return Page<CSBCSelectionPage>(kPageSbcSelection); }
    FakePageView& CardView() { return View(kPageSbcSelection); }
    std::vector<std::u16string> Items(int pageId = kPageSbcSelection) { return View(pageId).At(kCtlCardList).items; }
    bool NextEnabled() const { return window_.IsButtonEnabled(WizardButton::kNext); }
    bool FillShown() { return CardView().At(kCtlFillLevel).visible && CardView().At(kCtlFillPicture).visible; }
    static std::u16string Entry(const CardSummary& card, char letter) {
        return ToUtf16(card.printableUid + " (" + letter + ":)");
    }
    // Overwrites bytes of the card's info sector file.
    void PatchInfo(char letter, size_t offset, const std::string& bytes) {
        const std::string path = Join(CardFolder(letter), "WORMINFO.DAT");
        std::string info = ReadFile(path);
        info.replace(offset, bytes.size(), bytes);
        WriteFile(path, info);
    }
    // The card page of a configured family, reached from the welcome page.
    void OpenCardPage(const std::string& scaleType, const std::vector<std::string>& overrides = {}) {
        Start(scaleType, overrides);
        Next();
        ASSERT_EQ(Active(), kPageSbcSelection);
    }
};

}  // namespace

TEST_F(CardPagesTest, CardsAreListedSortedAfterThePlaceholderAndFollowTheDrives) {
    const CardSummary k = MountCard('K', Small(CardFamily::Dx));
    CardOptions other = Small(CardFamily::Zt4);
    other.seed = 7;
    const CardSummary e = MountCard('E', other);
    Start("Auto-detect");
    ASSERT_EQ(Active(), kPageSbcSelection);
    std::vector<std::u16string> cards = {Entry(k, 'K'), Entry(e, 'E')};
    std::sort(cards.begin(), cards.end());
    EXPECT_EQ(Items(), (std::vector<std::u16string>{u"<Select SMC>", cards[0], cards[1]}));
    EXPECT_EQ(CardView().Selection(kCtlCardList), 0);
    EXPECT_TRUE(CardView().At(kCtlCardList).enabled);
    EXPECT_FALSE(NextEnabled());
    EXPECT_EQ(window_.defaultButton, WizardButton::kCancel);
    EXPECT_FALSE(window_.IsButtonVisible(WizardButton::kBack));  // the first page
    EXPECT_EQ(window_.breadcrumb, (std::vector<MessageId>{114}));
    EXPECT_FALSE(FillShown());

    // A card chosen, then the placeholder again: Next waits for a card.
    Select(kPageSbcSelection, kCtlCardList, 1);
    EXPECT_TRUE(NextEnabled());
    EXPECT_EQ(window_.defaultButton, WizardButton::kNext);
    Select(kPageSbcSelection, kCtlCardList, 0);
    EXPECT_FALSE(NextEnabled());

    // The cards go: the list says so and stays usable for the next one.
    RemoveCard('K');
    RemoveCard('E');
    wizard_->DeviceChanged();
    EXPECT_EQ(Items(), std::vector<std::u16string>{u"<Insert SMC>"});
    EXPECT_EQ(CardView().Selection(kCtlCardList), 0);
    EXPECT_TRUE(CardView().At(kCtlCardList).enabled);
    EXPECT_FALSE(NextEnabled());
}

TEST_F(CardPagesTest, AutoDetectWaitsForACardAndLeadsToTheWelcomePage) {
    Start("Auto-detect");
    EXPECT_EQ(Items(), std::vector<std::u16string>{u"<Insert SMC>"});
    EXPECT_FALSE(CardView().At(kCtlCardList).enabled);
    EXPECT_FALSE(NextEnabled());
    Next();
    EXPECT_EQ(Active(), kPageSbcSelection);

    const CardSummary k = MountCard('K', Small(CardFamily::Zt4));
    wizard_->DeviceChanged();
    EXPECT_EQ(Items(), (std::vector<std::u16string>{u"<Select SMC>", Entry(k, 'K')}));
    EXPECT_TRUE(CardView().At(kCtlCardList).enabled);
    Select(kPageSbcSelection, kCtlCardList, 1);
    ui_.shown.clear();
    Next();
    EXPECT_EQ(Active(), kPageWelcome);
    EXPECT_TRUE(ui_.shown.empty());
    EXPECT_EQ(GetAppContext().scaleType, '1');  // the family of the card
    EXPECT_EQ(GetAppContext().drive, "K");
}

TEST_F(CardPagesTest, FillLevelShowsOnlyWhenLittleRoomIsLeft) {
    CardOptions roomy = Small(CardFamily::Dx);
    roomy.totalSectors = 200000;  // about 100 MB
    const CardSummary d = MountCard('D', roomy);
    CardOptions small = Small(CardFamily::Dx);
    small.totalSectors = 20000;
    small.seed = 3;
    const CardSummary e = MountCard('E', small);
    small.seed = 4;
    const CardSummary f = MountCard('F', small);
    PatchInfo('F', 24, std::string("\x7F\xFF\xFF\x00", 4));  // writes past its store: shown full
    OpenCardPage("dX");
    ASSERT_EQ(Items().size(), 4u);
    const auto choose = [&](const CardSummary& card, char letter) {
        const auto& items = Items();
        const auto at = std::find(items.begin(), items.end(), Entry(card, letter));
        ASSERT_NE(at, items.end());
        Select(kPageSbcSelection, kCtlCardList, static_cast<int>(at - items.begin()));
    };
    choose(d, 'D');
    EXPECT_FALSE(FillShown());
    EXPECT_TRUE(NextEnabled());
    choose(e, 'E');
    EXPECT_TRUE(FillShown());
    EXPECT_EQ(CardView().ProgressOf(kCtlFillLevel).Last(), int(uint64_t{e.sectorsUsed} * 100 / (20000 - 32)));
    EXPECT_EQ(CardView().barStates[kCtlFillLevel], BarState::kPaused);
    EXPECT_TRUE(NextEnabled());
    choose(f, 'F');
    EXPECT_TRUE(FillShown());
    EXPECT_EQ(CardView().ProgressOf(kCtlFillLevel).Last(), 100);
    EXPECT_EQ(CardView().barStates[kCtlFillLevel], BarState::kError);
    Select(kPageSbcSelection, kCtlCardList, 0);
    EXPECT_FALSE(FillShown());
    EXPECT_FALSE(NextEnabled());
}

TEST_F(CardPagesTest, CardThatCannotBeOpenedIsRefusedWhenChosen) {
    MountCard('K', Small(CardFamily::Dx));
    OpenCardPage("dX");
    emulators_['K' - 'A']->Faults().commandStatus = 1;
    ui_.shown.clear();
    Select(kPageSbcSelection, kCtlCardList, 1);
    EXPECT_EQ(ui_.ShownTexts(), std::vector<std::string>{"Not able to open Secure Memory Card."});
    EXPECT_FALSE(NextEnabled());
    EXPECT_FALSE(FillShown());
    EXPECT_EQ(CardView().Focused(), kCtlCardList);
}

TEST_F(CardPagesTest, DamagedCardIsToldOnceAndNeverListed) {
    MountCard('G', Small(CardFamily::Dx));
    std::filesystem::resize_file(Join(CardFolder('G'), "WORMSTOR.DAT"), 4096);
    const CardSummary k = MountCard('K', Small(CardFamily::Dx));
    OpenCardPage("dX");
    EXPECT_EQ(Items(), (std::vector<std::u16string>{u"<Select SMC>", Entry(k, 'K')}));
    EXPECT_EQ(ui_.ShownTexts(), std::vector<std::string>{"Corrupt Secure Memory Card."});
}

namespace {

struct Refusal {
    const char* name;
    const char* scaleType;
    CardOptions card;
    const char* message;
};

std::vector<Refusal> Refusals() {
    CardOptions dx;
    dx.days = 2;
    dx.receiptsPerDay = 4;
    CardOptions zt4 = dx;
    zt4.family = CardFamily::Zt4;
    CardOptions foreign = dx;
    foreign.customisationId = "QX47";
    CardOptions fresh = dx;
    fresh.fused = false;
    fresh.empty = true;
    CardOptions corrupt = dx;
    corrupt.fused = false;
    return {
        {"Zt4CardDxConfigured", "dX", zt4,
         "Incorrect scale type. Configured scale type is dX; Detected SMC is ZT4. Please change the scale type "
         "setting to ZT4 to use the SMC."},
        {"DxCardZt4Configured", "ZT4", dx,
         "Incorrect scale type. Configured scale type is ZT4; Detected SMC is dX. Please change the scale type "
         "setting to dX to use the SMC."},
        {"OtherCustomisation", "dX", foreign, "Unsupported SMC. Update to new version of Tallyvault."},
        {"NewCard", "dX", fresh, "New Secure Memory Card."},
        {"UnfusedCardWithData", "dX", corrupt, "Corrupt Secure Memory Card."},
    };
}

class CardRefusalTest : public CardPagesTest, public ::testing::WithParamInterface<Refusal> {};

}  // namespace

TEST_P(CardRefusalTest, RefusalOnNextKeepsThePageWithNextDisabled) {
    MountCard('K', GetParam().card);
    OpenCardPage(GetParam().scaleType);
    ASSERT_EQ(Items().size(), 2u);
    Select(kPageSbcSelection, kCtlCardList, 1);
    ASSERT_TRUE(NextEnabled());
    ui_.shown.clear();
    Next();
    EXPECT_EQ(Active(), kPageSbcSelection);
    ASSERT_FALSE(ui_.shown.empty());
    EXPECT_EQ(ui_.ShownTexts().back(), GetParam().message);
    EXPECT_FALSE(NextEnabled());
    EXPECT_EQ(window_.defaultButton, WizardButton::kCancel);
    EXPECT_EQ(CardView().Focused(), kCtlCardList);
}

INSTANTIATE_TEST_SUITE_P(Cards, CardRefusalTest, ::testing::ValuesIn(Refusals()),
                         [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

TEST_F(CardPagesTest, AcceptedCardLeadsOnByTheConfiguredFamilyAndOperation) {
    MountCard('K', Small(CardFamily::Dx));
    OpenCardPage("dX");
    Select(kPageSbcSelection, kCtlCardList, 1);
    ui_.shown.clear();
    EXPECT_EQ(Cards().OnWizardNext(), kPageArchiverSelection);
    EXPECT_TRUE(ui_.shown.empty());
    EXPECT_EQ(GetAppContext().drive, "K");
    // Verification with the card (the welcome page's choice).
    GetAppContext().operation = 2;
    GetAppContext().verificationMode = 1;
    EXPECT_EQ(Cards().OnWizardNext(), kPageVerificationFileFolderSelection);
    // Nothing else comes through this page: it stays.
    GetAppContext().verificationMode = 2;
    EXPECT_EQ(Cards().OnWizardNext(), -1);
}

TEST_F(CardPagesTest, Zt4CardArchivesWhenZt4IsConfigured) {
    MountCard('K', Small(CardFamily::Zt4));
    OpenCardPage("ZT4");
    EXPECT_EQ(window_.breadcrumb, (std::vector<MessageId>{140, 114}));
    EXPECT_TRUE(window_.IsButtonVisible(WizardButton::kBack));
    Select(kPageSbcSelection, kCtlCardList, 1);
    EXPECT_EQ(Cards().OnWizardNext(), kPageArchiverSelection);
    GetAppContext().operation = 2;
    GetAppContext().verificationMode = 1;
    EXPECT_EQ(Cards().OnWizardNext(), -1);
}

TEST_F(CardPagesTest, BackEmptiesTheListAndEnteringAgainScansAnew) {
    MountCard('K', Small(CardFamily::Dx));
    OpenCardPage("dX");
    Select(kPageSbcSelection, kCtlCardList, 1);
    Back();
    EXPECT_EQ(Active(), kPageWelcome);
    EXPECT_TRUE(Items().empty());
    EXPECT_TRUE(NextEnabled());
    MountCard('L', [] {
        CardOptions o = Small(CardFamily::Dx);
        o.seed = 5;
        return o;
    }());
    Next();
    EXPECT_EQ(Active(), kPageSbcSelection);
    EXPECT_EQ(Items().size(), 3u);
    EXPECT_EQ(CardView().Selection(kCtlCardList), 0);
    EXPECT_FALSE(NextEnabled());
}

TEST_F(CardPagesTest, FrenchPlaceholderAndALanguageChangeNeverPassForACard) {
    MountCard('K', Small(CardFamily::Dx));
    // The letter the placeholder's text would give ("<Select SMC>"): its card
    // must not be taken.
    CardOptions other = Small(CardFamily::Dx);
    other.seed = 9;
    MountCard('M', other);
    Start("Auto-detect", {"Language=French"});
    EXPECT_EQ(Items().front(), u"<Sélectionner une SMC>");
    EXPECT_EQ(CardView().At(kCtlCardGroup).text, u"Choisissez une SMC dans la liste et cliquez sur \"Suivant\".");
    Select(kPageSbcSelection, kCtlCardList, 1);
    EXPECT_TRUE(NextEnabled());
    Select(kPageSbcSelection, kCtlCardList, 0);
    EXPECT_FALSE(NextEnabled());

    // The settings switch the language while a card is chosen: the placeholder
    // is chosen again in the new language, and Next waits for a card.
    Select(kPageSbcSelection, kCtlCardList, 1);
    GetAppContext().language = "English";
    wizard_->RefreshTexts();
    ASSERT_EQ(Items().size(), 3u);
    EXPECT_EQ(Items().front(), u"<Select SMC>");
    EXPECT_EQ(CardView().Selection(kCtlCardList), 0);
    EXPECT_FALSE(NextEnabled());
    // Even pressed, Next takes no drive from the placeholder's text.
    ui_.shown.clear();
    EXPECT_EQ(Cards().OnWizardNext(), -1);
    EXPECT_TRUE(ui_.shown.empty());
    EXPECT_EQ(Active(), kPageSbcSelection);
}

TEST_F(CardPagesTest, PaintAfterAMoveNextPutsTheButtonsOfTheCardPage) {
    OpenCardPage("dX");
    window_.ShowButton(WizardButton::kNext, false);
    window_.ShowButton(WizardButton::kFinish, true);
    CardView().Focus(kCtlFillLevel);
    Cards().OnPaint();
    EXPECT_TRUE(window_.IsButtonVisible(WizardButton::kNext));
    EXPECT_TRUE(window_.IsButtonVisible(WizardButton::kBack));
    EXPECT_FALSE(window_.IsButtonVisible(WizardButton::kFinish));
    EXPECT_EQ(CardView().Focused(), kCtlCardList);
    window_.ShowButton(WizardButton::kFinish, true);
    Cards().OnPaint();  // once only
    EXPECT_TRUE(window_.IsButtonVisible(WizardButton::kFinish));
}

// No page of the flow leads to the verification choice: it is shown here as if
// it were, and its Next leads to its own card page.
TEST_F(CardPagesTest, VerificationChoiceAndItsCardPageRefuseZt4Cards) {
    MountCard('K', Small(CardFamily::Zt4));
    Start("Auto-detect");
    CWizardPage* choice = wizard_->FindPage(kPageVerificationSelection);
    ASSERT_TRUE(wizard_->ActivatePage(choice));
    choice->OnEnterForward();
    FakePageView& v = View(kPageVerificationSelection);
    EXPECT_EQ(v.At(kCtlVerificationChoiceGroup).text, u"Select a verification option and click \"Next\".");
    EXPECT_EQ(v.At(kCtlVerifyUsingSmc).text, u"Verify using SMC");
    EXPECT_TRUE(v.At(kCtlVerifyUsingSmc).checked);
    EXPECT_EQ(v.Focused(), kCtlVerifyUsingSmc);
    EXPECT_EQ(GetAppContext().verificationMode, 1u);
    EXPECT_TRUE(NextEnabled());

    Next();
    ASSERT_EQ(Active(), kPageVerificationSbcSelection);
    EXPECT_EQ(window_.breadcrumb, (std::vector<MessageId>{140, 202, 114}));
    FakePageView& cards = View(kPageVerificationSbcSelection);
    EXPECT_EQ(cards.At(kCtlCardGroup).text, u"Choose an SMC from the list and click \"Next\".");
    ASSERT_EQ(Items(kPageVerificationSbcSelection).size(), 2u);
    EXPECT_FALSE(cards.Has(kCtlFillLevel));  // no fill level on this page
    GetAppContext().drive.clear();
    Select(kPageVerificationSbcSelection, kCtlCardList, 1);
    EXPECT_EQ(GetAppContext().drive, "K");
    EXPECT_TRUE(NextEnabled());
    ui_.shown.clear();
    Next();
    EXPECT_EQ(Active(), kPageVerificationSbcSelection);
    EXPECT_EQ(ui_.ShownTexts(), std::vector<std::string>{"Feature not available for ZT4."});
    EXPECT_FALSE(NextEnabled());

    // This card page asks nothing when the user closes.
    EXPECT_TRUE(wizard_->FindPage(kPageVerificationSbcSelection)->OnQueryCancel());
    Back();
    EXPECT_EQ(Active(), kPageVerificationSelection);
    EXPECT_TRUE(Items(kPageVerificationSbcSelection).empty());
    EXPECT_EQ(v.Focused(), kCtlVerifyUsingSmc);

    Choose(kPageVerificationSelection, kCtlStandaloneVerification, {kCtlVerifyUsingSmc, kCtlStandaloneVerification});
    EXPECT_EQ(GetAppContext().verificationMode, 2u);
    CWizardPage& page = *choice;
    EXPECT_EQ(page.OnWizardNext(), kPageVerificationFileFolderSelection);
    EXPECT_EQ(page.OnWizardBack(), kPageWelcome);
    wizard_->OnHelp();
    EXPECT_EQ(v.Focused(), kCtlStandaloneVerification);
}

TEST_F(CardPagesTest, VerificationCardPageTakesADxCardAndLogsIt) {
    const CardSummary k = MountCard('K', Small(CardFamily::Dx));
    Start("Auto-detect", {"Language=French"});
    CWizardPage* choice = wizard_->FindPage(kPageVerificationSelection);
    ASSERT_TRUE(wizard_->ActivatePage(choice));
    choice->OnEnterForward();
    EXPECT_EQ(View(kPageVerificationSelection).At(kCtlVerifyUsingSmc).text, u"Vérifier avec la SMC");
    EXPECT_EQ(View(kPageVerificationSelection).At(kCtlStandaloneVerification).text, u"Vérification autonome");
    Next();
    ASSERT_EQ(Active(), kPageVerificationSbcSelection);
    Select(kPageVerificationSbcSelection, kCtlCardList, 1);
    ui_.shown.clear();
    EXPECT_EQ(wizard_->FindPage(kPageVerificationSbcSelection)->OnWizardNext(), kPageVerificationFileFolderSelection);
    EXPECT_TRUE(ui_.shown.empty());
    EXPECT_NE(LogText().find("SMC selected for verification: " + k.printableUid + " (K:)"), std::string::npos);
}

}  // namespace tv::test
