// The process-wide context, the data folder and the start-up steps.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

class AppContextTest : public test::TestEnvironment {};

TEST_F(AppContextTest, StartsWithTheDocumentedValues) {
    AppContext& ctx = GetAppContext();
    EXPECT_EQ(&ctx, &GetAppContext());
    EXPECT_EQ(ctx.operation, 1u);
    EXPECT_EQ(ctx.scaleType, '2');
    EXPECT_EQ(ctx.archiveType, 4);
    EXPECT_EQ(ctx.verificationMode, 1u);
    EXPECT_EQ(ctx.validationKind, 2u);
    EXPECT_TRUE(ctx.drive.empty());
    EXPECT_FALSE(ctx.abortRequested);
    EXPECT_EQ(ctx.progressDone, 0);
    EXPECT_EQ(ctx.archiveLogState, 0);
    EXPECT_EQ(GetVersionText(), "2.0.0");
    EXPECT_EQ(WindowTitle(), "Tallyvault 2.0.0");
    DestroyAppContext();
    EXPECT_FALSE(HasAppContext());
}

TEST_F(AppContextTest, LanguageComesFromTheLocaleBeforeAnyConfiguration) {
    EXPECT_EQ(LanguageFromLocale("fr-CA"), "French");
    EXPECT_EQ(LanguageFromLocale("fr"), "French");
    EXPECT_EQ(LanguageFromLocale("de-DE"), "English");
    EXPECT_EQ(LanguageFromLocale("FR-fr"), "English");
    EXPECT_EQ(LanguageFromLocale(""), "English");
    platform_->SetLocale("fr-CA");
    EXPECT_EQ(GetAppContext().language, "French");
    EXPECT_NE(ReadFile(ConfigPath()).find("Language=French\r\n"), std::string::npos);
}

TEST_F(AppContextTest, DataFolderLivesUnderTheCompanyFolder) {
    const std::string root = TempPath("root");
    std::filesystem::create_directories(root);
    platform_->SetDataFolderRoot(root);
    InstallEnvironment(*platform_, ui_);
    const std::string folder = Join(Join(root, "HARLAN BRISTOW"), "Tallyvault");
    EXPECT_EQ(GetDataFolder(), folder);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(ConfigFilePath(), Join(folder, "Tallyvault.ini"));
}

TEST_F(AppContextTest, ConfiguredScaleTypeDecidesTheFirstPage) {
    struct Case {
        const char* value;
        bool welcomeFirst;
        char scaleType;
        uint16_t configured;
    };
    for (const Case& c : {Case{"ZT4", true, '1', 2}, Case{"dX", true, '0', 1},
                          Case{"Auto-detect", false, '2', 0}}) {
        SCOPED_TRACE(c.value);
        InstallEnvironment(*platform_, ui_, DataFolder());
        WriteConfig(ValidConfig({std::string("ScaleType=") + c.value}));
        const StartUpResult r = RunStartUpSteps();
        EXPECT_TRUE(r.configExists);
        ASSERT_EQ(r.pageOrder.size(), 12u);
        EXPECT_EQ(r.pageOrder[0], c.welcomeFirst ? kPageWelcome : kPageSbcSelection);
        EXPECT_EQ(r.pageOrder[2], kPageVerificationSelection);
        EXPECT_EQ(r.pageOrder[11], kPageDateBasedArchiver);
        EXPECT_EQ(GetAppContext().scaleType, c.scaleType);
        EXPECT_EQ(GetAppContext().configuredScaleType, c.configured);
        EXPECT_TRUE(GetAppContext().configFile != nullptr);
    }
    // A lower-case family name is damage: the file is replaced and the card decides.
    InstallEnvironment(*platform_, ui_, DataFolder());
    WriteConfig(ValidConfig({"ScaleType=zt4"}));
    const StartUpResult r = RunStartUpSteps();
    EXPECT_EQ(r.pageOrder[0], kPageSbcSelection);
    EXPECT_EQ(GetAppContext().scaleType, '2');
}

// The wizard and the command line both begin with these steps: a second
// program on a data folder is turned away before it reads or writes anything
// there, and a program on another data folder runs beside the first.
TEST_F(AppContextTest, OneProgramAtATimeWorksInADataFolder) {
    std::unique_ptr<FileLock> other = real_->TryLockFile(DataFolderLockPath());
    ASSERT_TRUE(other);

    const StartUpResult refused = RunStartUpSteps();
    EXPECT_TRUE(refused.dataFolderInUse);
    EXPECT_TRUE(refused.pageOrder.empty());
    EXPECT_FALSE(HasAppContext());
    EXPECT_FALSE(FileExists(ConfigPath()));
    ASSERT_EQ(ui_.shown.size(), 1u);
    EXPECT_EQ(ui_.ShownTexts()[0], "Another Tallyvault program is already using the data folder \"" + DataFolder() +
                                       "\". Close it, then try again.");
    EXPECT_EQ(ui_.shown[0].style & 0xF0, unsigned{kMbIconError});
    EXPECT_NE(LogText().find("Data folder is in use by another Tallyvault program: " + DataFolder()),
              std::string::npos);

    // Once the other program has ended, this one starts and holds the folder itself.
    other.reset();
    const StartUpResult started = RunStartUpSteps();
    EXPECT_FALSE(started.dataFolderInUse);
    EXPECT_TRUE(FileExists(ConfigPath()));
    EXPECT_FALSE(real_->TryLockFile(DataFolderLockPath()));
    EXPECT_FALSE(RunStartUpSteps().dataFolderInUse);  // its own steps again: still its folder

    // Another data folder is another program's business.
    const std::string elsewhere = TempPath("elsewhere");
    std::filesystem::create_directories(elsewhere);
    EXPECT_TRUE(real_->TryLockFile(Join(elsewhere, "Tallyvault.lock")));

    // A new environment lets go of the folder of the old one.
    InstallEnvironment(*platform_, ui_, elsewhere);
    EXPECT_TRUE(real_->TryLockFile(Join(DataFolder(), "Tallyvault.lock")));
}

TEST_F(AppContextTest, TheRefusalSpeaksTheLanguageOfTheUser) {
    platform_->SetLocale("fr-CA");
    std::unique_ptr<FileLock> other = real_->TryLockFile(DataFolderLockPath());
    ASSERT_TRUE(other);
    EXPECT_FALSE(ClaimDataFolder());
    ASSERT_EQ(ui_.shown.size(), 1u);
    EXPECT_EQ(ui_.ShownTexts()[0], "Un autre programme Tallyvault utilise déjà le dossier de données \"" +
                                       DataFolder() + "\". Fermez-le, puis réessayez.");
}

}  // namespace
}  // namespace tv
