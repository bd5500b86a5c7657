#include "wizard/ArchivingChoiceFixture.h"

#include <filesystem>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "wizard/ArchiverSelectionPage.h"
#include "wizard/Pages.h"
#include "wizard/SBCSelectionPage.h"

namespace tv::test {

void ArchivingChoiceFixture::SetUp() {
    CoreWizardTest::SetUp();
    InstallEnvironment(*platform_, ui, DataFolder());
}

void ArchivingChoiceFixture::Open(const std::string& scaleType, const std::vector<std::string>& overrides) {
    std::vector<std::string> lines = {"ScaleType=" + scaleType};
    lines.insert(lines.end(), overrides.begin(), overrides.end());
    WriteConfig(ValidConfig(lines));
    const StartUpResult start = RunStartUpSteps();
    wizard_ = std::make_unique<CMasterDlg>(window_);
    for (int id : start.pageOrder) {
        std::unique_ptr<CWizardPage> page;
        if (id == kPageCompleteArchiver || id == kPagePartialArchiver || id == kPageDateBasedArchiver) {
            page = std::make_unique<StandInPage>(id);
        } else {
            page = MakeWizardPage(id);
        }
        ASSERT_TRUE(page != nullptr) << id;
        wizard_->AddPage(page.get());
        pages_.push_back(std::move(page));
    }
    wizard_->Initialise();
}

void ArchivingChoiceFixture::ToChoice() {
    // The welcome page offers a new archive first; the card page's first card
    // is the mounted one.
    for (int i = 0; i < 2 && Active() != kPageArchiverSelection; ++i) {
        wizard_->ActivePage()->OnPaint();
        if (Active() == kPageSbcSelection) {
            ASSERT_GE(View(kPageSbcSelection).At(kCtlCardList).items.size(), 2u);
            Select(kPageSbcSelection, kCtlCardList, 1);
        }
        Next();
    }
    ASSERT_EQ(Active(), kPageArchiverSelection);
}

void ArchivingChoiceFixture::ChooseAndNext(int button) {
    Choose(kPageArchiverSelection, button, {kCtlCompleteArchive, kCtlContinueArchive, kCtlDateBasedArchive});
    Next();
}

std::vector<std::string> ArchivingChoiceFixture::Shown() {
    std::vector<std::string> texts = ui.ShownTexts();
    ui.shown.clear();
    return texts;
}

unsigned ArchivingChoiceFixture::OnlyStyle() {
    EXPECT_EQ(ui.shown.size(), 1u);
    return ui.shown.size() == 1 ? ui.shown[0].style & 0xF0u : 0u;
}

void ArchivingChoiceFixture::WriteProfile(const CardSummary& card, const std::string& scaleSn) {
    WriteFile(Join(DataFolder(), "SMCProfile.ini"),
              "[SMC_" + card.smcUid + "]\r\nScaleSN=" + scaleSn + "\r\nUID=" + card.printableUid +
                  "\r\nCustID=QX33\r\nScaleType=dX\r\nLastArchivedBlockNum=77\r\n"
                  "LastArchivedStartDate=2015-12-20\r\nLastArchivedEndDate=2015-12-21\r\n");
}

std::string ArchivingChoiceFixture::FolderOfLength(size_t length) {
    std::string path = TempPath("x");
    path += std::string(length - path.size(), 'a');
    std::filesystem::create_directories(path);
    return path;
}

}  // namespace tv::test
