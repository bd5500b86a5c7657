#include "wizard/RunPageFixture.h"

#include <algorithm>
#include <filesystem>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "archive/BaseArchiver.h"
#include "platform/FaultyPlatform.h"
#include "smc/SmcDiscovery.h"
#include "wizard/Pages.h"

namespace tv::test {

void RunPageFixture::SetUp() {
    CoreWizardTest::SetUp();
    InstallEnvironment(*platform_, ui, DataFolder());
}

void RunPageFixture::Open(const std::string& scaleType, const std::vector<std::string>& overrides) {
    std::vector<std::string> lines = {"ScaleType=" + scaleType};
    lines.insert(lines.end(), overrides.begin(), overrides.end());
    WriteConfig(ValidConfig(lines));
    const StartUpResult start = RunStartUpSteps();
    wizard_ = std::make_unique<CMasterDlg>(window_);
    pages_ = AddWizardPages(*wizard_, start.pageOrder);
    pages_.push_back(std::make_unique<StandInPage>(kLauncher));
    wizard_->AddPage(pages_.back().get());
    wizard_->Initialise();
}

void RunPageFixture::PrepareRun(int archiveType, const std::string& folder) {
    AppContext& ctx = GetAppContext();
    ctx.operation = 1;
    const SmcList list = ScanSmcDrives(ctx);
    ASSERT_GE(list.entries.size(), 2u);
    ASSERT_EQ(IdentifySmc(ctx, list.entries.at(1), SmcPurpose::Archiving), SmcIdentity::Accepted);
    std::filesystem::create_directories(folder);
    ctx.archivePath = AsFolder(folder);
    SetArchiveType(ctx, archiveType);
    ui.shown.clear();
}

CArchiverRunPage& RunPageFixture::EnterRun(int pageId) {
    auto& launcher = Page<StandInPage>(kLauncher);
    launcher.next = pageId;
    EXPECT_TRUE(wizard_->ActivatePage(&launcher));
    // The page before the run offers Next.
    window_.ShowButton(WizardButton::kNext, true);
    window_.EnableButton(WizardButton::kNext, true);
    Next();
    return Run(pageId);
}

int RunPageFixture::EnterRunExpectingExit(int pageId) {
    try {
        EnterRun(pageId);
    } catch (const ExitRequested& e) {
        return e.code;
    }
    return -1;
}

std::vector<std::string> RunPageFixture::TakeShown() {
    std::vector<std::string> texts = ui.ShownTexts();
    ui.shown.clear();
    return texts;
}

void RunPageFixture::ExpectFinished(int pageId, bool success) {
    CArchiverRunPage& run = Run(pageId);
    FakePageView& view = View(pageId);
    EXPECT_EQ(Active(), pageId);
    EXPECT_TRUE(run.IsFinished());
    EXPECT_FALSE(run.IsRunning());
    EXPECT_EQ(run.Succeeded(), success);
    EXPECT_EQ(Status(pageId), success ? u"Archive(s) created successfully." : u"Creation of archive(s) failed.");
    EXPECT_TRUE(window_.IsButtonVisible(WizardButton::kFinish));
    EXPECT_EQ(window_.defaultButton, WizardButton::kFinish);
    EXPECT_FALSE(window_.IsButtonVisible(WizardButton::kCancel));
    EXPECT_FALSE(window_.IsButtonVisible(WizardButton::kNext));
    EXPECT_FALSE(window_.IsButtonVisible(WizardButton::kBack));
    EXPECT_TRUE(window_.settingsEnabled);
    EXPECT_TRUE(view.At(kCtlRunResultPicture).visible);
    EXPECT_EQ(view.At(kCtlRunResultPicture).checked, success);
    EXPECT_FALSE(view.At(run.ProgressControl()).visible);
    EXPECT_EQ(view.timers.count(kRunProgressTimer), 0u);
}

std::vector<std::string> RunPageFixture::FilesUnder(const std::string& folder, const std::string& ending) {
    std::vector<std::string> paths;
    std::error_code ec;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder, ec)) {
        if (e.is_regular_file() && e.path().string().ends_with(ending)) paths.push_back(e.path().string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

}  // namespace tv::test
