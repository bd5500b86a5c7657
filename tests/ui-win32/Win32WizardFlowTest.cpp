// The wizard's real pages on the Windows face, driven as the user's clicks drive
// them: the messages of the radio buttons, boxes, edits, the card list and the
// wizard's buttons go to the page dialogs, questions are answered through the
// face's user interface. Each run writes what the engine alone writes for the
// same card, and the archive verifies.
#include "Win32WizardDriver.h"

namespace tv::test {

namespace {

using Win32WizardFlowTest = Win32WizardDriver;

TEST_F(Win32WizardFlowTest, DxArchiveMatchesTheEngineAndVerifiesWithoutTheCard) {
    MountCard('E', Small(CardFamily::Dx));
    Open("dX");
    ASSERT_FALSE(HasFailure());
    const std::string archive = CompleteArchive(TempPath("wizard"), ".csv");
    ASSERT_FALSE(archive.empty());
    const std::string direct = EngineArchive(TempPath("direct"), ".csv");
    ASSERT_FALSE(direct.empty());
    EXPECT_EQ(fs::path(direct).filename(), fs::path(archive).filename());
    EXPECT_TRUE(ReadFile(direct) == ReadFile(archive)) << "the wizard's archive differs from the engine's";

    // Another operation: the archive verified on its own.
    Finish(true);
    ASSERT_EQ(Active(), kPageWelcome);
    // The first page again, with its Next once it painted.
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(window_->Handle(), kCtlNext)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(window_->Handle(), kCtlBack)));
    Click(kPageWelcome, kCtlExistingArchive);
    if (!Checked(kPageWelcome, kCtlWithoutSmc)) Click(kPageWelcome, kCtlWithoutSmc);
    EXPECT_TRUE(Checked(kPageWelcome, kCtlWithoutSmc));
    NextTo(kPageVerificationFileFolderSelection);
    if (Checked(kPageVerificationFileFolderSelection, FolderChoice::kCtlChooseFolder)) {
        Click(kPageVerificationFileFolderSelection, FolderChoice::kCtlChooseFolder);
    }
    Type(kPageVerificationFileFolderSelection, FolderChoice::kCtlPath, archive);
    NextTo(kPageVerification);
    ASSERT_TRUE(WaitFor([&] { return Rows(kPageVerification, CVerificationPage::kCtlResults) > 0 &&
                                      IsWindowVisible(GetDlgItem(window_->Handle(), kCtlFinish)); }));
    EXPECT_TRUE(ui.shown.empty()) << ui.shown.front();
    EXPECT_EQ(Rows(kPageVerification, CVerificationPage::kCtlResults), 1);
    EXPECT_EQ(Cell(kPageVerification, CVerificationPage::kCtlResults, 0, 1),
              ToUtf16(fs::path(archive).filename().string()));
    EXPECT_EQ(Cell(kPageVerification, CVerificationPage::kCtlResults, 0, 2), u"Success");

    // No: the wizard ends.
    Finish(false);
    EXPECT_TRUE(window_->Ended());
    EXPECT_FALSE(HasAppContext());
}

TEST_F(Win32WizardFlowTest, Zt4ArchiveMatchesTheEngineBesideItsSignature) {
    MountCard('E', Small(CardFamily::Zt4));
    Open("ZT4");
    ASSERT_FALSE(HasFailure());
    const std::string archive = CompleteArchive(TempPath("wizard"), ".xml");
    ASSERT_FALSE(archive.empty());
    const std::string direct = EngineArchive(TempPath("direct"), ".xml");
    ASSERT_FALSE(direct.empty());
    EXPECT_EQ(fs::path(direct).filename(), fs::path(archive).filename());
    const std::string mine = ReadFile(archive);
    EXPECT_NE(mine.find("<digisign>"), std::string::npos);
    EXPECT_TRUE(Unsigned(ReadFile(direct)) == Unsigned(mine)) << "the wizard's archive differs from the engine's";
    Finish(false);
    EXPECT_TRUE(window_->Ended());
}


}  // namespace

}  // namespace tv::test
