// The command line among hostile files and beside other programs: pipes and
// devices where files belong, and two programs on one data folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRunner.h"
#include "support/NonRegularFile.h"

namespace tv::test {

namespace fs = std::filesystem;

namespace {

// Replaces a file by a pipe that nobody ever writes to (a folder on Windows).
void PlantPipe(const std::string& path) { ASSERT_TRUE(PlantNonRegularFile(path)) << path; }

class DamagedCardTest : public CliTest {
protected:
    // Overwrites bytes of a card image's info sector.
    void PatchInfo(const std::string& image, size_t offset, const std::string& bytes) {
        const std::string path = Join(image, "WORMINFO.DAT");
        std::string info = ReadFile(path);
        info.replace(offset, bytes.size(), bytes);
        WriteFile(path, info);
    }
};

}  // namespace

TEST_F(CliTest, OneProgramAtATimeWorksInADataFolder) {
    const std::string data = "--data-dir " + DataFolder() + " ";
    ASSERT_EQ(Cli(data + "settings").status, 0);
    // The run has ended and let go of the folder.
    std::unique_ptr<FileLock> held = real_->TryLockFile(Join(DataFolder(), "Tallyvault.lock"));
    ASSERT_TRUE(held);
    const std::string config = ReadFile(ConfigPath());

    CliRun r = Cli(data + "settings");
    EXPECT_EQ(r.status, 75);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("error: Another Tallyvault program is already using the data folder \"" + DataFolder() +
                         "\". Close it, then try again."),
              std::string::npos)
        << r.err;
    EXPECT_NE(LogText().find("Data folder is in use by another Tallyvault program: " + DataFolder()),
              std::string::npos);
    r = Cli(data + "--no archive complete --card E");
    EXPECT_EQ(r.status, 75);
    EXPECT_EQ(ReadFile(ConfigPath()), config);

    // A card is made without the data folder; another data folder runs beside.
    EXPECT_EQ(Cli(data + "make-card --family dx --out " + TempPath("dx") + " --days 1").status, 0);
    EXPECT_EQ(Cli("--data-dir " + TempPath("other") + " settings").status, 0);

    held.reset();
    EXPECT_EQ(Cli(data + "settings").status, 0);
}

// Each of these used to wait forever for a writer that never came.
TEST_F(CliTest, PipesWhereFilesBelongFailAtOnce) {
    const std::string data = "--data-dir " + DataFolder() + " ";
    ASSERT_EQ(Cli(data + "make-card --family dx --out " + TempPath("dx") + " --days 1").status, 0);
    ASSERT_EQ(Cli(data + "make-card --family zt4 --out " + TempPath("zt4") + " --days 1").status, 0);
    ASSERT_EQ(Cli(data + "make-card --family dx --out " + TempPath("piped") + " --days 1").status, 0);
    ASSERT_EQ(Cli(data + "settings").status, 0);

    // A card file.
    PlantPipe(Join(TempPath("piped"), "WORMSTOR.DAT"));
    const std::string cards = data + "--card-image E=" + TempPath("piped") + " ";
    CliRun r = Cli(cards + "cards", 60);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Cli(cards + "identify --card E", 60).status, 1);
    EXPECT_EQ(Cli(cards + "--no archive complete --card E", 60).status, 9);

    // Archive.log on a ZT4 card: the card is not taken.
    PlantPipe(Join(TempPath("zt4"), "Archive.log"));
    r = Cli(data + "--card-image G=" + TempPath("zt4") + " identify --card G", 60);
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_NE(LogText().find("'Archive.log' file open failed"), std::string::npos);

    // Archives to verify or validate.
    PlantPipe(TempPath("piped.csv"));
    PlantPipe(TempPath("piped.xml"));
    PlantPipe(TempPath("Archive.log"));
    // Not checked at all: neither verified nor shown to be changed.
    EXPECT_EQ(Cli(data + "verify " + TempPath("piped.csv"), 60).status, 2);
    EXPECT_EQ(Cli(data + "validate " + TempPath("piped.xml"), 60).status, 2);
    EXPECT_EQ(Cli(data + "validate " + TempPath("Archive.log"), 60).status, 2);

    // The card profile and the configuration.
    PlantPipe(Join(DataFolder(), "SMCProfile.ini"));
    r = Cli(data + "--card-image E=" + TempPath("dx") + " --no archive complete --card E", 60);
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.status, 137) << "killed at the time limit";
    EXPECT_NE(LogText().find("SMCProfile.ini' is not a regular file. (E222)"), std::string::npos);
    EXPECT_EQ(Cli(data + "profile", 60).status, 0);

    PlantPipe(ConfigPath());
    r = Cli(data + "settings", 60);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("language = English\n"), std::string::npos);
    EXPECT_NE(LogText().find("Tallyvault.ini' is not a regular file. (E222)"), std::string::npos);
}

// A configuration linked to an endless device used to fill the memory until
// the program died.
TEST_F(CliTest, ConfigurationLinkedToADeviceIsSetAsideNotRead) {
    fs::create_directories(DataFolder());
    fs::create_symlink("/dev/zero", ConfigPath());
    const CliRun r = Cli("--data-dir " + DataFolder() + " settings", 60);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("maxArchiveSize = 26214400\n"), std::string::npos);
    EXPECT_NE(LogText().find("Tallyvault.ini' is not a regular file. (E222)"), std::string::npos);
}

// Damage of the card used to look like no card at all ("<Insert SMC>", "Selected
// SMC is not available."), and a printable UID went as it was into
// SMCProfile.ini, where its line breaks made keys and sections of their own.
TEST_F(DamagedCardTest, DamagedCardsAreToldCorrupt) {
    const std::string data = "--data-dir " + DataFolder() + " ";
    for (const char* name : {"uid", "store", "past"}) {
        ASSERT_EQ(Cli(data + "make-card --family dx --days 1 --store-files 2 --out " + TempPath(name)).status, 0);
    }
    std::string uid = "AB\r\n[Config]\r\nLanguage=French";
    uid.resize(32, 'C');
    PatchInfo(TempPath("uid"), 256, uid);
    fs::remove(Join(TempPath("store"), "WORMSTO1.DAT"));
    PatchInfo(TempPath("past"), 24, std::string("\x7F\xFF\xFF\x00", 4));
    const std::string cards = data + "--card-image E=" + TempPath("uid") + " --card-image F=" + TempPath("store") +
                              " --card-image G=" + TempPath("past") + " ";

    CliRun r = Cli(cards + "cards");
    EXPECT_EQ(r.status, 0);
    const std::string fullButCorrupt = " (G:)\tcorrupt\t100% full\n";
    const size_t listed = r.out.find(fullButCorrupt);
    ASSERT_NE(listed, std::string::npos) << r.out;
    EXPECT_EQ(r.out.substr(listed + fullButCorrupt.size()), "(E:)\tcorrupt\t\n(F:)\tcorrupt\t\n");
    EXPECT_NE(r.err.find("warning: Corrupt Secure Memory Card.\n"), std::string::npos) << r.err;

    for (const char letter : {'E', 'F', 'G'}) {
        r = Cli(cards + "--yes archive complete --card " + letter);
        EXPECT_NE(r.status, 0) << letter;
        EXPECT_NE(r.err.find("Corrupt Secure Memory Card."), std::string::npos) << letter << r.err;
        EXPECT_EQ(r.out.find("Selected SMC is not available."), std::string::npos) << letter << r.out;
        EXPECT_EQ(r.out.find('\r') + r.err.find('\r'), 2 * std::string::npos) << letter;
    }
    EXPECT_EQ(Cli(cards + "identify --card E").status, 1);
    EXPECT_EQ(ReadFile(Join(DataFolder(), "SMCProfile.ini")).find("[Config]"), std::string::npos);
    EXPECT_EQ(LogText().find("[Config]"), std::string::npos);
    EXPECT_NE(LogText().find("SMC: (E:)Corrupt SMC: its printable UID is not 32 printable ASCII characters"),
              std::string::npos);
    EXPECT_NE(LogText().find("SMC: (F:)Corrupt SMC: its card files cannot be opened"), std::string::npos);
}

// A name or text from a file that could steer the terminal (escape sequences,
// a carriage return that overwrites the line) is shown with '?' instead.
TEST_F(CliTest, ControlCharactersNeverReachTheTerminal) {
    const std::string folder = TempPath("archives");
    fs::create_directories(folder);
    WriteFile(folder + "/x\r\x1b[2Jy.csv", "not;an;archive\r\n\x1b]0;title\x07\n");
    const CliRun r = Cli("--data-dir " + DataFolder() + " verify " + folder);
    EXPECT_EQ(r.status, 2);  // not an archive: not checked
    EXPECT_NE(r.out.find("1\tx??[2Jy.csv\t"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos);
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
}

}  // namespace tv::test
