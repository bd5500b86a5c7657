// The archive choice and the archive folder pages of the core: what the card's
// profile entry offers, the operation each choice makes, the routing to the
// folder, date and run pages, the folder checks and the default folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "archive/CompleteArchiverZT4.h"
#include "archive/CompleteArchiverdX.h"
#include "archive/DateBasedArchiverZT4.h"
#include "archive/DateBasedArchiverdX.h"
#include "archive/PartialArchiverdX.h"
#include "platform/FaultyPlatform.h"
#include "platform/Text.h"
#include "wizard/ArchiverPathSelectionPage.h"
#include "wizard/ArchiverSelectionPage.h"
#include "wizard/ArchivingChoiceFixture.h"

namespace tv::test {

namespace {

using Texts = std::vector<std::string>;

class ArchivingChoicePagesTest : public ArchivingChoiceFixture {
protected:
    FakePageView& Choice() { return View(kPageArchiverSelection); }
    FakePageView& Path() { return View(kPageArchiverPathSelection); }
    CArchiverSelectionPage& ChoicePage() { return Page<CArchiverSelectionPage>(kPageArchiverSelection); }
    void TypePath(const std::string& path) { Type(kPageArchiverPathSelection, kCtlArchivePath, ToUtf16(path)); }
};

}  // namespace

TEST_F(ArchivingChoicePagesTest, CardWithoutProfileOffersCompleteAndDateOnly) {
    MountCard('K', Small(CardFamily::Dx));
    Open("dX");
    ToChoice();
    EXPECT_TRUE(Choice().At(kCtlCompleteArchive).checked);
    EXPECT_EQ(Choice().Focused(), kCtlCompleteArchive);
    EXPECT_FALSE(Choice().At(kCtlContinueArchive).enabled);
    EXPECT_FALSE(Choice().At(kCtlPreviousArchiveInfo).visible);
    EXPECT_FALSE(ChoicePage().ContinueAvailable());
    EXPECT_TRUE(window_.IsButtonEnabled(WizardButton::kNext));
    EXPECT_EQ(window_.breadcrumb, (std::vector<MessageId>{140, 114, 115}));
    EXPECT_EQ(window_.highlight, 2);
    EXPECT_EQ(Choice().At(kCtlArchiveChoiceBox).text, u"Choose an archiving option and click \"Next\".");

    // Every choice makes a new operation of its kind at once.
    AppContext& ctx = GetAppContext();
    EXPECT_NE(dynamic_cast<CCompleteArchiverdX*>(ctx.currentArchiver.get()), nullptr);
    Choose(kPageArchiverSelection, kCtlDateBasedArchive, {kCtlCompleteArchive, kCtlDateBasedArchive});
    EXPECT_EQ(ctx.archiveType, 3);
    EXPECT_NE(dynamic_cast<CDateBasedArchiverdX*>(ctx.currentArchiver.get()), nullptr);
    ctx.currentArchiver->SetStartDate(42);
    Choose(kPageArchiverSelection, kCtlDateBasedArchive, {kCtlCompleteArchive, kCtlDateBasedArchive});
    ASSERT_NE(dynamic_cast<CDateRange*>(ctx.currentArchiver.get()), nullptr);
    EXPECT_EQ(dynamic_cast<CDateRange*>(ctx.currentArchiver.get())->startTime, 0);
    Choose(kPageArchiverSelection, kCtlCompleteArchive, {kCtlCompleteArchive, kCtlDateBasedArchive});
    EXPECT_EQ(ctx.archiveType, 1);
    EXPECT_NE(dynamic_cast<CCompleteArchiverdX*>(ctx.currentArchiver.get()), nullptr);

    // A continuation without a last archive is no choice, whatever the face sends.
    Choose(kPageArchiverSelection, kCtlContinueArchive, {kCtlCompleteArchive, kCtlContinueArchive});
    EXPECT_EQ(ctx.archiveType, 1);
    EXPECT_TRUE(Choice().At(kCtlCompleteArchive).checked);
    EXPECT_FALSE(Choice().At(kCtlContinueArchive).checked);

    // Help and settings give the focus back to the chosen button.
    Choose(kPageArchiverSelection, kCtlDateBasedArchive, {kCtlCompleteArchive, kCtlDateBasedArchive});
    Choice().Focus(kCtlArchiveChoiceBox);
    wizard_->OnHelp();
    EXPECT_EQ(Choice().Focused(), kCtlDateBasedArchive);
}

TEST_F(ArchivingChoicePagesTest, TextsFollowTheLanguage) {
    MountCard('K', Small(CardFamily::Dx));
    Open("dX", {"Language=French"});
    ToChoice();
    EXPECT_EQ(Choice().At(kCtlCompleteArchive).text, u"Archive &complète");
    EXPECT_EQ(Choice().At(kCtlContinueArchive).text, u"Continuer depuis la &dernière archive");
    EXPECT_EQ(Choice().At(kCtlDateBasedArchive).text, u"Archive &par date");
    Next();
    ASSERT_EQ(Active(), kPageArchiverPathSelection);
    EXPECT_EQ(Path().At(kCtlArchivePathLabel).text, u"Chemin d'archive :");
    EXPECT_EQ(Path().At(kCtlArchivePathBox).text, u"Saisissez un chemin d'archive et cliquez sur \"Suivant\".");
    EXPECT_EQ(Path().At(kCtlArchivePath).tip, u"Sélectionner un dossier");
    Next();
    EXPECT_EQ(Shown(), Texts{"Veuillez saisir un chemin d'archive."});

    // The settings switch the language back: the page follows at once.
    GetAppContext().language = "English";
    wizard_->RefreshTexts();
    EXPECT_EQ(Path().At(kCtlArchivePathLabel).text, u"Archive path :");
    EXPECT_EQ(Path().At(kCtlArchivePath).tip, u"Select folder");
    Back();
    EXPECT_EQ(Choice().At(kCtlDateBasedArchive).text, u"&Date based archive");
}

TEST_F(ArchivingChoicePagesTest, SoundProfileOffersContinueWithThePreviousDates) {
    const CardSummary card = MountCard('K', Small(CardFamily::Dx));
    WriteProfile(card, card.scaleSerialNumber);
    Open("dX");
    ToChoice();
    EXPECT_TRUE(ChoicePage().ContinueAvailable());
    EXPECT_TRUE(Choice().At(kCtlContinueArchive).enabled);
    EXPECT_TRUE(Choice().At(kCtlPreviousArchiveInfo).visible);
    EXPECT_EQ(Choice().At(kCtlPreviousArchiveInfo).text, u"[Previous archive info: 2015-12-20 to 2015-12-21]");
    EXPECT_TRUE(Choice().At(kCtlCompleteArchive).checked);
    AppContext& ctx = GetAppContext();
    Choose(kPageArchiverSelection, kCtlContinueArchive, {kCtlCompleteArchive, kCtlContinueArchive});
    EXPECT_EQ(ctx.archiveType, 2);
    EXPECT_NE(dynamic_cast<CPartialArchiverdX*>(ctx.currentArchiver.get()), nullptr);

    // Back to the card page and forward again: the choice starts over at complete.
    Back();
    ASSERT_EQ(Active(), kPageSbcSelection);
    ToChoice();  // the card chosen again from the list scanned anew
    EXPECT_TRUE(Choice().At(kCtlCompleteArchive).checked);
    EXPECT_FALSE(Choice().At(kCtlContinueArchive).checked);
    EXPECT_EQ(ctx.archiveType, 1);
    EXPECT_NE(dynamic_cast<CCompleteArchiverdX*>(ctx.currentArchiver.get()), nullptr);
    EXPECT_TRUE(Choice().At(kCtlContinueArchive).enabled);

    // An entry that is not the card's: no continuation, and the entry is set aside.
    Back();
    WriteProfile(card, "WRONG00000");
    ToChoice();
    EXPECT_FALSE(ChoicePage().ContinueAvailable());
    EXPECT_FALSE(Choice().At(kCtlContinueArchive).enabled);
    EXPECT_FALSE(Choice().At(kCtlPreviousArchiveInfo).visible);
    EXPECT_NE(LogText().find("Scale Serial number in SMC profile file is incorrect"), std::string::npos);
}

TEST_F(ArchivingChoicePagesTest, UnsupportedCardCannotBeArchived) {
    MountCard('K', Small(CardFamily::Dx));
    // Data structure version 3 in the card's origin of trust block.
    const std::string store = Join(CardFolder('K'), "WORMSTOR.DAT");
    std::string bytes = ReadFile(store);
    ASSERT_GT(bytes.size(), 10u);
    bytes[10] = 3;
    WriteFile(store, bytes);
    Open("dX");
    ToChoice();
    EXPECT_EQ(OnlyStyle(), unsigned{kMbIconWarning});
    EXPECT_EQ(Shown(), Texts{"Unsupported SMC."});
    EXPECT_FALSE(window_.IsButtonEnabled(WizardButton::kNext));
    EXPECT_EQ(window_.defaultButton, WizardButton::kCancel);
    EXPECT_FALSE(Choice().At(kCtlContinueArchive).enabled);
    Next();
    EXPECT_EQ(Active(), kPageArchiverSelection);
}

TEST_F(ArchivingChoicePagesTest, WithoutTheDefaultFolderEveryChoiceAsksForOne) {
    const CardSummary card = MountCard('K', Small(CardFamily::Dx));
    WriteProfile(card, card.scaleSerialNumber);
    Open("dX");
    const std::string folder = TempPath("archives");
    std::filesystem::create_directories(folder);
    const std::pair<int, int> routes[] = {{kCtlCompleteArchive, kPageCompleteArchiver},
                                          {kCtlContinueArchive, kPagePartialArchiver},
                                          {kCtlDateBasedArchive, kPageDateSelection}};
    ToChoice();
    for (const auto& [button, target] : routes) {
        SCOPED_TRACE(target);
        ChooseAndNext(button);
        ASSERT_EQ(Active(), kPageArchiverPathSelection);
        EXPECT_EQ(window_.breadcrumb, (std::vector<MessageId>{140, 114, 115, 182}));
        EXPECT_EQ(window_.highlight, 3);
        EXPECT_TRUE(Path().At(kCtlArchivePath).text.empty());
        EXPECT_TRUE(Path().At(kCtlArchivePath).enabled);
        EXPECT_EQ(Path().Focused(), kCtlArchivePath);
        TypePath(folder);
        Next();
        EXPECT_EQ(Active(), target);
        EXPECT_EQ(GetAppContext().archivePath, AsFolder(folder));
        if (target == kPageDateSelection) break;
        wizard_->ActivatePage(wizard_->FindPage(kPageArchiverPathSelection));
        Back();
        ASSERT_EQ(Active(), kPageArchiverSelection);
    }
    // The date page leads back to the folder page, and that one to the choice.
    Back();
    EXPECT_EQ(Active(), kPageArchiverPathSelection);
    Back();
    EXPECT_EQ(Active(), kPageArchiverSelection);
    Back();
    EXPECT_EQ(Active(), kPageSbcSelection);
}

TEST_F(ArchivingChoicePagesTest, TheDefaultFolderSkipsTheFolderPage) {
    MountCard('K', Small(CardFamily::Zt4));
    Open("Auto-detect", {"UseDefaultArchivePath=YES"});
    ToChoice();
    AppContext& ctx = GetAppContext();
    EXPECT_EQ(window_.breadcrumb, (std::vector<MessageId>{114, 140, 115}));
    EXPECT_NE(dynamic_cast<CCompleteArchiverZT4*>(ctx.currentArchiver.get()), nullptr);
    Next();
    EXPECT_EQ(Active(), kPageCompleteArchiver);
    wizard_->ActivatePage(wizard_->FindPage(kPageArchiverSelection));
    ChooseAndNext(kCtlDateBasedArchive);
    EXPECT_NE(dynamic_cast<CDateBasedArchiverZT4*>(ctx.currentArchiver.get()), nullptr);
    ASSERT_EQ(Active(), kPageDateSelection);
    Back();
    EXPECT_EQ(Active(), kPageArchiverSelection);
    // With auto-detect the welcome page came after the card page.
    Back();
    EXPECT_EQ(Active(), kPageWelcome);
}

TEST_F(ArchivingChoicePagesTest, AnArchiveTypeWithoutARunIsFatal) {
    MountCard('K', Small(CardFamily::Dx));
    Open("dX", {"UseDefaultArchivePath=YES"});
    ToChoice();
    GetAppContext().archiveType = 7;
    try {
        Next();
        ADD_FAILURE() << "went on to " << Active();
    } catch (const ExitRequested& exit) {
        EXPECT_EQ(exit.code, 1);
    }
    EXPECT_NE(LogText().find("Archivetype : 7"), std::string::npos);
    EXPECT_NE(LogText().find("Unexpected archive type found.Application Aborted"), std::string::npos);
}

TEST_F(ArchivingChoicePagesTest, FolderChecksAndTheLengthBoundaries) {
    MountCard('K', Small(CardFamily::Zt4));
    Open("ZT4");
    ToChoice();
    ChooseAndNext(kCtlDateBasedArchive);
    ASSERT_EQ(Active(), kPageArchiverPathSelection);
    Shown();
    const std::string configured = GetAppContext().archivePath;

    Next();
    EXPECT_EQ(OnlyStyle(), unsigned{kMbIconWarning});
    EXPECT_EQ(Shown(), Texts{"Please enter an archive path."});
    EXPECT_EQ(Path().Focused(), kCtlArchivePath);
    TypePath(TempPath("missing"));
    Next();
    EXPECT_EQ(OnlyStyle(), unsigned{kMbIconError});
    EXPECT_EQ(Shown(), Texts{"Enter a valid path."});
    EXPECT_NE(LogText().find("Archive path not found: " + TempPath("missing")), std::string::npos);

    // ZT4 without the card's backup: 143 characters at most.
    TypePath(FolderOfLength(144));
    Next();
    EXPECT_EQ(OnlyStyle(), unsigned{kMbIconError});
    EXPECT_EQ(Shown(), Texts{"Archive path too long. Please shorten the path."});
    EXPECT_NE(LogText().find("Archive path too long: "), std::string::npos);
    EXPECT_EQ(Active(), kPageArchiverPathSelection);
    EXPECT_EQ(GetAppContext().archivePath, configured);  // a refused folder is not kept

    const std::string fits = FolderOfLength(143);
    TypePath(fits);
    Next();
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(Active(), kPageDateSelection);
    EXPECT_EQ(GetAppContext().archivePath, AsFolder(fits));
    // The configuration keeps its own folder.
    EXPECT_EQ(ReadFile(ConfigPath()).find(fits), std::string::npos);
}

TEST_F(ArchivingChoicePagesTest, BrowseOpensTheFolderPicker) {
    MountCard('K', Small(CardFamily::Dx));
    Open("dX");
    ToChoice();
    Next();
    ASSERT_EQ(Active(), kPageArchiverPathSelection);
    const std::string folder = TempPath("picked");
    std::filesystem::create_directories(folder);

    // The user cancels the picker: the text stays.
    TypePath("typed");
    EXPECT_TRUE(wizard_->OnKey(WizardKey::kF3));
    ASSERT_EQ(Path().pickerCalls.size(), 1u);
    EXPECT_EQ(Path().pickerCalls[0].kind, u"folder");
    EXPECT_EQ(Path().pickerCalls[0].title, u"Select folder");
    EXPECT_EQ(Path().pickerCalls[0].initial, u"typed");
    EXPECT_EQ(Path().At(kCtlArchivePath).text, u"typed");

    // F3 while a wizard button has the focus, and the browse button: the chosen
    // folder replaces the text and the edit gets the focus.
    window_.FocusButton(WizardButton::kNext);
    Path().Focus(kCtlArchivePathBox);
    Path().picks.push_back(ToUtf16(folder));
    wizard_->OnKey(WizardKey::kF3);
    EXPECT_EQ(Path().At(kCtlArchivePath).text, ToUtf16(folder));
    EXPECT_EQ(Path().Focused(), kCtlArchivePath);
    EXPECT_EQ(Active(), kPageArchiverPathSelection);
    Next();
    EXPECT_EQ(Active(), kPageCompleteArchiver);
    EXPECT_EQ(GetAppContext().archivePath, AsFolder(folder));

    // A disabled edit (the default folder) opens no picker.
    wizard_->ActivatePage(wizard_->FindPage(kPageArchiverPathSelection));
    Path().At(kCtlArchivePath).enabled = false;
    wizard_->FindPage(kPageArchiverPathSelection)->OnBrowse();
    EXPECT_EQ(Path().pickerCalls.size(), 2u);
}

TEST_F(ArchivingChoicePagesTest, DefaultFolderSwitchedInTheSettingsFillsTheEdit) {
    MountCard('K', Small(CardFamily::Dx));
    Open("dX");
    ToChoice();
    AppContext& ctx = GetAppContext();
    const std::string folder = TempPath("default");
    std::filesystem::create_directories(folder);
    // Not on the folder page: the message goes nowhere.
    ctx.archivePath = AsFolder(folder);
    ctx.useDefaultArchivePath = true;
    wizard_->RefreshDefaultPath();
    ctx.useDefaultArchivePath = false;
    Next();
    ASSERT_EQ(Active(), kPageArchiverPathSelection);
    EXPECT_TRUE(Path().At(kCtlArchivePath).text.empty());

    TypePath("typed");
    ctx.useDefaultArchivePath = true;
    wizard_->RefreshDefaultPath();
    EXPECT_EQ(Path().At(kCtlArchivePath).text, ToUtf16(folder));
    EXPECT_FALSE(Path().At(kCtlArchivePath).enabled);
    EXPECT_EQ(window_.focusedButton, WizardButton::kNext);
    // Saved again with the default still on: the edit is left as it is.
    ctx.archivePath = AsFolder(TempPath("other"));
    wizard_->RefreshDefaultPath();
    EXPECT_EQ(Path().At(kCtlArchivePath).text, ToUtf16(folder));

    ctx.useDefaultArchivePath = false;
    wizard_->RefreshDefaultPath();
    EXPECT_TRUE(Path().At(kCtlArchivePath).enabled);
    EXPECT_TRUE(Path().At(kCtlArchivePath).text.empty());
    EXPECT_EQ(Path().Focused(), kCtlArchivePath);

    // The default folder shown in the edit is the one the run takes.
    ctx.archivePath = AsFolder(folder);
    ctx.useDefaultArchivePath = true;
    wizard_->RefreshDefaultPath();
    Next();
    EXPECT_EQ(Active(), kPageCompleteArchiver);
    EXPECT_EQ(ctx.archivePath, AsFolder(folder));
}

}  // namespace tv::test
