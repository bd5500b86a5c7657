// The card pages in the wizard's core: the card list and the drives, the fill
// level, every refusal, where an accepted card leads, and the card page of the
// verification choice.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "platform/Text.h"
#include "wizard/CoreWizardTest.h"
#include "wizard/SBCSelectionPage.h"
#include "wizard/VerificationSelectionPage.h"

namespace tv::test {

namespace {

class CardPagesTest : public CoreWizardTest {
protected:
    std::vector<std::u16string> Items(int pageId = kPageSbcSelection) { return View(pageId).At(kCtlCardList).items; }
    bool NextEnabled() const { return window_.IsButtonEnabled(WizardButton::kNext); }
    bool FillShown() { return View(kPageSbcSelection).At(kCtlFillLevel).visible; }
    int NextTarget(int pageId = kPageSbcSelection) { return wizard_->FindPage(pageId)->OnWizardNext(); }
    static std::u16string Entry(const CardSummary& card, char letter) {
        return ToUtf16(card.printableUid + " (" + letter + ":)");
    }
    static CardOptions Seeded(CardOptions options, uint64_t seed) {
        options.seed = seed;
        return options;
    }
    // Chooses the card of the drive in the page's list.
    void ChooseCard(char letter, int pageId = kPageSbcSelection) {
        const std::vector<std::u16string> items = Items(pageId);
        for (size_t i = 1; i < items.size(); ++i) {
            if (DriveOfEntry(ToNarrow(items[i])) == letter) return Select(pageId, kCtlCardList, int(i));
        }
        ADD_FAILURE() << "no card in " << letter;
    }
};

}  // namespace

TEST_F(CardPagesTest, AutoDetectListsTheCardsOfTheDrivesAndLeadsToTheWelcomePage) {
    Start("Auto-detect");
    EXPECT_EQ(Items(), std::vector<std::u16string>{u"<Insert SMC>"});
    EXPECT_FALSE(View(kPageSbcSelection).At(kCtlCardList).enabled);
    EXPECT_FALSE(NextEnabled());

    const CardSummary k = MountCard('K', Small(CardFamily::Zt4));
    const CardSummary e = MountCard('E', Seeded(Small(CardFamily::Dx), 7));
    wizard_->DeviceChanged();
    std::vector<std::u16string> cards = {Entry(k, 'K'), Entry(e, 'E')};
    std::sort(cards.begin(), cards.end());
    EXPECT_EQ(Items(), (std::vector<std::u16string>{u"<Select SMC>", cards[0], cards[1]}));
    EXPECT_TRUE(View(kPageSbcSelection).At(kCtlCardList).enabled);
    ChooseCard('K');
    EXPECT_TRUE(NextEnabled());
    Select(kPageSbcSelection, kCtlCardList, 0);  // the placeholder again
    EXPECT_FALSE(NextEnabled());
    ChooseCard('K');
    Next();
    EXPECT_EQ(Active(), kPageWelcome);
    EXPECT_EQ(GetAppContext().scaleType, '1');  // the family of the card
    Back();
    EXPECT_EQ(Active(), kPageSbcSelection);
    EXPECT_EQ(Items().size(), 3u);  // scanned again

    // The cards go: the list says so and stays usable for the next one.
    RemoveCard('K');
    RemoveCard('E');
    wizard_->DeviceChanged();
    EXPECT_EQ(Items(), std::vector<std::u16string>{u"<Insert SMC>"});
    EXPECT_TRUE(View(kPageSbcSelection).At(kCtlCardList).enabled);
    EXPECT_FALSE(NextEnabled());
}

TEST_F(CardPagesTest, FillLevelShowsOnlyWhenLittleRoomIsLeft) {
    CardOptions roomy = Small(CardFamily::Dx);
    roomy.totalSectors = 200000;  // about 100 MB
    MountCard('D', roomy);
    CardOptions small = Small(CardFamily::Dx);
    small.totalSectors = 20000;
    const CardSummary e = MountCard('E', Seeded(small, 3));
    MountCard('F', Seeded(small, 4));
    // Counters past the store: a damaged card, shown full.
    const std::string info = Join(CardFolder('F'), "WORMINFO.DAT");
    WriteFile(info, ReadFile(info).replace(24, 4, std::string("\x7F\xFF\xFF\x00", 4)));
    Start("dX");
    Next();
    FakePageView& v = View(kPageSbcSelection);
    ChooseCard('D');
    EXPECT_FALSE(FillShown());
    EXPECT_TRUE(NextEnabled());
    ChooseCard('E');
    EXPECT_TRUE(FillShown());
    EXPECT_EQ(v.ProgressOf(kCtlFillLevel).Last(), int(uint64_t{e.sectorsUsed} * 100 / (20000 - 32)));
    EXPECT_EQ(v.barStates[kCtlFillLevel], BarState::kPaused);
    ChooseCard('F');
    EXPECT_EQ(v.ProgressOf(kCtlFillLevel).Last(), 100);
    EXPECT_EQ(v.barStates[kCtlFillLevel], BarState::kError);
    EXPECT_TRUE(NextEnabled());
    Select(kPageSbcSelection, kCtlCardList, 0);
    EXPECT_FALSE(FillShown());
}

TEST_F(CardPagesTest, DamagedCardsAreToldAndCardsThatDoNotOpenRefused) {
    MountCard('G', Small(CardFamily::Dx));
    std::filesystem::resize_file(Join(CardFolder('G'), "WORMSTOR.DAT"), 4096);
    MountCard('K', Small(CardFamily::Dx));
    Start("dX");
    Next();
    EXPECT_EQ(Items().size(), 2u);  // G is not listed
    EXPECT_EQ(ui_.ShownTexts(), std::vector<std::string>{"Corrupt Secure Memory Card."});
    ui_.shown.clear();
    emulators_['K' - 'A']->Faults().commandStatus = 1;
    ChooseCard('K');
    EXPECT_EQ(ui_.ShownTexts(), std::vector<std::string>{"Not able to open Secure Memory Card."});
    EXPECT_FALSE(NextEnabled());
}

TEST_F(CardPagesTest, RefusalsOnNextKeepThePageWithNextDisabled) {
    const CardOptions dx = Small(CardFamily::Dx);
    CardOptions foreign = dx, fresh = dx, corrupt = dx;
    foreign.customisationId = "QX47";
    fresh.fused = false;
    fresh.empty = true;
    corrupt.fused = false;
    const struct {
        char letter;
        CardOptions card;
        const char* message;
    } cases[] = {{'E', Small(CardFamily::Zt4),
                  "Incorrect scale type. Configured scale type is dX; Detected SMC is ZT4. Please change the scale "
                  "type setting to ZT4 to use the SMC."},
                 {'F', Seeded(foreign, 2), "Unsupported SMC. Update to new version of Tallyvault."},
                 {'G', Seeded(fresh, 3), "New Secure Memory Card."},
                 {'H', Seeded(corrupt, 4), "Corrupt Secure Memory Card."}};
    for (const auto& c : cases) MountCard(c.letter, c.card);
    Start("dX");
    Next();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.letter);
        ChooseCard(c.letter);
        ASSERT_TRUE(NextEnabled());
        ui_.shown.clear();
        Next();
        EXPECT_EQ(Active(), kPageSbcSelection);
        EXPECT_EQ(ui_.ShownTexts(), std::vector<std::string>{c.message});
        EXPECT_FALSE(NextEnabled());
    }
}

TEST_F(CardPagesTest, AcceptedCardLeadsOnByTheConfiguredFamilyAndOperation) {
    MountCard('K', Small(CardFamily::Dx));
    Start("dX");
    Next();
    ChooseCard('K');
    EXPECT_EQ(NextTarget(), kPageArchiverSelection);
    AppContext& ctx = GetAppContext();
    ctx.operation = 2;  // verification with the card
    ctx.verificationMode = 1;
    EXPECT_EQ(NextTarget(), kPageVerificationFileFolderSelection);
    ctx.verificationMode = 2;  // nothing else comes through this page
    EXPECT_EQ(NextTarget(), -1);
    EXPECT_TRUE(ui_.shown.empty());
    Back();
    EXPECT_EQ(Active(), kPageWelcome);
    EXPECT_TRUE(Items().empty());
}

// The placeholder read as a card entry would name drive M ("<Select SMC>").
TEST_F(CardPagesTest, APlaceholderInEitherLanguageIsNeverTakenForACard) {
    MountCard('K', Small(CardFamily::Dx));
    MountCard('M', Seeded(Small(CardFamily::Dx), 9));
    Start("Auto-detect", {"Language=French"});
    EXPECT_EQ(Items().front(), u"<Sélectionner une SMC>");
    ChooseCard('K');
    Select(kPageSbcSelection, kCtlCardList, 0);
    EXPECT_FALSE(NextEnabled());
    // The settings switch the language while a card is chosen: the placeholder
    // is chosen again, and Next waits for a card.
    ChooseCard('K');
    GetAppContext().language = "English";
    wizard_->RefreshTexts();
    EXPECT_EQ(Items().front(), u"<Select SMC>");
    EXPECT_EQ(Items().size(), 3u);
    EXPECT_FALSE(NextEnabled());
    EXPECT_EQ(NextTarget(), -1);
    EXPECT_TRUE(ui_.shown.empty());
}

// No page of the flow leads to the verification choice: it is shown here as if
// one did.
TEST_F(CardPagesTest, VerificationChoiceAndItsCardPage) {
    const CardSummary k = MountCard('K', Small(CardFamily::Dx));
    MountCard('L', Seeded(Small(CardFamily::Zt4), 2));
    Start("Auto-detect", {"Language=French"});
    CWizardPage* choice = wizard_->FindPage(kPageVerificationSelection);
    ASSERT_TRUE(wizard_->ActivatePage(choice));
    choice->OnEnterForward();
    FakePageView& v = View(kPageVerificationSelection);
    EXPECT_EQ(v.At(kCtlVerifyUsingSmc).text, u"Vérifier avec la SMC");
    EXPECT_TRUE(v.At(kCtlVerifyUsingSmc).checked);
    Next();
    ASSERT_EQ(Active(), kPageVerificationSbcSelection);
    EXPECT_EQ(window_.breadcrumb, (std::vector<MessageId>{140, 202, 114}));
    EXPECT_EQ(Items(kPageVerificationSbcSelection).size(), 3u);
    EXPECT_FALSE(View(kPageVerificationSbcSelection).Has(kCtlFillLevel));

    ChooseCard('L', kPageVerificationSbcSelection);
    EXPECT_EQ(GetAppContext().drive, "L");
    Next();
    EXPECT_EQ(ui_.ShownTexts(), std::vector<std::string>{"Fonction non disponible pour ZT4."});
    EXPECT_FALSE(NextEnabled());
    ChooseCard('K', kPageVerificationSbcSelection);
    EXPECT_EQ(NextTarget(kPageVerificationSbcSelection), kPageVerificationFileFolderSelection);
    EXPECT_NE(LogText().find("SMC selected for verification: " + k.printableUid + " (K:)"), std::string::npos);
    EXPECT_TRUE(wizard_->FindPage(kPageVerificationSbcSelection)->OnQueryCancel());  // asks nothing

    Back();
    EXPECT_EQ(Active(), kPageVerificationSelection);
    EXPECT_TRUE(Items(kPageVerificationSbcSelection).empty());
    Choose(kPageVerificationSelection, kCtlStandaloneVerification, {kCtlVerifyUsingSmc, kCtlStandaloneVerification});
    EXPECT_EQ(GetAppContext().verificationMode, 2u);
    EXPECT_EQ(NextTarget(kPageVerificationSelection), kPageVerificationFileFolderSelection);
    EXPECT_EQ(choice->OnWizardBack(), kPageWelcome);
}

}  // namespace tv::test
