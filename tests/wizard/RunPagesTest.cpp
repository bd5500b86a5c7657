// The archive run pages of the core: complete, continue and date runs of both
// families, what a run shows while it goes on, the user's abort, the closure
// and another-operation questions, an archive kept, and failed runs.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "archive/ArchiveRun.h"
#include "archive/BaseArchiver.h"
#include "archive/DateRange.h"
#include "dx/VerifierdX.h"
#include "emulator/CardExtension.h"
#include "messages/Messages.h"
#include "platform/FaultyPlatform.h"
#include "store/ArchiveResult.h"
#include "support/Zt4Validation.h"
#include "wizard/CompleteArchiverPage.h"
#include "wizard/DateBasedArchiverPage.h"
#include "wizard/PartialArchiverPage.h"
#include "wizard/RunPageFixture.h"

namespace tv::test {

namespace fs = std::filesystem;

namespace {

CardOptions LargeCard(CardFamily family) {
    CardOptions o;
    o.family = family;
    o.days = 60;
    o.receiptsPerDay = 50;
    return o;
}

const char* Extension(CardFamily family) { return family == CardFamily::Dx ? ".csv" : ".xml"; }

bool Validates(CardFamily family, const std::string& path) {
    return family == CardFamily::Dx ? VerifyArchiveFileQuietly(path) : Zt4Validates(path);
}

class RunPagesTest : public RunPageFixture {};

TEST_F(RunPagesTest, CompleteRunOfEachFamilyWritesWhatTheEngineWrites) {
    for (CardFamily family : {CardFamily::Dx, CardFamily::Zt4}) {
        SCOPED_TRACE(family == CardFamily::Dx ? "dX" : "ZT4");
        TearDown();
        SetUp();
        MountCard('E', Small(family));
        Open(family == CardFamily::Dx ? "dX" : "ZT4");
        const std::string folder = TempPath("archives");
        PrepareRun(1, folder);
        CArchiverRunPage& run = EnterRun(kPageCompleteArchiver);
        ExpectFinished(kPageCompleteArchiver, true);
        FakePageView& view = View(kPageCompleteArchiver);
        EXPECT_TRUE(Message(kPageCompleteArchiver).empty());
        EXPECT_EQ(view.ProgressOf(kCtlCompleteProgress).Last(), 100);
        EXPECT_EQ(window_.highlight, 3);
        EXPECT_EQ(window_.Button(WizardButton::kFinish).text, u"&Finish");
        EXPECT_TRUE(run.IsActive());
        // One row per file with the columns of the list.
        EXPECT_TRUE(view.At(kCtlRunResultList).visible);
        EXPECT_EQ(view.At(kCtlRunResultList).headers,
                  (std::vector<std::u16string>{u"S.No", u"File Name", u"Result", u"Remarks"}));
        const std::vector<std::string> files = FilesUnder(folder, Extension(family));
        ASSERT_EQ(files.size(), 1u);
        EXPECT_TRUE(Validates(family, files[0]));
        MemoryResultList& rows = view.ResultsOf(kCtlRunResultList);
        ASSERT_EQ(rows.ItemCount(), 1);
        EXPECT_EQ(rows.Cell(0, 0), u"1");
        EXPECT_EQ(rows.Cell(0, 2), u"Success");
        EXPECT_TRUE(TakeShown().empty());

        // The engine alone, on the same card, writes the same archive.
        const std::string direct = TempPath("direct");
        PrepareRun(1, direct);
        RecordingProgress progress;
        MemoryResultList results;
        RecordingStatus status;
        const ArchiveRunOutcome outcome = RunCurrentArchiver(GetAppContext(), &progress, &results, &status);
        EXPECT_TRUE(outcome.success) << outcome.result;
        const std::vector<std::string> engine = FilesUnder(direct, Extension(family));
        ASSERT_EQ(engine.size(), 1u);
        EXPECT_EQ(fs::path(engine[0]).filename(), fs::path(files[0]).filename());
        // A ZT4 file's signature differs from one signing to the next.
        const auto body = [](const std::string& text) { return text.substr(0, text.find("<digisign>")); };
        EXPECT_TRUE(body(ReadFile(engine[0])) == body(ReadFile(files[0])));
    }
}

TEST_F(RunPagesTest, ContinueRunTakesTheNewDaysAndNothingNewFails) {
    MountCard('E', Small(CardFamily::Dx));
    Open("dX");
    PrepareRun(1, TempPath("first"));
    EnterRun(kPageCompleteArchiver);
    ExpectFinished(kPageCompleteArchiver, true);

    // Nothing new since: a failed run without rows.
    PrepareRun(2, TempPath("nothing"));
    EnterRun(kPagePartialArchiver);
    ExpectFinished(kPagePartialArchiver, false);
    EXPECT_EQ(Message(kPagePartialArchiver), u"No new data found.");
    EXPECT_FALSE(View(kPagePartialArchiver).At(kCtlRunResultList).visible);
    EXPECT_TRUE(FilesUnder(TempPath("nothing"), ".csv").empty());

    // Two more days on the card: the continue run archives them.
    CardSummary grown;
    std::string error;
    ASSERT_TRUE(ExtendCard(CardFolder('E'), 2, grown, error)) << error;
    const std::string folder = TempPath("continued");
    PrepareRun(2, folder);
    EnterRun(kPagePartialArchiver);
    ExpectFinished(kPagePartialArchiver, true);
    EXPECT_TRUE(Message(kPagePartialArchiver).empty());
    const std::vector<std::string> files = FilesUnder(folder, ".csv");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(VerifyArchiveFileQuietly(files[0]));
    EXPECT_EQ(View(kPagePartialArchiver).ResultsOf(kCtlRunResultList).ItemCount(), 1);
}

TEST_F(RunPagesTest, DateRunAndDatesThatCouldNotBePrepared) {
    MountCard('E', Small(CardFamily::Zt4));
    Open("ZT4");
    const std::string folder = TempPath("archives");
    PrepareRun(3, folder);
    AppContext& ctx = GetAppContext();
    auto* range = dynamic_cast<CDateRange*>(ctx.currentArchiver.get());
    ASSERT_NE(range, nullptr);
    DayDate first;
    DayDate last;
    ASSERT_TRUE(range->PrepareDateRange(&first, &last));
    int64_t start = 0;
    int64_t end = 0;
    ASSERT_TRUE(TimeOfDay(ctx, first, start) && TimeOfDay(ctx, last, end));
    ctx.currentArchiver->SetStartDate(start);
    ctx.currentArchiver->SetEndDate(end);
    ASSERT_TRUE(range->FindBlockRange());
    EnterRun(kPageDateBasedArchiver);
    ExpectFinished(kPageDateBasedArchiver, true);
    // The date page does not follow the boundary check.
    EXPECT_TRUE(View(kPageDateBasedArchiver).timers.empty());
    const std::vector<std::string> files = FilesUnder(folder, ".xml");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(Zt4Validates(files[0]));

    // The date page could not read the card's dates: nothing runs, the reason shows.
    PrepareRun(3, TempPath("none"));
    range = dynamic_cast<CDateRange*>(GetAppContext().currentArchiver.get());
    ASSERT_NE(range, nullptr);
    const struct {
        int result;
        const char16_t* message;
    } cases[] = {{kArchiveNoData, u"No data found."},
                 {kArchiveNoClosure, u"Closure not found! Do closure before archiving."},
                 {kArchiveUsageUnreadable, u"Selected SMC is not available."},
                 {kArchiveDataCheckFailed, u"Incorrect data found."},
                 {kArchiveCorrupted, u""}};
    for (const auto& c : cases) {
        range->rangeResult = c.result;
        GetAppContext().dateRangeUnavailable = true;
        EnterRun(kPageDateBasedArchiver);
        ExpectFinished(kPageDateBasedArchiver, false);
        EXPECT_EQ(Message(kPageDateBasedArchiver), c.message);
        EXPECT_FALSE(GetAppContext().dateRangeUnavailable);
        EXPECT_FALSE(View(kPageDateBasedArchiver).At(kCtlRunResultList).visible);
    }
    EXPECT_NE(LogText().find("ResultType : 5"), std::string::npos);
    EXPECT_TRUE(FilesUnder(TempPath("none"), ".xml").empty());
}

TEST_F(RunPagesTest, WhatARunShowsWhileItGoesOn) {
    MountCard('E', Small(CardFamily::Dx));
    Open("dX");
    PrepareRun(1, TempPath("archives"));
    bool looked = false;
    ui.duringPump = [&] {
        looked = true;
        FakePageView& view = View(kPageCompleteArchiver);
        CArchiverRunPage& run = Run(kPageCompleteArchiver);
        EXPECT_TRUE(run.IsRunning());
        EXPECT_FALSE(window_.IsButtonVisible(WizardButton::kNext));
        EXPECT_FALSE(window_.IsButtonVisible(WizardButton::kBack));
        EXPECT_FALSE(window_.IsButtonVisible(WizardButton::kFinish));
        EXPECT_TRUE(window_.IsButtonVisible(WizardButton::kCancel));
        EXPECT_EQ(window_.Button(WizardButton::kCancel).text, u"&Abort");
        EXPECT_EQ(window_.defaultButton, WizardButton::kCancel);
        EXPECT_FALSE(window_.settingsEnabled);
        EXPECT_TRUE(view.At(kCtlCompleteProgress).visible);
        EXPECT_FALSE(view.At(kCtlRunResultList).visible);
        EXPECT_EQ(view.timers.at(kRunProgressTimer), 1000);
        EXPECT_TRUE(Status(kPageCompleteArchiver).starts_with(u"Please wait"));
        // Alt+X and Backspace do nothing now; Next only while the run goes on.
        wizard_->OnKey(WizardKey::kAltX);
        EXPECT_EQ(window_.settingsRuns, 0);
        wizard_->OnKey(WizardKey::kBackspace);
        wizard_->OnKey(WizardKey::kAltRight);
        EXPECT_EQ(Active(), kPageCompleteArchiver);
        // The timer shows the boundary check's progress while it is on.
        AppContext& ctx = GetAppContext();
        const std::u16string before = Status(kPageCompleteArchiver);
        wizard_->FindPage(kPageCompleteArchiver)->OnTimer(kRunProgressTimer);
        EXPECT_EQ(Status(kPageCompleteArchiver), before);
        ctx.boundaryCheck = true;
        ctx.progressDone = 12;
        ctx.progressTotal = 340;
        wizard_->FindPage(kPageCompleteArchiver)->OnTimer(kRunProgressTimer);
        EXPECT_EQ(Status(kPageCompleteArchiver), u"Preparing to archive (12/340)...");
        ctx.boundaryCheck = false;
    };
    EnterRun(kPageCompleteArchiver);
    EXPECT_TRUE(looked);
    ExpectFinished(kPageCompleteArchiver, true);
    EXPECT_TRUE(TakeShown().empty());

    // After the run the timer writes nothing, and a later paint puts the outcome back.
    GetAppContext().boundaryCheck = true;
    CWizardPage* page = wizard_->FindPage(kPageCompleteArchiver);
    page->OnTimer(kRunProgressTimer);
    EXPECT_EQ(Status(kPageCompleteArchiver), u"Archive(s) created successfully.");
    page->OnPaint();
    View(kPageCompleteArchiver).StatusOf(kCtlRunStatus).text.assign(1, u'x');
    page->OnPaint();
    EXPECT_EQ(Status(kPageCompleteArchiver), u"Archive(s) created successfully.");
    // In French, the outcome and the column headers follow.
    GetAppContext().language = "French";
    wizard_->RefreshTexts();
    EXPECT_EQ(Status(kPageCompleteArchiver), GetMessageText(127));
    EXPECT_NE(Status(kPageCompleteArchiver), u"Archive(s) created successfully.");
    EXPECT_EQ(View(kPageCompleteArchiver).At(kCtlRunResultList).headers.at(1), GetMessageText(193));
    EXPECT_NE(View(kPageCompleteArchiver).At(kCtlRunResultList).headers.at(1), u"File Name");
    EXPECT_EQ(window_.Button(WizardButton::kFinish).text, GetMessageText(108));
}

TEST_F(RunPagesTest, AbortDuringARunLeavesNothingHalfWritten) {
    MountCard('E', LargeCard(CardFamily::Dx));
    Open("dX");
    const std::string folder = TempPath("archives");
    PrepareRun(1, folder);
    const auto progress = [&] { return View(kPageCompleteArchiver).ProgressOf(kCtlCompleteProgress).Last(); };
    std::vector<int> seen;
    // No first: the run goes on. Yes later: the engine cleans up and ends the program.
    std::function<void()> later = [&] {
        if (progress() <= 60) {
            ui.duringPump = later;
            return;
        }
        seen.push_back(progress());
        ui.answers = {true};
        wizard_->OnCancel();
        EXPECT_EQ(window_.endCode, CWizardDialog::kCancelCode);
    };
    std::function<void()> first = [&] {
        if (progress() <= 10) {
            ui.duringPump = first;
            return;
        }
        seen.push_back(progress());
        ui.answers = {false};
        wizard_->OnCancel();
        EXPECT_EQ(window_.endCode, 0);
        EXPECT_FALSE(GetAppContext().abortRequested);
        ui.duringPump = later;
    };
    ui.duringPump = first;
    EXPECT_EQ(EnterRunExpectingExit(kPageCompleteArchiver), 0);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_GT(seen[1], seen[0]);
    EXPECT_LT(seen[1], 100);
    EXPECT_EQ(TakeShown(), (std::vector<std::string>{"Do you want to cancel the current operation and close?",
                                                     "Do you want to cancel the current operation and close?"}));
    EXPECT_EQ(ui.shown.size(), 0u);
    EXPECT_NE(LogText().find("Application aborted"), std::string::npos);
    EXPECT_FALSE(HasAppContext());
    for (const auto& e : fs::recursive_directory_iterator(folder)) ADD_FAILURE() << e.path().string();
    EXPECT_TRUE(FilesUnder(DataFolder(), ".csv").empty());
    EXPECT_TRUE(FilesUnder(DataFolder(), ".tmp").empty());
}

TEST_F(RunPagesTest, ClosingAfterTheRunAsksOnce) {
    MountCard('E', Small(CardFamily::Dx));
    Open("dX");
    PrepareRun(1, TempPath("archives"));
    EnterRun(kPageCompleteArchiver);
    ui.answers = {false};
    wizard_->OnCancel();
    EXPECT_EQ(TakeShown(), std::vector<std::string>{"Are you sure you want to close?"});
    EXPECT_EQ(ui.shown.size(), 0u);
    EXPECT_EQ(window_.endCode, 0);
    EXPECT_TRUE(HasAppContext());
    ui.answers = {true};
    int code = -1;
    try {
        wizard_->OnCancel();
    } catch (const ExitRequested& e) {
        code = e.code;
    }
    EXPECT_EQ(code, 0);
    EXPECT_NE(LogText().find("Application aborted"), std::string::npos);
}

TEST_F(RunPagesTest, UnclosedReceiptsAskForTheLastClosure) {
    CardOptions o = Small(CardFamily::Dx);
    o.days = 3;
    o.unclosedTailReceipts = 4;
    MountCard('E', o);
    Open("dX");
    const std::string folder = TempPath("archives");
    PrepareRun(1, folder);
    ui.answers = {false};
    EnterRun(kPageCompleteArchiver);
    ExpectFinished(kPageCompleteArchiver, false);
    EXPECT_EQ(Message(kPageCompleteArchiver), u"Closure not found! Do closure before archiving.");
    std::vector<std::string> shown = TakeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].starts_with("Closure not found for the most recent receipts. "));
    EXPECT_NE(shown[0].find("]["), std::string::npos);
    EXPECT_TRUE(FilesUnder(folder, ".csv").empty());

    // Yes: the second run stops at the last closure.
    PrepareRun(1, folder);
    ui.answers = {true};
    EnterRun(kPageCompleteArchiver);
    ExpectFinished(kPageCompleteArchiver, true);
    EXPECT_EQ(TakeShown().size(), 1u);
    const std::vector<std::string> files = FilesUnder(folder, ".csv");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(VerifyArchiveFileQuietly(files[0]));
    EXPECT_NE(LogText().find("As per user choice, Tallyvault will archive till last closure ["), std::string::npos);
}

TEST_F(RunPagesTest, KeepingAnExistingArchive) {
    MountCard('E', Small(CardFamily::Dx));
    Open("dX");
    const std::string folder = TempPath("archives");
    PrepareRun(1, folder);
    EnterRun(kPageCompleteArchiver);
    ExpectFinished(kPageCompleteArchiver, true);
    const std::string archive = FilesUnder(folder, ".csv").at(0);
    const std::string written = ReadFile(archive);

    // The default folder: the run ends with the reason.
    PrepareRun(1, folder);
    GetAppContext().useDefaultArchivePath = true;
    ui.answers = {false};
    CArchiverRunPage& run = EnterRun(kPageCompleteArchiver);
    ExpectFinished(kPageCompleteArchiver, false);
    EXPECT_EQ(Message(kPageCompleteArchiver), u"File already exists.");
    EXPECT_FALSE(run.BackToPath());
    EXPECT_EQ(run.OnWizardBack(), -1);
    EXPECT_EQ(ReadFile(archive), written);

    // A folder chosen on the path page: that page comes back for another one.
    PrepareRun(1, folder);
    GetAppContext().useDefaultArchivePath = false;
    ui.answers = {false};
    EnterRun(kPageCompleteArchiver);
    EXPECT_EQ(Active(), kPageArchiverPathSelection);
    EXPECT_TRUE(run.BackToPath());
    EXPECT_FALSE(run.IsFinished());
    EXPECT_TRUE(window_.settingsEnabled);
    EXPECT_EQ(window_.defaultButton, WizardButton::kNext);
    EXPECT_EQ(View(kPageCompleteArchiver).timers.count(kRunProgressTimer), 0u);
    EXPECT_EQ(ReadFile(archive), written);

    // Another folder: the run goes through there.
    const std::string other = TempPath("other");
    PrepareRun(1, other);
    EnterRun(kPageCompleteArchiver);
    ExpectFinished(kPageCompleteArchiver, true);
    EXPECT_FALSE(run.BackToPath());
    EXPECT_EQ(FilesUnder(other, ".csv").size(), 1u);
}

TEST_F(RunPagesTest, AnotherOperationStartsOverOrEndsTheProgram) {
    MountCard('E', Small(CardFamily::Dx));
    Open("dX");
    PrepareRun(1, TempPath("a"));
    EnterRun(kPageCompleteArchiver);
    // Next (Alt+Right) asks as Finish does.
    ui.answers = {true};
    wizard_->OnKey(WizardKey::kAltRight);
    EXPECT_EQ(TakeShown(), std::vector<std::string>{"Do you want to perform another operation?"});
    EXPECT_EQ(Active(), kPageWelcome);
    EXPECT_FALSE(View(kPageCompleteArchiver).At(kCtlRunResultPicture).visible);
    EXPECT_TRUE(window_.IsButtonVisible(WizardButton::kCancel));

    // Finish, Yes: the same, asked once.
    PrepareRun(1, TempPath("b"));
    EnterRun(kPageCompleteArchiver);
    ui.answers = {true};
    wizard_->OnFinish();
    EXPECT_EQ(TakeShown(), std::vector<std::string>{"Do you want to perform another operation?"});
    EXPECT_EQ(Active(), kPageWelcome);
    EXPECT_FALSE(View(kPageCompleteArchiver).At(kCtlRunResultPicture).visible);
    EXPECT_EQ(window_.endCode, 0);

    // The partial page was shown earlier too: the program still ends once.
    PrepareRun(2, TempPath("c"));
    EnterRun(kPagePartialArchiver);
    PrepareRun(1, TempPath("d"));
    EnterRun(kPageCompleteArchiver);
    ui.answers = {false};
    wizard_->OnFinish();
    EXPECT_EQ(TakeShown(), std::vector<std::string>{"Do you want to perform another operation?"});
    EXPECT_EQ(window_.endCode, CWizardDialog::kFinishCode);
    EXPECT_FALSE(HasAppContext());
    const std::string log = LogText();
    ASSERT_NE(log.find("Application closed"), std::string::npos);
    EXPECT_EQ(log.find("Application closed"), log.rfind("Application closed"));
}

TEST_F(RunPagesTest, WithoutAConfiguredScaleTypeAnotherOperationStartsAtTheCardList) {
    MountCard('E', Small(CardFamily::Zt4));
    Open("Auto-detect");
    PrepareRun(1, TempPath("a"));
    EnterRun(kPageCompleteArchiver);
    ExpectFinished(kPageCompleteArchiver, true);
    ui.answers = {true};
    Next();
    EXPECT_EQ(Active(), kPageSbcSelection);
    // Before a run has finished, Next stays.
    EXPECT_EQ(Run(kPagePartialArchiver).OnWizardNext(), -1);
}

TEST_F(RunPagesTest, FailedRunsWithoutRowsShowTheirReason) {
    MountCard('E', Small(CardFamily::Dx));
    Open("dX");
    std::string folder = TempPath("gone");
    while (folder.size() < 100) folder += "x";
    PrepareRun(1, folder);
    fs::remove_all(folder);
    EnterRun(kPageCompleteArchiver);
    ExpectFinished(kPageCompleteArchiver, false);
    const std::u16string message = Message(kPageCompleteArchiver);
    EXPECT_TRUE(message.starts_with(u"Archive path not found. ("));
    EXPECT_TRUE(message.ends_with(u"....)"));
    EXPECT_LE(message.size(), 73u);
    EXPECT_FALSE(View(kPageCompleteArchiver).At(kCtlRunResultList).visible);
    EXPECT_FALSE(View(kPageCompleteArchiver).At(kCtlRunMessage).tip.empty());

    // No operation prepared: a failed run, and the log says why.
    PrepareRun(1, TempPath("a"));
    GetAppContext().currentArchiver.reset();
    EnterRun(kPageCompleteArchiver);
    ExpectFinished(kPageCompleteArchiver, false);
    EXPECT_TRUE(Message(kPageCompleteArchiver).empty());
    EXPECT_TRUE(View(kPageCompleteArchiver).At(kCtlRunMessage).tip.empty());
    EXPECT_NE(LogText().find("Archive element not found"), std::string::npos);
}

}  // namespace

}  // namespace tv::test
