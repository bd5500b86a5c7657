// The page flow of the whole wizard through its real pages: for each configured
// scale type, every operation from the first page to the end of its run, with
// the breadcrumb and the Back answer of every page on the way, the
// another-operation question between operations, and the language switched in
// the settings on an open page.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "emulator/CardExtension.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "smc/SmcDiscovery.h"
#include "wizard/ArchiverRunPage.h"
#include "wizard/ArchiverSelectionPage.h"
#include "wizard/ArchiverPathSelectionPage.h"
#include "wizard/CoreWizardTest.h"
#include "wizard/DateSelectionPage.h"
#include "wizard/SBCSelectionPage.h"
#include "wizard/SettingsDlg.h"
#include "wizard/VerificationFileFolderSelectionPage.h"
#include "wizard/VerificationPage.h"
#include "wizard/WelcomePage.h"

namespace tv::test {

namespace {

using Ids = std::vector<MessageId>;
using FolderChoice = CVerificationFileFolderSelectionPage;

enum class Op { kComplete, kContinue, kDates, kVerifyWithCard, kVerifyStandalone, kValidateArchive, kValidateLog };

const char* Name(Op op) {
    switch (op) {
        case Op::kComplete: return "complete archive";
        case Op::kContinue: return "continue archive";
        case Op::kDates: return "date-based archive";
        case Op::kVerifyWithCard: return "dX verification with the card";
        case Op::kVerifyStandalone: return "dX verification without the card";
        case Op::kValidateArchive: return "ZT4 archive validation";
        case Op::kValidateLog: return "Archive.log validation";
    }
    return "?";
}

bool Archives(Op op) { return op == Op::kComplete || op == Op::kContinue || op == Op::kDates; }

// Back from a page: hidden (the first page of the list), or the run stays.
constexpr int kHidden = 0;
constexpr int kStays = -1;

// One page of an operation: its ID, where Back leads, its breadcrumb (the last
// caption highlighted).
struct Step {
    int page;
    int back;
    Ids crumbs;
};

// The pages of an archive run. Configured dX or ZT4: welcome, then card page;
// auto-detect: the card first.
std::vector<Step> ArchiveSteps(bool autoDetect, bool defaultPath, Op op) {
    const MessageId a = autoDetect ? 114 : 140;
    const MessageId b = autoDetect ? 140 : 114;
    std::vector<Step> steps;
    if (autoDetect) {
        steps = {{6, kHidden, {114}}, {133, 6, {114, 140}}, {134, 133, {a, b, 115}}};
    } else {
        steps = {{133, kHidden, {140}}, {6, 133, {140, 114}}, {134, 6, {a, b, 115}}};
    }
    if (!defaultPath) steps.push_back({159, 134, {a, b, 115, 182}});
    switch (op) {
        case Op::kComplete:
            steps.push_back({135, kStays, {a, b, 115, 123}});
            break;
        case Op::kContinue:
            steps.push_back({136, kStays, {a, b, 115, 123}});
            break;
        default:
            steps.push_back({139, defaultPath ? 134 : 159, {a, b, 115, 130}});
            steps.push_back({137, kStays, {a, b, 115, 130, 123}});
            break;
    }
    return steps;
}

// The pages of a verification or validation; T the configured scale type.
std::vector<Step> VerificationSteps(int scaleType, Op op) {
    const MessageId choice = op == Op::kValidateLog ? 264 : 146;
    const MessageId running = op == Op::kValidateArchive || op == Op::kValidateLog ? 261 : 142;
    if (scaleType == 0) {
        return {{6, kHidden, {114}},
                {133, 6, {114, 140}},
                {140, 133, {114, 140, choice}},
                {141, kStays, {114, 140, choice, running}}};
    }
    if (op == Op::kVerifyWithCard) {
        return {{133, kHidden, {140}},
                {6, 133, {140, 114}},
                {140, 6, {140, 114, 146}},
                {141, kStays, {140, 114, 146, 142}}};
    }
    return {{133, kHidden, {140}}, {140, 133, {140, choice}}, {141, kStays, {140, choice, running}}};
}

class FlowTableTest : public CoreWizardTest {
protected:
    struct Session {
        std::string scaleType;  // "dX", "ZT4", "Auto-detect"
        CardFamily family;
        bool defaultPath;
        std::vector<Op> operations;
    };

    // Opens the wizard on the configuration with the card in E, runs every
    // operation from the first page to its end, answers Yes to the
    // another-operation question between them and No after the last.
    void RunSession(const Session& s);

    // The user's part on the active page, then Next and the paint that follows.
    void Advance();
    void Paint() {
        if (wizard_->ActivePage() != nullptr) wizard_->ActivePage()->OnPaint();
    }
    void ChooseCard(char letter) {
        const std::vector<std::u16string> items = View(kPageSbcSelection).At(kCtlCardList).items;
        for (size_t i = 1; i < items.size(); ++i) {
            if (DriveOfEntry(ToNarrow(items[i])) == letter) return Select(kPageSbcSelection, kCtlCardList, int(i));
        }
        ADD_FAILURE() << "no card in " << letter;
    }
    void ExpectCrumbs(const Ids& crumbs) {
        EXPECT_EQ(window_.breadcrumb, crumbs);
        EXPECT_EQ(window_.highlight, static_cast<int>(crumbs.size()) - 1);
    }
    // Finish after a run; the another-operation question answered.
    void Finish(bool another) {
        ui_.shown.clear();
        ui_.answers = {another};
        wizard_->OnFinish();
        EXPECT_EQ(ui_.ShownTexts(), std::vector<std::string>{"Do you want to perform another operation?"});
        ui_.shown.clear();
    }
    // The files under a folder whose names end so.
    static std::set<std::string> FilesUnder(const std::string& folder, const std::string& ending) {
        std::set<std::string> paths;
        std::error_code ec;
        for (const auto& e : std::filesystem::recursive_directory_iterator(folder, ec)) {
            if (e.is_regular_file() && e.path().string().ends_with(ending)) paths.insert(e.path().string());
        }
        return paths;
    }

    void WalkOperation(Op op, const std::vector<Step>& steps);
    void ExpectRunResult(Op op);

    Op op_ = Op::kComplete;
    std::string archiveFolder_;    // where the operation's archives go
    std::string verifyPath_;       // what a verification submits
    std::set<std::string> before_;  // the archives there before the run
    std::string extension_;
};

void FlowTableTest::Advance() {
    const int page = Active();
    switch (page) {
        case kPageWelcome: {
            const std::vector<int> group = {kCtlNewArchive, kCtlExistingArchive, kCtlLogValidation};
            Choose(kPageWelcome, Archives(op_) ? kCtlNewArchive
                                 : op_ == Op::kValidateLog ? kCtlLogValidation
                                                           : kCtlExistingArchive,
                   group);
            const bool standalone = op_ == Op::kVerifyStandalone;
            if (View(kPageWelcome).At(kCtlWithoutSmc).visible &&
                View(kPageWelcome).At(kCtlWithoutSmc).checked != standalone) {
                Click(kPageWelcome, kCtlWithoutSmc, true);
            }
            break;
        }
        case kPageSbcSelection:
            ChooseCard('E');
            break;
        case kPageArchiverSelection: {
            const int button = op_ == Op::kComplete   ? kCtlCompleteArchive
                               : op_ == Op::kContinue ? kCtlContinueArchive
                                                      : kCtlDateBasedArchive;
            EXPECT_TRUE(View(kPageArchiverSelection).At(button).enabled) << Name(op_);
            Choose(kPageArchiverSelection, button, {kCtlCompleteArchive, kCtlContinueArchive, kCtlDateBasedArchive});
            break;
        }
        case kPageArchiverPathSelection:
            Type(kPageArchiverPathSelection, kCtlArchivePath, ToUtf16(archiveFolder_));
            break;
        case kPageDateSelection:
            // The newest day alone: a day no archive holds yet.
            View(page).At(kCtlFromDate).date = View(page).At(kCtlToDate).date;
            wizard_->FindPage(page)->OnEditChange(kCtlFromDate);
            break;
        case kPageVerificationFileFolderSelection:
            if (View(page).At(FolderChoice::kCtlChooseFolder).checked) {
                Click(page, FolderChoice::kCtlChooseFolder, true);
            }
            Type(page, FolderChoice::kCtlPath, ToUtf16(verifyPath_));
            break;
        default:
            break;
    }
    Next();
    Paint();
}

void FlowTableTest::WalkOperation(Op op, const std::vector<Step>& steps) {
    op_ = op;
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        SCOPED_TRACE("page " + std::to_string(step.page));
        ASSERT_EQ(Active(), step.page);
        ExpectCrumbs(step.crumbs);
        EXPECT_TRUE(ui_.shown.empty()) << ui_.ShownTexts().front();
        if (step.back == kHidden) {
            EXPECT_FALSE(window_.IsButtonVisible(WizardButton::kBack));
        } else if (step.back == kStays) {
            Back();
            EXPECT_EQ(Active(), step.page);
        } else {
            Back();
            Paint();
            EXPECT_EQ(Active(), step.back);
            // Forward again to the page, as the user would.
            for (int moves = 0; moves < 3 && Active() != step.page; ++moves) Advance();
            ASSERT_EQ(Active(), step.page);
            ExpectCrumbs(step.crumbs);
        }
        if (i + 1 < steps.size()) Advance();
    }
}

void FlowTableTest::ExpectRunResult(Op op) {
    // A finished run holds no card open: it may be taken out before the next.
    EXPECT_FALSE(GetAppContext().worm) << "the card stays open after the run";
    if (Archives(op)) {
        CArchiverRunPage& run = Page<CArchiverRunPage>(Active());
        EXPECT_TRUE(run.IsFinished());
        EXPECT_TRUE(run.Succeeded()) << ToNarrow(View(Active()).At(kCtlRunMessage).text);
        const std::set<std::string> after = FilesUnder(archiveFolder_, extension_);
        EXPECT_EQ(after.size(), before_.size() + 1) << "one new archive in " << archiveFolder_;
        for (const std::string& path : after) {
            if (before_.count(path) == 0) verifyPath_ = path;
        }
        return;
    }
    const std::string status = ToNarrow(View(kPageVerification).At(CVerificationPage::kCtlStatusText).text);
    if (op == Op::kValidateArchive) {
        EXPECT_EQ(status, "Archive validated successfully.");
    } else if (op == Op::kValidateLog) {
        EXPECT_EQ(status, "Log file validated successfully.");
    } else {
        EXPECT_EQ(status, "Archive(s) verified successfully.");
    }
}

void FlowTableTest::RunSession(const Session& s) {
    MountCard('E', Small(s.family));
    const std::string defaultFolder = TempPath("default");
    std::filesystem::create_directories(defaultFolder);
    Start(s.scaleType, {s.defaultPath ? "UseDefaultArchivePath=YES" : "UseDefaultArchivePath=NO",
                        "ArchivePath=" + defaultFolder});
    Paint();
    const int scaleType = GetAppContext().configuredScaleType;
    const int firstPage = scaleType == 0 ? kPageSbcSelection : kPageWelcome;
    extension_ = s.family == CardFamily::Dx ? ".csv" : ".xml";
    std::string archive;  // the first archive written, for the verifications
    for (size_t i = 0; i < s.operations.size(); ++i) {
        const Op op = s.operations[i];
        SCOPED_TRACE(Name(op));
        if (op == Op::kContinue || op == Op::kDates) {
            // New days on the card since the archive before.
            CardSummary grown;
            std::string error;
            ASSERT_TRUE(ExtendCard(CardFolder('E'), op == Op::kContinue ? 2 : 1, grown, error)) << error;
        }
        if (Archives(op)) {
            archiveFolder_ = s.defaultPath ? defaultFolder : TempPath(std::string("to-") + Name(op));
            std::filesystem::create_directories(archiveFolder_);
            before_ = FilesUnder(archiveFolder_, extension_);
            WalkOperation(op, ArchiveSteps(scaleType == 0, s.defaultPath, op));
        } else {
            verifyPath_ = op == Op::kValidateLog ? Join(CardFolder('E'), "Archive.log") : archive;
            WalkOperation(op, VerificationSteps(scaleType, op));
        }
        if (HasFailure()) return;
        ExpectRunResult(op);
        if (archive.empty()) archive = verifyPath_;
        // The run page's Back stays, and the settings are open again.
        EXPECT_TRUE(window_.settingsEnabled);
        const bool last = i + 1 == s.operations.size();
        Finish(!last);
        if (last) break;
        // Yes: the first page again, its buttons hidden until it paints.
        ASSERT_EQ(Active(), firstPage);
        EXPECT_FALSE(window_.IsButtonVisible(WizardButton::kBack));
        EXPECT_FALSE(window_.IsButtonVisible(WizardButton::kNext));
        EXPECT_FALSE(window_.IsButtonVisible(WizardButton::kFinish));
        Paint();
        EXPECT_TRUE(window_.IsButtonVisible(WizardButton::kNext));
        EXPECT_TRUE(window_.IsButtonVisible(WizardButton::kCancel));
        EXPECT_FALSE(window_.IsButtonVisible(WizardButton::kBack));
    }
    // No: the wizard ends, and with it the program.
    EXPECT_EQ(window_.endCode, CWizardDialog::kFinishCode);
    EXPECT_FALSE(HasAppContext());
    EXPECT_NE(LogText().find("Application closed"), std::string::npos);
}

const std::vector<Op> kDxOperations = {Op::kComplete, Op::kContinue, Op::kDates, Op::kVerifyWithCard,
                                       Op::kVerifyStandalone};
const std::vector<Op> kZt4Operations = {Op::kComplete, Op::kContinue, Op::kDates, Op::kValidateArchive,
                                        Op::kValidateLog};

}  // namespace

TEST_F(FlowTableTest, DxConfiguredWithTheFolderPage) { RunSession({"dX", CardFamily::Dx, false, kDxOperations}); }

TEST_F(FlowTableTest, DxConfiguredWithTheDefaultFolder) {
    RunSession({"dX", CardFamily::Dx, true, kDxOperations});
}

TEST_F(FlowTableTest, Zt4ConfiguredWithTheFolderPage) {
    RunSession({"ZT4", CardFamily::Zt4, false, kZt4Operations});
}

TEST_F(FlowTableTest, Zt4ConfiguredWithTheDefaultFolder) {
    RunSession({"ZT4", CardFamily::Zt4, true, kZt4Operations});
}

// Auto-detect: the card page first; a dX card is verified against itself.
TEST_F(FlowTableTest, AutoDetectWithADxCard) {
    RunSession({"Auto-detect", CardFamily::Dx, false, kDxOperations});
}

TEST_F(FlowTableTest, AutoDetectWithAZt4Card) {
    RunSession({"Auto-detect", CardFamily::Zt4, true, kZt4Operations});
}

// A run that finds its archive already there and keeps it: back to the folder
// page when the user chose the folder, the run's end otherwise.
TEST_F(FlowTableTest, AnArchiveAlreadyThereLeadsBackToTheFolderPageOnlyWhenOneWasChosen) {
    MountCard('E', Small(CardFamily::Dx));
    const std::string folder = TempPath("archives");
    std::filesystem::create_directories(folder);
    Start("dX", {"ArchivePath=" + folder});
    Paint();
    archiveFolder_ = folder;
    extension_ = ".csv";
    WalkOperation(Op::kComplete, ArchiveSteps(false, false, Op::kComplete));
    ASSERT_EQ(FilesUnder(folder, ".csv").size(), 1u);
    Finish(true);
    Paint();

    ui_.answers = {false};  // keep the archive there
    for (int i = 0; i < 4 && Active() != kPageArchiverPathSelection; ++i) Advance();
    ASSERT_EQ(Active(), kPageArchiverPathSelection);
    Advance();
    EXPECT_EQ(ui_.shown.size(), 1u);
    EXPECT_EQ(Active(), kPageArchiverPathSelection);
    ExpectCrumbs({140, 114, 115, 182});
    ui_.shown.clear();
    archiveFolder_ = TempPath("other");
    std::filesystem::create_directories(archiveFolder_);
    Advance();
    ASSERT_EQ(Active(), kPageCompleteArchiver);
    EXPECT_TRUE(Page<CArchiverRunPage>(kPageCompleteArchiver).Succeeded());
    EXPECT_EQ(FilesUnder(archiveFolder_, ".csv").size(), 1u);
    Finish(true);
    Paint();

    // The default folder: the run ends there, and Back stays.
    GetAppContext().useDefaultArchivePath = true;
    GetAppContext().archivePath = Sys().WithTrailingSeparator(folder);
    ui_.answers = {false};
    for (int i = 0; i < 3 && Active() != kPageCompleteArchiver; ++i) Advance();
    ASSERT_EQ(Active(), kPageCompleteArchiver);
    EXPECT_FALSE(Page<CArchiverRunPage>(kPageCompleteArchiver).Succeeded());
    EXPECT_EQ(ToNarrow(View(kPageCompleteArchiver).At(kCtlRunMessage).text), "File already exists.");
    Back();
    EXPECT_EQ(Active(), kPageCompleteArchiver);
}

// The language switched in the settings on an open page: the page's texts, the
// breadcrumb and the wizard's buttons change at once, before any paint.
TEST_F(FlowTableTest, LanguageSwitchedInTheSettingsChangesThePageAndTheButtonsAtOnce) {
    MountCard('E', Small(CardFamily::Dx));
    const std::string folder = TempPath("default");
    std::filesystem::create_directories(folder);
    Start("dX", {"UseDefaultArchivePath=YES", "ArchivePath=" + folder});
    Paint();
    const auto switchTo = [this](int language) {
        window_.duringSettings = [language](CSettingsDlg& dialog) {
            FakePageView view;
            dialog.OnInitDialog(view);
            view.At(kCtlSetLanguage).selection = language;
            dialog.OnSelectionChange(kCtlSetLanguage);
            EXPECT_TRUE(dialog.OnOk());
        };
        window_.breadcrumb.clear();
        window_.highlight = -1;
        wizard_->OnSettings();
    };
    const auto expectButtons = [this](const std::u16string& back, const std::u16string& next,
                                      const std::u16string& cancel, const std::u16string& finish) {
        EXPECT_EQ(window_.Button(WizardButton::kBack).text, back);
        EXPECT_EQ(window_.Button(WizardButton::kNext).text, next);
        EXPECT_EQ(window_.Button(WizardButton::kCancel).text, cancel);
        EXPECT_EQ(window_.Button(WizardButton::kFinish).text, finish);
    };
    op_ = Op::kDates;
    Advance();
    Advance();
    ASSERT_EQ(Active(), kPageArchiverSelection);
    FakePageView& choice = View(kPageArchiverSelection);
    const std::u16string english = choice.At(kCtlCompleteArchive).text;
    expectButtons(u"&Back", u"&Next", u"&Cancel", u"&Finish");

    switchTo(1);
    EXPECT_EQ(GetAppContext().language, "French");
    expectButtons(u"&Retour", u"&Suivant", u"&Annuler", u"&Terminer");
    EXPECT_NE(choice.At(kCtlCompleteArchive).text, english);
    EXPECT_EQ(choice.At(kCtlCompleteArchive).text, GetMessageText(119));
    EXPECT_EQ(choice.At(kCtlDateBasedArchive).text, GetMessageText(122));
    ExpectCrumbs({140, 114, 115});

    // The date-based run in French: its five captions shortened at the front.
    Advance();
    ASSERT_EQ(Active(), kPageDateSelection);
    Advance();
    ASSERT_EQ(Active(), kPageDateBasedArchiver);
    ExpectCrumbs({284, 239, 115, 130, 123});
    EXPECT_TRUE(Page<CArchiverRunPage>(kPageDateBasedArchiver).Succeeded());
    FakePageView& run = View(kPageDateBasedArchiver);
    const std::u16string frenchStatus = run.StatusOf(kCtlRunStatus).text;
    EXPECT_EQ(run.At(kCtlRunResultList).headers.front(), GetMessageText(190));

    // Back to English on the finished run page: its status, its list and the
    // breadcrumb follow.
    switchTo(0);
    EXPECT_EQ(GetAppContext().language, "English");
    expectButtons(u"&Back", u"&Next", u"&Abort", u"&Finish");
    ExpectCrumbs({140, 114, 115, 130, 123});
    EXPECT_EQ(run.StatusOf(kCtlRunStatus).text, u"Archive(s) created successfully.");
    EXPECT_NE(frenchStatus, run.StatusOf(kCtlRunStatus).text);
    EXPECT_EQ(run.At(kCtlRunResultList).headers.front(), u"S.No");
}

// In French the date-based run's five captions are shortened at the front: the
// first two when the welcome page comes first, the card's alone otherwise.
TEST_F(FlowTableTest, FrenchDateRunShortensTheFrontCaptions) {
    for (const char* scaleType : {"ZT4", "Auto-detect"}) {
        SCOPED_TRACE(scaleType);
        TearDown();
        SetUp();
        MountCard('E', Small(CardFamily::Zt4));
        const std::string folder = TempPath("default");
        std::filesystem::create_directories(folder);
        Start(scaleType, {"Language=French", "UseDefaultArchivePath=YES", "ArchivePath=" + folder});
        Paint();
        op_ = Op::kDates;
        for (int i = 0; i < 5 && Active() != kPageDateBasedArchiver; ++i) Advance();
        ASSERT_EQ(Active(), kPageDateBasedArchiver);
        ExpectCrumbs(std::string(scaleType) == "ZT4" ? Ids{284, 239, 115, 130, 123} : Ids{239, 140, 115, 130, 123});
    }
}

}  // namespace tv::test
