#include "wizard/ArchivingChoiceFixture.h"

#include <filesystem>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "smc/SmcDiscovery.h"
#include "wizard/ArchiverSelectionPage.h"
#include "wizard/Pages.h"

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
    const auto autoDetect = [] { return GetAppContext().configuredScaleType == 0; };
    for (int id : start.pageOrder) {
        std::unique_ptr<CWizardPage> page;
        if (id == kPageArchiverSelection || id == kPageArchiverPathSelection || id == kPageDateSelection) {
            page = MakeWizardPage(id);
        } else if (id == kPageWelcome) {
            page = std::make_unique<StandInPage>(id, [autoDetect]() -> int {
                return autoDetect() ? kPageArchiverSelection : kPageSbcSelection;
            });
        } else if (id == kPageSbcSelection) {
            page = std::make_unique<StandInPage>(id, [autoDetect]() -> int {
                AppContext& ctx = GetAppContext();
                const SmcList found = ScanSmcDrives(ctx);
                EXPECT_GE(found.entries.size(), 2u);
                if (found.entries.size() < 2) return -1;
                const SmcIdentity identity = IdentifySmc(ctx, found.entries[1], SmcPurpose::Archiving);
                EXPECT_EQ(identity, SmcIdentity::Accepted);
                if (identity != SmcIdentity::Accepted) return -1;
                return autoDetect() ? kPageWelcome : kPageArchiverSelection;
            });
        } else {
            page = std::make_unique<StandInPage>(id, nullptr);
        }
        ASSERT_TRUE(page != nullptr) << id;
        wizard_->AddPage(page.get());
        pages_.push_back(std::move(page));
    }
    wizard_->Initialise();
}

void ArchivingChoiceFixture::ToChoice() {
    for (int i = 0; i < 2 && Active() != kPageArchiverSelection; ++i) Next();
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
