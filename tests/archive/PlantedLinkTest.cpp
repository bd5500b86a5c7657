// Symbolic links planted where a run creates its files: at the temporary names
// in the archive folder, the backup folder and the run's work folder, and at the
// temporary name of SMCProfile.ini. The run never writes, creates or changes the
// mode of anything outside its folders, and its archive lands where it belongs.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/AppContext.h"
#include "app/PublishRecovery.h"
#include "archive/ArchiveRun.h"
#include "archive/BaseArchiver.h"
#include "dx/VerifierdX.h"
#include "messages/MemoryResultList.h"
#include "smc/SmcDiscovery.h"
#include "support/GeneratedCard.h"

namespace tv {
namespace {

namespace fs = std::filesystem;

constexpr fs::perms kVictimMode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;

class PlantedLinkTest : public test::CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        ctx_ = &GetAppContext();
        archives_ = TempPath("archives");
        outside_ = TempPath("outside");
        fs::create_directories(archives_);
        fs::create_directories(outside_);
        ctx_->archivePath = AsFolder(archives_);
    }
    bool Run() {
        ui_.answers = {true, true};
        MemoryResultList results;
        test::RecordingProgress progress;
        test::RecordingStatus status;
        const SmcList list = ScanSmcDrives(*ctx_);
        if (list.entries.size() < 2 ||
            IdentifySmc(*ctx_, list.entries.at(1), SmcPurpose::Archiving) != SmcIdentity::Accepted) {
            return false;
        }
        SetArchiveType(*ctx_, 1);
        return RunCurrentArchiver(*ctx_, &progress, &results, &status).success;
    }
    // A file outside every folder of the run, for a link to point at.
    std::string Victim(const std::string& name) {
        const std::string path = Join(outside_, name);
        WriteFile(path, "precious " + name);
        fs::permissions(path, kVictimMode, fs::perm_options::replace);
        return path;
    }
    void ExpectUntouched(const std::string& victim) {
        EXPECT_EQ(ReadFile(victim), "precious " + fs::path(victim).filename().string());
        EXPECT_EQ(fs::status(victim).permissions(), kVictimMode) << victim;
    }

    AppContext* ctx_ = nullptr;
    std::string archives_;
    std::string outside_;
};

TEST_F(PlantedLinkTest, LinksAtTheTemporaryNamesOfARunAreNeverFollowed) {
    MountCard('E', Small(CardFamily::Dx, 2));
    ASSERT_TRUE(Run()) << LogText();
    std::string name;
    for (const auto& e : fs::directory_iterator(archives_)) {
        if (e.path().extension() == ".csv") name = e.path().filename().string();
    }
    ASSERT_FALSE(name.empty());
    const std::string archive = Join(archives_, name);
    fs::permissions(archive, fs::perms::owner_write, fs::perm_options::add);
    fs::remove(archive);

    // A dangling link at the publish name, links to files at the run's own
    // temporary file, at the backup's publish name and at the profile's.
    fs::create_symlink(Join(outside_, "landed.csv"), Platform::PublishTempName(archive));
    fs::create_directories(RunWorkFolder(*ctx_));
    const std::string work = Victim("work");
    fs::create_symlink(work, Join(RunWorkFolder(*ctx_), name));
    const std::string backup = Victim("backup");
    fs::create_symlink(backup, Platform::PublishTempName(AsFolder(Join(DataFolder(), "LastArchiveBackup")) +
                                                         name.substr(0, name.size() - 4) + ".csv.bak"));
    const std::string profile = Victim("profile");
    fs::create_symlink(profile, Join(DataFolder(), "SMCProfile.ini.tmp~"));

    ASSERT_TRUE(Run()) << LogText();
    EXPECT_FALSE(fs::exists(Join(outside_, "landed.csv")));
    ExpectUntouched(work);
    ExpectUntouched(backup);
    ExpectUntouched(profile);
    ASSERT_FALSE(fs::is_symlink(archive));
    EXPECT_TRUE(VerifyArchiveFileQuietly(archive));
    EXPECT_EQ(fs::status(archive).permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(PlantedLinkTest, RecoveryNeverMakesALinksTargetReadOnly) {
    // A ".bak" whose archive name is free, but a link to a file elsewhere.
    const std::string victim = Victim("bak");
    fs::create_symlink(victim, Join(archives_, "X_1_2_3.csv.bak"));
    RecoverInterruptedPublishing(*ctx_);
    ExpectUntouched(victim);
}

}  // namespace
}  // namespace tv
