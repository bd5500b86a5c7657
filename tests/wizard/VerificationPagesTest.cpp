// The verification pages of the wizard's core: the path checks of page 140,
// the runs of page 141 (dX files and folders, ZT4 archives, logs and folders),
// the another-operation question, the aborts, the continuity table and the
// report. Page 140 is reached as the user goes there: the choice on the
// welcome page, and for a dX run with the card the card page's first card.
#include <gtest/gtest.h>

#include <functional>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "messages/Messages.h"
#include "dx/CardCsv.h"
#include "platform/FaultyPlatform.h"
#include "platform/Text.h"
#include "support/DxCardArchives.h"
#include "support/Zt4Samples.h"
#include "wizard/CoreWizardTest.h"
#include "wizard/ReportSaving.h"
#include "wizard/SBCSelectionPage.h"
#include "wizard/VerificationFileFolderSelectionPage.h"
#include "wizard/VerificationPage.h"
#include "wizard/WelcomePage.h"
#include "zt4/ArchiveSignatureWriter.h"
#include "zt4/LogSignatureWriter.h"
#include "zt4/VerifierChoice.h"

namespace tv::test {

namespace {

using Choice = CVerificationFileFolderSelectionPage;
using RunPg = CVerificationPage;

// The recording user interface with a hook run once while the engine pumps
// events, where a user would click during a run.
class PumpingUi : public RecordingUi {
public:
    void Pump() override {
        RecordingUi::Pump();
        if (duringRun) std::exchange(duringRun, nullptr)();
    }
    std::function<void()> duringRun;
};

enum class Kind { kDx, kZt4Archive, kZt4Log };

class VerificationPagesTest : public CoreWizardTest {
protected:
    void StartOn(const std::string& scaleType, const std::vector<std::string>& overrides = {}) {
        InstallEnvironment(*platform_, ui_, DataFolder());
        Start(scaleType, overrides);
    }
    void TearDown() override {
        SetPdfReportWriter(nullptr);
        CoreWizardTest::TearDown();
    }

    // The welcome page's choice of an existing archive (dX: without the card
    // unless told, else with the first card of the card page) or of the log,
    // and Next on to page 140, as the user goes there.
    void ToPathPage(Kind kind, bool standalone = true) {
        for (int i = 0; i < 2 && Active() != kPageWelcome; ++i) Back();
        ASSERT_EQ(Active(), kPageWelcome);
        wizard_->ActivePage()->OnPaint();
        Choose(kPageWelcome, kind == Kind::kZt4Log ? kCtlLogValidation : kCtlExistingArchive,
               {kCtlNewArchive, kCtlExistingArchive, kCtlLogValidation});
        if (kind == Kind::kDx && View(kPageWelcome).At(kCtlWithoutSmc).checked != standalone) {
            Click(kPageWelcome, kCtlWithoutSmc, true);
        }
        Next();
        if (Active() == kPageSbcSelection) {
            wizard_->ActivePage()->OnPaint();
            Select(kPageSbcSelection, kCtlCardList, 1);
            Next();
        }
        ASSERT_EQ(Active(), kPageVerificationFileFolderSelection);
    }
    FakePageView& ChoiceView() { return View(kPageVerificationFileFolderSelection); }
    FakePageView& RunView() { return View(kPageVerification); }
    RunPg& RunPage() { return Page<RunPg>(kPageVerification); }
    void SetFolder(bool folder) {
        if (ChoiceView().At(Choice::kCtlChooseFolder).checked != folder) {
            Click(kPageVerificationFileFolderSelection, Choice::kCtlChooseFolder, true);
        }
    }
    void Submit(const std::string& path) {
        Type(kPageVerificationFileFolderSelection, Choice::kCtlPath, ToUtf16(path));
        Next();
    }
    // Texts of the message boxes shown since the last call.
    std::vector<std::string> TakeShown() {
        std::vector<std::string> texts = ui_.ShownTexts();
        ui_.shown.clear();
        return texts;
    }
    std::string Status() { return ToNarrow(RunView().At(RunPg::kCtlStatusText).text); }
    std::vector<std::string> Row(int row, int control = RunPg::kCtlResults) {
        std::vector<std::string> cells;
        for (const std::u16string& cell : RunView().ResultsOf(control).Rows().at(static_cast<size_t>(row))) {
            cells.push_back(ToNarrow(cell));
        }
        return cells;
    }
    std::string Caption(int index) {
        if (index < 0 || index >= static_cast<int>(window_.breadcrumb.size())) return "(none)";
        return ToNarrow(GetMessageText(window_.breadcrumb[static_cast<size_t>(index)]));
    }
    int Rows(int control = RunPg::kCtlResults) { return RunView().ResultsOf(control).ItemCount(); }
    // Finish pressed after a run, the another-operation question answered.
    void Finish(bool another) {
        ui_.answers = {another};
        wizard_->OnFinish();
    }
    // Runs f; the exit code when the program ended in it, -1 otherwise.
    static int ExitCodeOf(const std::function<void()>& f) {
        try {
            f();
        } catch (const ExitRequested& e) {
            return e.code;
        }
        return -1;
    }

    PumpingUi ui_;
};

TEST_F(VerificationPagesTest, PathChecksRefuseWithTheirMessage) {
    StartOn("dX", {"BackupSMCOnArchive=YES"});
    ToPathPage(Kind::kDx);
    EXPECT_TRUE(ChoiceView().At(Choice::kCtlChooseFolder).visible);
    EXPECT_TRUE(ChoiceView().At(Choice::kCtlAllFindings).visible);
    EXPECT_FALSE(ChoiceView().At(Choice::kCtlLogPath).visible);
    EXPECT_EQ(ChoiceView().At(Choice::kCtlLabel).text, u"Archive:");
    const std::string folder = TempPath("archives");
    ASSERT_TRUE(Sys().CreateDirectory(folder));
    WriteFile(Join(folder, "notes.txt"), "x");
    WriteFile(Join(folder, "a.csv"), "x");
    // 180 characters: too long with the card backup (180 + 85), not without it.
    std::string deep = TempPath("d");
    while (deep.size() < 172) deep += "d";
    ASSERT_TRUE(Sys().CreateDirectory(deep));
    const std::string longPath = Join(deep, "abc.csv");
    WriteFile(longPath, "x");
    ASSERT_EQ(longPath.size(), size_t{180});

    const struct {
        std::string path;
        bool folder;
        const char* message;
    } cases[] = {
        {"", false, "Enter an archive file/folder path and click \"Next\"."},
        {Join(folder, "missing.csv"), false, "Enter a valid path (Path too long?)."},
        {folder, false, "Enter a valid path (Path too long?)."},
        {Join(folder, "notes.txt"), true, "Enter a valid path (Path too long?)."},
        {Join(folder, "notes.txt"), false, "Not an archive(CSV) file."},
        {longPath, false, "Archive path too long. Please shorten the path."},
        {DataFolder(), true, "No archive file(s) found."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        SetFolder(c.folder);
        EXPECT_EQ(GetAppContext().folderInput, c.folder ? 1 : 0);
        Submit(c.path);
        EXPECT_EQ(Active(), kPageVerificationFileFolderSelection);
        EXPECT_EQ(TakeShown(), std::vector<std::string>{c.message});
    }
    // A folder with a CSV file passes.
    SetFolder(true);
    Type(kPageVerificationFileFolderSelection, Choice::kCtlPath, ToUtf16(folder));
    EXPECT_EQ(Page<Choice>(kPageVerificationFileFolderSelection).OnWizardNext(), kPageVerification);
    EXPECT_EQ(GetAppContext().verificationPath, AsFolder(folder));
    EXPECT_EQ(GetAppContext().folderInput, 1);

    GetAppContext().backupSmcOnArchive = false;
    SetFolder(false);
    Submit(longPath);
    EXPECT_EQ(Active(), kPageVerification);
    EXPECT_EQ(GetAppContext().verificationPath, longPath);
}

TEST_F(VerificationPagesTest, BackGoesToTheCardListOnlyForAConfiguredDxRunWithTheCard) {
    MountCard('K', Small(CardFamily::Dx));
    StartOn("dX");
    ToPathPage(Kind::kDx, false);
    auto& page = Page<Choice>(kPageVerificationFileFolderSelection);
    EXPECT_EQ(page.OnWizardBack(), kPageSbcSelection);
    GetAppContext().verificationMode = 2;
    EXPECT_EQ(page.OnWizardBack(), kPageWelcome);
    GetAppContext().configuredScaleType = 0;
    GetAppContext().verificationMode = 1;
    EXPECT_EQ(page.OnWizardBack(), kPageWelcome);
}

TEST_F(VerificationPagesTest, BrowseOffersTheKindsFileOrAFolder) {
    StartOn("ZT4");
    ToPathPage(Kind::kZt4Log);
    EXPECT_FALSE(ChoiceView().At(Choice::kCtlChooseFolder).visible);
    EXPECT_FALSE(ChoiceView().At(Choice::kCtlAllFindings).visible);
    EXPECT_EQ(ChoiceView().At(Choice::kCtlLabel).text, u"Log:");
    ChoiceView().picks = {u"/x/Archive.log"};
    Click(kPageVerificationFileFolderSelection, Choice::kCtlBrowse);
    ASSERT_EQ(ChoiceView().pickerCalls.size(), size_t{1});
    EXPECT_EQ(ChoiceView().pickerCalls[0].kind, u"file");
    EXPECT_EQ(ChoiceView().pickerCalls[0].filters.at(0).pattern, u"*.log");
    EXPECT_EQ(ChoiceView().At(Choice::kCtlPath).text, u"/x/Archive.log");
    // Cancelled: the path stays.
    wizard_->FindPage(kPageVerificationFileFolderSelection)->OnBrowse();
    EXPECT_EQ(ChoiceView().At(Choice::kCtlPath).text, u"/x/Archive.log");

    ToPathPage(Kind::kZt4Archive);
    EXPECT_TRUE(ChoiceView().At(Choice::kCtlPath).text.empty());
    SetFolder(true);
    Click(kPageVerificationFileFolderSelection, Choice::kCmdBrowse);
    EXPECT_EQ(ChoiceView().pickerCalls.back().kind, u"folder");
}

TEST_F(VerificationPagesTest, DxFileAndFolderRuns) {
    MountCard('K', Small(CardFamily::Dx));
    StartOn("dX");
    const DxArchives archives = ArchivesOf('K');
    const std::string good = TempPath("good.csv");
    WriteFile(good, archives.good);
    ToPathPage(Kind::kDx);
    Submit(good);
    ASSERT_EQ(Active(), kPageVerification);
    EXPECT_TRUE(RunPage().IsDone());
    EXPECT_TRUE(RunPage().Succeeded());
    EXPECT_EQ(Status(), "Archive(s) verified successfully.");
    EXPECT_EQ(RunView().At(RunPg::kCtlResults).headers.size(), size_t{6});
    ASSERT_EQ(Rows(), 1);
    const std::vector<std::string> row = Row(0);
    EXPECT_EQ(std::vector<std::string>(row.begin(), row.begin() + 3), (std::vector<std::string>{"1", "good.csv", "Success"}));
    EXPECT_TRUE(window_.Button(WizardButton::kFinish).visible);
    EXPECT_FALSE(window_.Button(WizardButton::kNext).visible);
    EXPECT_FALSE(window_.Button(WizardButton::kBack).visible);
    EXPECT_EQ(window_.defaultButton, WizardButton::kFinish);
    EXPECT_EQ(window_.Button(WizardButton::kCancel).text, u"&Abort");
    EXPECT_TRUE(window_.settingsEnabled);
    EXPECT_FALSE(RunView().At(RunPg::kCtlProgress).visible);
    EXPECT_EQ(RunView().ProgressOf(RunPg::kCtlProgress).Last(), 100);
    EXPECT_TRUE(RunView().At(RunPg::kCtlResults).visible);
    EXPECT_TRUE(RunView().At(RunPg::kCtlStatusImage).visible);
    EXPECT_EQ(RunView().At(RunPg::kCtlStatusImage).image, RunPg::kBmpSuccess);
    EXPECT_FALSE(RunView().At(RunPg::kCtlContinuityTable).visible);  // a single file
    ASSERT_EQ(window_.breadcrumb.size(), size_t{3});
    EXPECT_EQ(Caption(window_.highlight), "Verifying");

    // A folder with a tampered archive.
    Finish(true);
    EXPECT_EQ(Active(), kPageWelcome);
    const std::string folder = TempPath("archives");
    ASSERT_TRUE(Sys().CreateDirectory(folder));
    WriteFile(Join(folder, "a_good.csv"), archives.good);
    WriteFile(Join(folder, "b_bad.csv"), archives.tampered);
    ToPathPage(Kind::kDx);
    SetFolder(true);
    Submit(folder);
    EXPECT_EQ(Status(), "Verification of one or more archive(s) failed.");
    EXPECT_EQ(RunView().At(RunPg::kCtlStatusImage).image, RunPg::kBmpFailure);
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Row(0)[1] + " " + Row(0)[2], "a_good.csv Success");
    EXPECT_EQ(Row(1)[1] + " " + Row(1)[2], "b_bad.csv Failure");
    // The continuity of the folder's archives under the list.
    ASSERT_NE(RunPage().Continuity(), nullptr);
    EXPECT_TRUE(RunView().At(RunPg::kCtlContinuityTable).visible);
    EXPECT_EQ(RunView().At(RunPg::kCtlContinuityLabel).text, u"Continuity of the archives");
    EXPECT_EQ(RunView().At(RunPg::kCtlContinuityTable).headers.at(0), u"Card");
    EXPECT_EQ(Rows(RunPg::kCtlContinuityTable), static_cast<int>(RunPage().Continuity()->cards.size()));

    // One tampered file alone: the file's failure text, no continuity left over.
    Finish(true);
    ToPathPage(Kind::kDx);
    EXPECT_FALSE(ChoiceView().At(Choice::kCtlChooseFolder).checked);
    Submit(Join(folder, "b_bad.csv"));
    EXPECT_EQ(Status(), "Archive verification failed.");
    EXPECT_EQ(Row(0)[2], "Failure");
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(RunPage().Continuity(), nullptr);
    EXPECT_FALSE(RunView().At(RunPg::kCtlContinuityTable).visible);
    EXPECT_EQ(Rows(RunPg::kCtlContinuityTable), 0);
}

// With the card: the card list has identified the card in the drive first.
TEST_F(VerificationPagesTest, DxArchiveVerifiesAgainstTheCard) {
    const CardSummary card = MountCard('K', Small(CardFamily::Dx));
    StartOn("dX");
    const DxArchives archives = ArchivesOf('K');
    const std::string good = TempPath("good.csv");
    WriteFile(good, archives.good);
    const std::string bad = TempPath("bad.csv");
    WriteFile(bad, archives.tampered);
    ToPathPage(Kind::kDx, false);
    EXPECT_EQ(Page<Choice>(kPageVerificationFileFolderSelection).OnWizardBack(), kPageSbcSelection);
    Submit(good);
    ASSERT_EQ(Active(), kPageVerification);
    EXPECT_EQ(Status(), "Archive(s) verified successfully.");
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Row(0)[2], "Success");
    EXPECT_EQ(Row(0)[4], card.scaleSerialNumber);
    EXPECT_EQ(Row(0)[5], card.smcUid);

    Finish(true);
    ToPathPage(Kind::kDx, false);
    Submit(bad);
    EXPECT_EQ(Status(), "Archive verification failed.");
    EXPECT_EQ(Row(0)[2], "Failure");
}

TEST_F(VerificationPagesTest, AllFindingsBoxReachesTheRunOptionsForThatRunOnly) {
    MountCard('K', Small(CardFamily::Dx));
    StartOn("dX");
    const std::string folder = TempPath("archives");
    ASSERT_TRUE(Sys().CreateDirectory(folder));
    const DxArchives archives = ArchivesOf('K');
    WriteFile(Join(folder, "a.csv"), archives.good);
    WriteFile(Join(folder, "b.csv"), archives.tampered);
    ToPathPage(Kind::kDx);
    EXPECT_EQ(ChoiceView().At(Choice::kCtlAllFindings).text, u"&List every failing block");
    EXPECT_FALSE(ChoiceView().At(Choice::kCtlAllFindings).checked);
    SetFolder(true);
    Click(kPageVerificationFileFolderSelection, Choice::kCtlAllFindings, true);
    // The verifier finds the page's trail in the context while it runs, and only then.
    const AuditTrail* during = nullptr;
    ui_.duringRun = [&] { during = GetAppContext().auditTrail; };
    Submit(folder);
    EXPECT_EQ(during, &RunPage().Trail());
    EXPECT_EQ(GetAppContext().auditTrail, nullptr);
    EXPECT_TRUE(RunPage().Trail().options.allFindings);
    EXPECT_EQ(Status(), "Verification of one or more archive(s) failed.");

    Finish(true);
    ToPathPage(Kind::kDx);
    EXPECT_FALSE(ChoiceView().At(Choice::kCtlAllFindings).checked);
    Submit(Join(folder, "a.csv"));
    EXPECT_FALSE(RunPage().Trail().options.allFindings);
}

TEST_F(VerificationPagesTest, Zt4ArchivesAndLogsValidate) {
    StartOn("ZT4");
    const std::string archive = TempPath("20150102080000_20150102200000.XML");
    WriteFile(archive, SampleZt4Archive());
    ASSERT_TRUE(SignArchiveFile(archive));
    const std::string log = TempPath("Archive.log");
    WriteFile(log, SampleZt4Log());
    ASSERT_TRUE(SignLogFile(log));

    ToPathPage(Kind::kZt4Archive);
    EXPECT_TRUE(ChoiceView().At(Choice::kCtlChooseFolder).visible);
    EXPECT_FALSE(ChoiceView().At(Choice::kCtlAllFindings).visible);
    Submit(log);
    EXPECT_EQ(TakeShown(), std::vector<std::string>{"Not an archive(XML) file."});
    Submit(archive);
    EXPECT_EQ(Status(), "Archive validated successfully.");
    EXPECT_EQ(RunView().At(RunPg::kCtlResults).headers.size(), size_t{4});
    EXPECT_EQ(Caption(window_.highlight), "Validating");
    EXPECT_EQ(Row(0)[2], "Success");
    EXPECT_FALSE(RunPage().MakeReportInput().rows.empty());

    Finish(true);
    TakeShown();
    ToPathPage(Kind::kZt4Log);
    Submit(archive);
    EXPECT_EQ(TakeShown(), std::vector<std::string>{"Not log file."});
    Submit(log);
    EXPECT_EQ(Status(), "Log file validated successfully.");

    std::string text = ReadFile(log);
    text[text.find("K7Q29")] = 'X';
    WriteFile(log, text);
    Finish(true);
    ToPathPage(Kind::kZt4Log);
    Submit(log);
    EXPECT_EQ(Status(), "Log file validation failed.");
    EXPECT_EQ(Row(0)[2], "Failure");
}

// A folder of ZT4 archives: every archive validated, the card's Archive.log
// offered, validated after them and compared with the folder.
TEST_F(VerificationPagesTest, Zt4FolderIsComparedWithTheCardsLog) {
    MountCard('K', Small(CardFamily::Zt4));
    StartOn("ZT4");
    const std::string cardLog = Join(CardFolder('K'), "Archive.log");
    WriteFile(cardLog, SampleZt4Log());
    ASSERT_TRUE(SignLogFile(cardLog));
    const std::string folder = TempPath("archives");
    const std::string runFolder = Join(folder, "run");
    ASSERT_TRUE(Sys().CreateDirectory(folder));
    ASSERT_TRUE(Sys().CreateDirectory(runFolder));
    const std::string archive = Join(runFolder, "20150102080000_20150102200000.xml");
    WriteFile(archive, SampleZt4Archive());
    ASSERT_TRUE(SignArchiveFile(archive));

    ToPathPage(Kind::kZt4Archive);
    EXPECT_FALSE(ChoiceView().At(Choice::kCtlLogPath).visible);
    SetFolder(true);
    EXPECT_TRUE(ChoiceView().At(Choice::kCtlLogPath).visible);
    EXPECT_TRUE(ChoiceView().At(Choice::kCtlLogBrowse).visible);
    EXPECT_EQ(ToNarrow(ChoiceView().At(Choice::kCtlLogPath).text), cardLog);
    // Refused: a folder without archives, a log that is not one, a missing log.
    Submit(CardFolder('K'));
    EXPECT_EQ(TakeShown(), std::vector<std::string>{"No archive file(s) found."});
    Type(kPageVerificationFileFolderSelection, Choice::kCtlLogPath, ToUtf16(archive));
    Submit(folder);
    EXPECT_EQ(TakeShown(), std::vector<std::string>{"Not log file."});
    EXPECT_EQ(ChoiceView().Focused(), Choice::kCtlLogPath);
    Type(kPageVerificationFileFolderSelection, Choice::kCtlLogPath, ToUtf16(TempPath("none.log")));
    Submit(folder);
    EXPECT_EQ(TakeShown(), std::vector<std::string>{"Enter a valid path (Path too long?)."});
    EXPECT_EQ(Active(), kPageVerificationFileFolderSelection);

    // The log's own browse button.
    ChoiceView().picks = {ToUtf16(cardLog)};
    Click(kPageVerificationFileFolderSelection, Choice::kCtlLogBrowse);
    EXPECT_EQ(ChoiceView().pickerCalls.back().filters.at(0).pattern, u"*.log");
    Submit(folder);
    ASSERT_EQ(Active(), kPageVerification);
    EXPECT_EQ(Status(), "Archive validated successfully.");
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Row(0)[1], "20150102080000_20150102200000.xml");
    EXPECT_EQ(Row(1)[1], "Archive.log");
    EXPECT_EQ(Row(1)[2], "Success");
    ASSERT_NE(RunPage().Continuity(), nullptr);
    ASSERT_EQ(RunPage().Continuity()->cards.size(), size_t{1});
    EXPECT_TRUE(RunPage().Continuity()->cards[0].logGiven);
    EXPECT_TRUE(RunPage().Continuity()->Complete());
    // ZT4 only: no blocks column; the log column says "none" and is not failed.
    const FakeControl& table = RunView().At(RunPg::kCtlContinuityTable);
    EXPECT_EQ(table.headers.size(), size_t{5});
    EXPECT_EQ(table.headers.back(), u"Archive.log mismatches");
    EXPECT_EQ(Row(0, RunPg::kCtlContinuityTable).back(), "none");
    EXPECT_FALSE(table.failedCells.at({0, 4}));

    // The log lists a file the folder lacks: a failed cell.
    Sys().DeleteFile(archive);
    const std::string other = Join(runFolder, "20150103080000_20150103200000.xml");
    WriteFile(other, SampleZt4Archive());
    ASSERT_TRUE(SignArchiveFile(other));
    Finish(true);
    ToPathPage(Kind::kZt4Archive);
    SetFolder(true);
    Submit(folder);
    ASSERT_NE(RunPage().Continuity(), nullptr);
    EXPECT_FALSE(RunPage().Continuity()->Complete());
    EXPECT_TRUE(RunView().At(RunPg::kCtlContinuityTable).failedCells.at({0, 4}));
    EXPECT_EQ(Row(0, RunPg::kCtlContinuityTable).back(), "1 missing, 1 not in the log");
}

TEST_F(VerificationPagesTest, AnotherOperationYesStartsOverAndNoEndsTheProgram) {
    MountCard('K', Small(CardFamily::Dx));
    StartOn("dX");
    const std::string good = TempPath("good.csv");
    WriteFile(good, ArchivesOf('K').good);
    ToPathPage(Kind::kDx);
    Submit(good);
    ASSERT_EQ(Active(), kPageVerification);
    Finish(true);
    EXPECT_EQ(TakeShown(), std::vector<std::string>{"Do you want to perform another operation?"});
    EXPECT_EQ(Active(), kPageWelcome);
    EXPECT_FALSE(RunView().At(RunPg::kCtlStatusImage).visible);
    EXPECT_FALSE(window_.Button(WizardButton::kPage).visible);  // the report leaves with the result

    // Auto-detect starts over on the card list.
    GetAppContext().configuredScaleType = 0;
    ToPathPage(Kind::kDx);
    Submit(good);
    ui_.answers = {true};
    EXPECT_EQ(RunPage().OnWizardNext(), kPageSbcSelection);
    GetAppContext().configuredScaleType = 1;

    ui_.answers = {false};
    wizard_->OnNext();  // Next reaches the finished page as Finish's handler does
    EXPECT_EQ(window_.endCode, CWizardDialog::kFinishCode);
    EXPECT_FALSE(HasAppContext());
    EXPECT_NE(LogText().find("Application closed"), std::string::npos);
}

TEST_F(VerificationPagesTest, ClosingAfterTheRunAsksAndAborts) {
    StartOn("ZT4");
    const std::string archive = TempPath("a.xml");
    WriteFile(archive, SampleZt4Archive());
    ToPathPage(Kind::kZt4Archive);
    Submit(archive);
    EXPECT_EQ(Status(), "Archive validation failed.");  // not signed
    EXPECT_EQ(RunView().At(RunPg::kCtlStatusImage).image, RunPg::kBmpFailure);
    TakeShown();
    ui_.answers = {false};
    EXPECT_EQ(ExitCodeOf([&] { wizard_->OnCancel(); }), -1);
    EXPECT_EQ(TakeShown(), std::vector<std::string>{"Are you sure you want to close?"});
    EXPECT_EQ(ui_.shown.size(), size_t{0});
    EXPECT_EQ(Active(), kPageVerification);
    ui_.answers = {true};
    EXPECT_EQ(ExitCodeOf([&] { wizard_->OnCancel(); }), 0);
    EXPECT_NE(LogText().find("Application aborted"), std::string::npos);
    EXPECT_FALSE(HasAppContext());
}

TEST_F(VerificationPagesTest, AbortDuringARunEndsTheProgram) {
    MountCard('K', Small(CardFamily::Dx));
    StartOn("dX");
    const std::string folder = TempPath("archives");
    ASSERT_TRUE(Sys().CreateDirectory(folder));
    const std::string good = ArchivesOf('K').good;
    for (int i = 0; i < 5; ++i) WriteFile(Join(folder, "a" + std::to_string(i) + ".csv"), good);
    ToPathPage(Kind::kDx);
    SetFolder(true);
    Type(kPageVerificationFileFolderSelection, Choice::kCtlPath, ToUtf16(folder));
    // The user presses Abort while the first archive is checked: first No, then Yes.
    bool runningLook = false;
    int nextDuringRun = 0;
    ui_.duringRun = [&] {
        runningLook = !window_.Button(WizardButton::kNext).visible && !window_.Button(WizardButton::kFinish).visible &&
                      window_.Button(WizardButton::kCancel).text == u"&Abort" && !window_.settingsEnabled &&
                      !window_.Button(WizardButton::kPage).visible &&
                      RunView().At(RunPg::kCtlStatusText).text == u"Please wait while the archive is being verified.";
        nextDuringRun = RunPage().OnWizardNext();
        ui_.answers = {false};
        wizard_->OnCancel();
        ui_.answers = {true};
        wizard_->OnCancel();
    };
    EXPECT_EQ(ExitCodeOf([&] { Next(); }), 0);
    EXPECT_TRUE(runningLook);
    EXPECT_EQ(nextDuringRun, -1);
    EXPECT_EQ(TakeShown(), (std::vector<std::string>{"Do you want to cancel the current operation and close?",
                                                     "Do you want to cancel the current operation and close?"}));
    EXPECT_NE(LogText().find("Application aborted"), std::string::npos);
    EXPECT_FALSE(HasAppContext());
}

// A PDF writer as a face would hand in, writing a marker instead of printing.
bool FakePdf(const std::string&, const std::string& path, std::u16string& error) {
    return WriteReportText(path, "%PDF-1.4 fake", error);
}

TEST_F(VerificationPagesTest, ReportButtonSavesHtmlAndPdfThroughTheFacesWriter) {
    MountCard('K', Small(CardFamily::Dx));
    StartOn("dX");
    const std::string folder = TempPath("checked");
    ASSERT_TRUE(Sys().CreateDirectory(folder));
    const std::string good = Join(folder, "good.csv");
    WriteFile(good, ArchivesOf('K').good);
    ToPathPage(Kind::kDx);
    EXPECT_FALSE(window_.Button(WizardButton::kPage).visible);  // nothing to report before a run
    Submit(good);
    EXPECT_TRUE(window_.Button(WizardButton::kPage).visible);
    EXPECT_TRUE(window_.Button(WizardButton::kPage).enabled);
    EXPECT_EQ(window_.Button(WizardButton::kPage).text, u"Save report...");

    // Without a PDF writer: HTML only. Cancelled: nothing written, nothing shown.
    auto& run = RunPage();
    run.OnPageButton();
    ASSERT_EQ(RunView().pickerCalls.size(), size_t{1});
    const auto& offered = RunView().pickerCalls[0];
    EXPECT_EQ(offered.kind, u"save");
    EXPECT_EQ(offered.title, u"Save the verification report");
    EXPECT_EQ(ToNarrow(offered.initial), Join(folder, "Tallyvault report 2016-03-01.html"));
    ASSERT_EQ(offered.filters.size(), size_t{1});
    EXPECT_EQ(offered.filters[0].pattern, u"*.html");
    EXPECT_TRUE(TakeShown().empty());

    RunView().picks = {ToUtf16(TempPath("report.html"))};
    run.OnPageButton();
    const std::string html = ReadFile(TempPath("report.html"));
    EXPECT_NE(html.find("<html"), std::string::npos);
    EXPECT_NE(html.find("good.csv"), std::string::npos);
    // A PDF name without a writer: refused, not HTML under a PDF name.
    RunView().picks = {ToUtf16(TempPath("report.pdf"))};
    run.OnPageButton();
    EXPECT_EQ(TakeShown(), std::vector<std::string>{"The report could not be saved."});
    EXPECT_FALSE(FileExists(TempPath("report.pdf")));

    SetPdfReportWriter(FakePdf);
    RunView().picks = {ToUtf16(TempPath("report.PDF"))};
    run.OnPageButton();
    const auto& withPdf = RunView().pickerCalls.back();
    EXPECT_EQ(ToNarrow(withPdf.initial), Join(folder, "Tallyvault report 2016-03-01.pdf"));
    ASSERT_EQ(withPdf.filters.size(), size_t{2});
    EXPECT_EQ(withPdf.filters[0].name, u"PDF report (*.pdf)");
    EXPECT_EQ(withPdf.filters[0].pattern, u"*.pdf");
    EXPECT_EQ(ReadFile(TempPath("report.PDF")).substr(0, 5), "%PDF-");
    EXPECT_TRUE(TakeShown().empty());

    // A folder that is not there: the reason in a box, the page stays.
    RunView().picks = {ToUtf16(Join(TempPath("missing"), "report.html"))};
    run.OnPageButton();
    EXPECT_EQ(TakeShown().size(), size_t{1});
    EXPECT_EQ(Active(), kPageVerification);

    // What the report is made of: the list as shown and the final status.
    const ReportInput input = run.MakeReportInput();
    EXPECT_FALSE(input.zt4);
    EXPECT_EQ(input.checkedPath, good);
    EXPECT_EQ(input.trail, &run.Trail());
    EXPECT_EQ(input.columns, RunView().At(RunPg::kCtlResults).headers);
    ASSERT_EQ(input.rows.size(), size_t{1});
    EXPECT_EQ(input.rows[0].size(), size_t{6});
    EXPECT_EQ(ToNarrow(input.rows[0][1]), "good.csv");
    EXPECT_EQ(ToNarrow(input.summary), Status());
    EXPECT_EQ(input.continuity, nullptr);
}

TEST_F(VerificationPagesTest, FrenchTexts) {
    StartOn("ZT4", {"Language=French"});
    const std::string archive = TempPath("20150102080000_20150102200000.xml");
    WriteFile(archive, SampleZt4Archive());
    ASSERT_TRUE(SignArchiveFile(archive));
    ToPathPage(Kind::kZt4Archive);
    EXPECT_EQ(ChoiceView().At(Choice::kCtlGroup).text, GetMessageText(260));
    EXPECT_NE(ChoiceView().At(Choice::kCtlLogLabel).text, u"Card's Archive.log:");
    Submit(archive);
    ASSERT_TRUE(RunPage().Succeeded());
    EXPECT_EQ(RunView().At(RunPg::kCtlStatusText).text, GetMessageText(270));
    EXPECT_EQ(window_.Button(WizardButton::kPage).text, u"Enregistrer le rapport...");
    EXPECT_TRUE(RunPage().MakeReportInput().zt4);
    RunPage().OnPageButton();
    EXPECT_EQ(ToNarrow(RunView().pickerCalls.back().initial),
              TempPath("Rapport Tallyvault 2016-03-01.html"));
    EXPECT_EQ(RunView().pickerCalls.back().filters.at(0).name, u"Rapport HTML (*.html)");
}

}  // namespace

}  // namespace tv::test
