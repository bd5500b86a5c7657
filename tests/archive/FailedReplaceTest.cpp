// Runs that replace an archive and fail: the archive set aside comes back under
// its name, read-only; a vanished archive folder is told as such; what an
// interrupted run left is put right at the next start.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "app/AppContext.h"
#include "app/PublishJournal.h"
#include "app/PublishRecovery.h"
#include "app/StartUp.h"
#include "archive/ArchiveRun.h"
#include "archive/BaseArchiver.h"
#include "dx/VerifierdX.h"
#include "messages/MemoryResultList.h"
#include "platform/Text.h"
#include "smc/SmcDiscovery.h"
#include "support/GeneratedCard.h"

namespace tv {
namespace {

namespace fs = std::filesystem;

class FailedReplaceTest : public test::CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        ctx_ = &GetAppContext();
        archives_ = TempPath("archives");
        fs::create_directories(archives_);
        ctx_->archivePath = AsFolder(archives_);
    }
    ArchiveRunOutcome Run() {
        results_ = MemoryResultList();
        const SmcList list = ScanSmcDrives(*ctx_);
        EXPECT_EQ(IdentifySmc(*ctx_, list.entries.at(1), SmcPurpose::Archiving), SmcIdentity::Accepted);
        SetArchiveType(*ctx_, 1);
        return RunCurrentArchiver(*ctx_, &progress_, &results_, &status_);
    }
    // The one archive of the folder, or "".
    static std::string OnlyArchive(const std::string& folder) {
        std::string found;
        for (const auto& e : fs::directory_iterator(folder)) {
            if (e.path().extension() == ".csv") found = found.empty() ? e.path().string() : "several";
        }
        return found;
    }
    bool ReadOnly(const std::string& path) {
        uint32_t attributes = 0;
        return platform_->GetAttributes(path, attributes) && (attributes & kAttrReadOnly) != 0;
    }
    // The start-up steps of a program whose configured archive folder is archives_.
    void StartUp() {
        WriteConfig(ValidConfig({"ArchivePath=" + archives_}));
        DestroyAppContext();
        RunStartUpSteps();
    }
    // The archive stem + ".csv" that a run set aside is back under its name, read-only.
    void ExpectPutBack(const std::string& stem, const std::string& content) {
        EXPECT_EQ(ReadFile(stem + ".csv"), content);
        EXPECT_TRUE(ReadOnly(stem + ".csv"));
        EXPECT_FALSE(fs::exists(stem + ".csv.bak"));
    }

    AppContext* ctx_ = nullptr;
    std::string archives_;
    MemoryResultList results_;
    test::RecordingProgress progress_;
    test::RecordingStatus status_;
};

TEST_F(FailedReplaceTest, AFailedReplaceRestoresTheArchiveReadOnlyWhereverItStands) {
    struct Case {
        const char* name;
        bool intoDataFolder;
        bool beforeWriting;  // the failure comes before the run writes anything
    };
    for (const Case c : {Case{"archive folder, while writing", false, false},
                         Case{"data folder, while writing", true, false},
                         Case{"archive folder, before writing", false, true},
                         Case{"data folder, before writing", true, true}}) {
        SCOPED_TRACE(c.name);
        const std::string folder = c.intoDataFolder ? DataFolder() : archives_;
        ctx_->archivePath = AsFolder(folder);
        platform_->ClearFaults();
        const CardSummary card = MountCard('E', Small(CardFamily::Dx, 3));
        ASSERT_TRUE(Run().success) << LogText();
        const std::string archive = OnlyArchive(folder);
        ASSERT_FALSE(archive.empty());
        const std::string content = ReadFile(archive);

        ui_.answers = {true};  // replace it
        if (c.beforeWriting) {
            // Opening the new file fails at once.
            platform_->InjectFault(FaultOp::Open, kErrAccessDenied, Join(RunWorkFolder(*ctx_), card.scaleSerialNumber), 1);
        } else {
            emulators_['E' - 'A']->Faults().readErrorAtSector = card.sectorsUsed / 2;
        }
        EXPECT_FALSE(Run().success);
        EXPECT_EQ(ReadFile(archive), content);
        EXPECT_TRUE(ReadOnly(archive));
        EXPECT_FALSE(fs::exists(archive.substr(0, archive.size() - 4) + ".csv.bak"));
        fs::permissions(archive, fs::perms::owner_write, fs::perm_options::add);
        fs::remove(archive);
    }
}

TEST_F(FailedReplaceTest, NoToReplacingASplitArchiveLeavesEveryPartUntouched) {
    ctx_->maxArchiveSize = 24 * 1024;
    CardOptions o = Small(CardFamily::Dx, 8);
    o.receiptsPerDay = 6;
    MountCard('E', o);
    ASSERT_TRUE(Run().success);
    std::map<std::string, std::pair<std::string, fs::file_time_type>> parts;
    for (const auto& e : fs::directory_iterator(archives_)) {
        parts[e.path().string()] = {ReadFile(e.path().string()), fs::last_write_time(e.path())};
    }
    ASSERT_GE(parts.size(), 3u);  // several parts and the card's files

    ui_.shown.clear();
    ui_.answers = {false};
    const ArchiveRunOutcome refused = Run();
    EXPECT_FALSE(refused.success);
    EXPECT_EQ(refused.result, kArchiveRefused);
    ASSERT_EQ(ui_.shown.size(), 1u);
    size_t now = 0;
    for (const auto& e : fs::directory_iterator(archives_)) {
        ++now;
        ASSERT_TRUE(parts.count(e.path().string())) << e.path();
        EXPECT_EQ(ReadFile(e.path().string()), parts[e.path().string()].first);
        EXPECT_EQ(fs::last_write_time(e.path()), parts[e.path().string()].second) << e.path();
    }
    EXPECT_EQ(now, parts.size());

    ui_.answers = {true};
    EXPECT_TRUE(Run().success);
    for (const auto& [path, part] : parts) {
        if (path.ends_with(".csv")) {
            EXPECT_TRUE(VerifyArchiveFileQuietly(path)) << path;
        }
    }
}

TEST_F(FailedReplaceTest, TheLastBackupsStayUntilARunHasPublishedItsLastPart) {
    ctx_->maxArchiveSize = 24 * 1024;
    CardOptions o = Small(CardFamily::Dx, 8);
    o.receiptsPerDay = 6;
    MountCard('E', o);
    ASSERT_TRUE(Run().success);
    const std::string backups = Join(DataFolder(), "LastArchiveBackup");
    auto contents = [&] {
        std::map<std::string, std::string> files;
        for (const auto& e : fs::directory_iterator(backups)) files[e.path().string()] = ReadFile(e.path().string());
        return files;
    };
    const auto before = contents();
    ASSERT_GE(before.size(), 2u);
    WriteFile(Join(backups, "stale.csv.bak"), "from a run long ago");

    // The last part cannot be published: the run fails after the others.
    ui_.answers = {true};
    const std::string last = fs::path(before.rbegin()->first).filename().string();
    const std::string stem = last.substr(0, last.size() - std::string(".csv.bak").size());
    platform_->InjectFault(FaultOp::Copy, kErrDiskFull, Join(archives_, stem));
    EXPECT_FALSE(Run().success);
    auto after = contents();
    for (const auto& [path, content] : before) {
        ASSERT_TRUE(after.count(path)) << path;
        EXPECT_EQ(after[path], content) << path;
    }
    EXPECT_TRUE(after.count(Join(backups, "stale.csv.bak")));

    // A run that completes keeps exactly its own backups.
    platform_->ClearFaults();
    ui_.answers = {true};
    ASSERT_TRUE(Run().success);
    after = contents();
    EXPECT_FALSE(after.count(Join(backups, "stale.csv.bak")));
    EXPECT_EQ(after, before);
}

TEST_F(FailedReplaceTest, AFailureWithoutItsOwnMessageShowsTheLoggedCauseAsTheRemark) {
    const CardSummary card = MountCard('E', Small(CardFamily::Dx, 2));
    // The data folder fills up while the archive is written there.
    platform_->InjectFault(FaultOp::Write, kErrDiskFull, Join(RunWorkFolder(*ctx_), card.scaleSerialNumber));
    const ArchiveRunOutcome outcome = Run();
    EXPECT_FALSE(outcome.success);
    EXPECT_TRUE(outcome.messageLine.empty());
    ASSERT_EQ(results_.ItemCount(), 1);
    const std::string remark = ToNarrow(results_.Cell(0, 3));
    EXPECT_FALSE(remark.empty());
    EXPECT_NE(LogText().find(remark), std::string::npos) << remark;
}

TEST_F(FailedReplaceTest, AnArchiveFolderThatVanishesBeforePublishingFailsWithResult8) {
    class VanishingUi : public test::RecordingUi {
    public:
        std::string folder;
        std::string workFolder;
        // Gone once the run has started writing its file.
        void Pump() override {
            ++pumps;
            std::error_code ec;
            for (const auto& e : fs::directory_iterator(workFolder, ec)) {
                if (e.path().extension() == ".csv") test::RemoveFolderTree(folder);
            }
        }
    };
    VanishingUi vanishing;
    vanishing.folder = archives_;
    vanishing.workFolder = RunWorkFolder(*ctx_);
    InstallEnvironment(*platform_, vanishing, DataFolder());
    ctx_ = &GetAppContext();
    ctx_->archivePath = AsFolder(archives_);
    MountCard('E', Small(CardFamily::Dx, 2));
    const ArchiveRunOutcome outcome = Run();
    EXPECT_FALSE(outcome.success);
    EXPECT_EQ(outcome.result, kArchiveFolderMissing);
    InstallEnvironment(*platform_, ui_, DataFolder());
}

TEST_F(FailedReplaceTest, StartUpPutsRightTheFoldersAKilledRunNotedWhereverTheyAre) {
    // A run into a chosen folder was killed: the configured folder is another,
    // and a folder it noted earlier is on a drive that is not there now.
    const std::string chosen = TempPath("chosen");
    const std::string gone = TempPath("unplugged");
    fs::create_directories(chosen);
    const std::string stem = Join(chosen, "K7Q29_04A1_20150101_20150102");
    WriteFile(stem + ".csv.bak", "old archive");
    WriteFile(stem + ".csv" + Platform::kPublishTempSuffix, "half a copy");
    fs::create_directories(RunWorkFolder(*ctx_));
    WriteFile(Join(RunWorkFolder(*ctx_), "K7Q29_04A1_20150101_20150103.csv"), "half written");
    {
        PublishingNote earlier(*platform_, DataFolder(), AsFolder(gone));
        PublishingNote killed(*platform_, DataFolder(), AsFolder(chosen));
        ASSERT_EQ(JournalFolders(*platform_, JournalPath(*platform_, DataFolder())),
                  (std::vector<std::string>{AsFolder(gone), AsFolder(chosen)}));
        // A kill: the notes stay.
        fs::copy_file(JournalPath(*platform_, DataFolder()), TempPath("journal"));
    }
    fs::copy_file(TempPath("journal"), JournalPath(*platform_, DataFolder()));

    StartUp();
    ExpectPutBack(stem, "old archive");
    EXPECT_FALSE(fs::exists(stem + ".csv" + Platform::kPublishTempSuffix));
    EXPECT_FALSE(fs::exists(RunWorkFolder(GetAppContext())));
    // The folder that is not there is looked at again by the next start-up.
    EXPECT_EQ(JournalFolders(*platform_, JournalPath(*platform_, DataFolder())), (std::vector<std::string>{AsFolder(gone)}));
    fs::create_directories(gone);
    RunStartUpSteps();
    EXPECT_FALSE(fs::exists(JournalPath(*platform_, DataFolder())));
}

TEST_F(FailedReplaceTest, StartUpPutsBackWhatAnInterruptedRunSetAside) {
    const std::string stem = Join(archives_, "K7Q29_04A1_20150101_20150102");
    WriteFile(stem + ".csv.bak", "old archive");
    WriteFile(Join(archives_, "other.csv"), "kept");
    WriteFile(Join(archives_, "other.csv.bak"), "a backup beside its archive stays");
    WriteFile(Join(archives_, "other.csv") + Platform::kPublishTempSuffix, "half a copy");
    fs::create_directories(Join(DataFolder(), "LastArchiveBackup"));
    WriteFile(Join(Join(DataFolder(), "LastArchiveBackup"), "x.csv.bak"), "the last backup");
    WriteFile(Join(Join(DataFolder(), "LastArchiveBackup"), "x.csv.bak") + Platform::kPublishTempSuffix, "half");

    StartUp();
    ExpectPutBack(stem, "old archive");
    EXPECT_EQ(ReadFile(Join(archives_, "other.csv")), "kept");
    EXPECT_TRUE(fs::exists(Join(archives_, "other.csv.bak")));
    EXPECT_FALSE(fs::exists(Join(archives_, "other.csv") + Platform::kPublishTempSuffix));
    // The backup folder holds ".bak" files by design: they are never "restored".
    EXPECT_EQ(ReadFile(Join(Join(DataFolder(), "LastArchiveBackup"), "x.csv.bak")), "the last backup");
    EXPECT_FALSE(fs::exists(Join(Join(DataFolder(), "LastArchiveBackup"), "x.csv")));
    EXPECT_FALSE(fs::exists(Join(Join(DataFolder(), "LastArchiveBackup"), "x.csv.bak") + Platform::kPublishTempSuffix));
    EXPECT_NE(LogText().find("Archive of an interrupted run restored from its backup : " + stem + ".csv"),
              std::string::npos);
}

}  // namespace
}  // namespace tv
