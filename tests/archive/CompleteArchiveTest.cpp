// Complete archives of generated dX cards, end to end: the files written, the
// profile, the questions, and what is left behind when a run fails.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/AppContext.h"
#include "app/PublishRecovery.h"
#include "archive/ArchiveRun.h"
#include "archive/BaseArchiver.h"
#include "archive/CompleteArchiverdX.h"
#include "dx/ArchiverdX.h"
#include "dx/VerifierdX.h"
#include "messages/MemoryResultList.h"
#include "platform/Text.h"
#include "smc/SmcAccess.h"
#include "smc/SmcDiscovery.h"
#include "support/GeneratedCard.h"

namespace tv {
namespace {

namespace fs = std::filesystem;

class CompleteArchiveTest : public test::CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        ctx_ = &GetAppContext();
        archives_ = TempPath("archives");
        fs::create_directories(archives_);
        ctx_->archivePath = AsFolder(archives_);
    }
    // Mounts a card, identifies it as the card page does and runs its complete archive.
    ArchiveRunOutcome Archive(const CardOptions& options, EmulatorFaults faults = {}) {
        card_ = MountCard('E', options, faults);
        return ArchiveMounted();
    }
    ArchiveRunOutcome ArchiveMounted() {
        results_ = MemoryResultList();
        ui_.shown.clear();
        const SmcList list = ScanSmcDrives(*ctx_);
        EXPECT_EQ(IdentifySmc(*ctx_, list.entries.at(1), SmcPurpose::Archiving), SmcIdentity::Accepted);
        SetArchiveType(*ctx_, 1);
        return RunCurrentArchiver(*ctx_, &progress_, &results_, &status_);
    }
    std::vector<std::string> Files(const std::string& folder, const std::string& extension) const {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(folder, ec)) {
            if (e.path().extension() == extension || (extension == ".bak" && e.path().string().ends_with(".csv.bak"))) {
                names.push_back(e.path().filename().string());
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string Profile() const { return ReadFile(Join(DataFolder(), "SMCProfile.ini")); }
    // Nothing of the run is left in the data folder but what belongs there.
    void ExpectCleanDataFolder() {
        EXPECT_TRUE(Files(DataFolder(), ".csv").empty());
    }

    AppContext* ctx_ = nullptr;
    std::string archives_;
    CardSummary card_;
    MemoryResultList results_;
    test::RecordingProgress progress_;
    test::RecordingStatus status_;
};

TEST_F(CompleteArchiveTest, SoundCardsArchiveIntoOneVerifiedFileAndAProfile) {
    struct Case {
        const char* name;
        CardOptions options;
    };
    CardOptions one = Small(CardFamily::Dx, 1);
    CardOptions many = Small(CardFamily::Dx, 6);
    many.multiSectorPercent = 60;
    CardOptions split = Small(CardFamily::Dx, 4);
    split.storeFiles = 3;
    CardOptions shortTails = Small(CardFamily::Dx, 3);
    shortTails.multiSectorPercent = 50;
    shortTails.shortLastSector = true;
    for (const Case& c : {Case{"one day", one}, Case{"many days", many}, Case{"split store", split},
                          Case{"short last sectors", shortTails}}) {
        SCOPED_TRACE(c.name);
        test::RemoveFolderTree(archives_);
        fs::create_directories(archives_);
        const ArchiveRunOutcome outcome = Archive(c.options);
        ASSERT_TRUE(outcome.success) << outcome.result << " " << LogText();
        EXPECT_EQ(ToNarrow(outcome.statusText), "Archive(s) created successfully.");
        const auto files = Files(archives_, ".csv");
        ASSERT_EQ(files.size(), 1u);
        const std::string archive = Join(archives_, files[0]);
        EXPECT_EQ(files[0].substr(0, card_.scaleSerialNumber.size() + 34),
                  card_.scaleSerialNumber + "_" + card_.smcUid + "_");
        EXPECT_TRUE(VerifyArchiveFileQuietly(archive));
        EXPECT_TRUE(fs::exists(AsFolder(Join(DataFolder(), "LastArchiveBackup")) + files[0].substr(0, files[0].size() - 4) + ".csv.bak"));
        ASSERT_EQ(results_.ItemCount(), 1);
        EXPECT_EQ(ToNarrow(results_.Cell(0, 1)), archive);
        EXPECT_EQ(ToNarrow(results_.Cell(0, 2)), "Success");
        EXPECT_EQ(progress_.Last(), 100);
        ExpectCleanDataFolder();
        uint32_t attributes = 0;
        ASSERT_TRUE(platform_->GetAttributes(archive, attributes));
        EXPECT_NE(attributes & kAttrReadOnly, 0u);
        const std::string profile = Profile();
        for (const char* key : {"ScaleSN=", "UID=", "CustID=QX33", "ScaleType=dX", "LastArchivedBlockNum=",
                                "LastArchivedStartDate=", "LastArchivedEndDate="}) {
            EXPECT_NE(profile.find(key), std::string::npos) << key;
        }
        EXPECT_NE(profile.find("[SMC_" + card_.smcUid + "]"), std::string::npos);
    }
}

TEST_F(CompleteArchiveTest, ASmallMaximumSizeSplitsIntoFilesThatEachVerify) {
    ctx_->maxArchiveSize = 24 * 1024;
    CardOptions o = Small(CardFamily::Dx, 8);
    o.receiptsPerDay = 6;
    const ArchiveRunOutcome outcome = Archive(o);
    ASSERT_TRUE(outcome.success) << outcome.result;
    const auto files = Files(archives_, ".csv");
    ASSERT_GE(files.size(), 2u);
    EXPECT_EQ(results_.ItemCount(), static_cast<int>(files.size()));
    std::string previousTail;
    for (const std::string& name : files) {
        const std::string text = ReadFile(Join(archives_, name));
        EXPECT_TRUE(VerifyArchiveFileQuietly(Join(archives_, name))) << name;
        EXPECT_EQ(text.substr(9, 4), "0000") << name;  // the origin of trust block at block index 0
        EXPECT_LE(text.size(), ctx_->maxArchiveSize + 4096) << name;
    }
    for (int row = 0; row < results_.ItemCount(); ++row) EXPECT_EQ(ToNarrow(results_.Cell(row, 2)), "Success");
    // The backups of every part of the run are kept.
    EXPECT_EQ(Files(Join(DataFolder(), "LastArchiveBackup"), ".bak").size(), files.size());
}

TEST_F(CompleteArchiveTest, DamagedCardsFailWithResult2AndLeaveNothing) {
    for (CardDamage damage : {CardDamage::Payload, CardDamage::Chain, CardDamage::Signature, CardDamage::DsVersion}) {
        SCOPED_TRACE(DamageName(damage));
        CardOptions o = Small(CardFamily::Dx, 4);
        o.damage = damage;
        const ArchiveRunOutcome outcome = Archive(o);
        EXPECT_FALSE(outcome.success);
        EXPECT_EQ(outcome.result, kArchiveDataCheckFailed);
        EXPECT_EQ(ToNarrow(outcome.messageLine), "Incorrect data found.");
        EXPECT_TRUE(Files(archives_, ".csv").empty());
        ExpectCleanDataFolder();
        EXPECT_FALSE(FileExists(Join(DataFolder(), "SMCProfile.ini")) && Profile().find(card_.smcUid) != std::string::npos);
    }
}

TEST_F(CompleteArchiveTest, UnclosedReceiptsAskToStopAtTheLastClosure) {
    CardOptions o = Small(CardFamily::Dx, 3);
    o.unclosedTailReceipts = 4;
    ui_.answers = {false};
    ArchiveRunOutcome outcome = Archive(o);
    EXPECT_FALSE(outcome.success);
    EXPECT_EQ(outcome.result, kArchiveNoClosure);
    EXPECT_EQ(ToNarrow(outcome.messageLine), "Closure not found! Do closure before archiving.");
    ASSERT_FALSE(ui_.shown.empty());
    EXPECT_EQ(ToNarrow(ui_.shown.back().text).substr(0, 48), "Closure not found for the most recent receipts. ");
    EXPECT_TRUE(Files(archives_, ".csv").empty());

    ui_.answers = {true};
    outcome = ArchiveMounted();
    ASSERT_TRUE(outcome.success) << outcome.result;
    ASSERT_EQ(Files(archives_, ".csv").size(), 1u);
    EXPECT_TRUE(VerifyArchiveFileQuietly(Join(archives_, Files(archives_, ".csv")[0])));
    EXPECT_NE(LogText().find("As per user choice, Tallyvault will archive till last closure ["), std::string::npos);
}

TEST_F(CompleteArchiveTest, AnExistingArchiveIsKeptOrReplacedAsTheUserSays) {
    ASSERT_TRUE(Archive(Small(CardFamily::Dx, 2)).success);
    const std::string name = Files(archives_, ".csv").at(0);
    const std::string path = Join(archives_, name);
    const std::string first = ReadFile(path);

    ui_.answers = {false};
    ArchiveRunOutcome outcome = ArchiveMounted();
    EXPECT_FALSE(outcome.success);
    EXPECT_EQ(outcome.result, kArchiveRefused);
    EXPECT_EQ(ReadFile(path), first);

    ui_.answers = {true};
    outcome = ArchiveMounted();
    EXPECT_TRUE(outcome.success);
    EXPECT_EQ(ReadFile(path), first);  // the same card gives the same archive
    EXPECT_FALSE(fs::exists(path.substr(0, path.size() - 4) + ".csv.bak"));
    EXPECT_NE(LogText().find("Archive backup created successfully"), std::string::npos);
}

TEST_F(CompleteArchiveTest, FailuresWhilePublishingLeaveNoUnverifiedArchive) {
    struct Case {
        const char* name;
        FaultOp op;
        int error;
    };
    for (const Case& c : {Case{"full archive folder", FaultOp::Copy, kErrDiskFull},
                          Case{"read-only archive folder", FaultOp::Copy, kErrAccessDenied}}) {
        SCOPED_TRACE(c.name);
        platform_->ClearFaults();
        platform_->InjectFault(c.op, c.error, archives_);
        const ArchiveRunOutcome outcome = Archive(Small(CardFamily::Dx, 2));
        EXPECT_FALSE(outcome.success);
        EXPECT_TRUE(Files(archives_, ".csv").empty());
        ExpectCleanDataFolder();
        EXPECT_FALSE(FileExists(Join(DataFolder(), "SMCProfile.ini")) && !Profile().empty());
        EXPECT_FALSE(ToNarrow(results_.Cell(0, 3)).empty());
    }
}

TEST_F(CompleteArchiveTest, ACardReadErrorInTheMiddleFailsTheRunCleanly) {
    const CardSummary probe = MountCard('E', Small(CardFamily::Dx, 4));
    EmulatorFaults faults;
    faults.readErrorAtSector = probe.sectorsUsed / 2;
    const ArchiveRunOutcome outcome = Archive(Small(CardFamily::Dx, 4), faults);
    EXPECT_FALSE(outcome.success);
    EXPECT_TRUE(Files(archives_, ".csv").empty());
    ExpectCleanDataFolder();
    EXPECT_FALSE(FileExists(Join(DataFolder(), "SMCProfile.ini")) && !Profile().empty());
}

TEST_F(CompleteArchiveTest, AbortCleansUpAndEndsTheProgram) {
    class AbortingUi : public test::RecordingUi {
    public:
        void Pump() override {
            if (++pumps == 40 && HasAppContext()) GetAppContext().abortRequested = true;
        }
    };
    AbortingUi aborting;
    InstallEnvironment(*platform_, aborting, DataFolder());
    ctx_ = &GetAppContext();
    ctx_->archivePath = AsFolder(archives_);
    card_ = MountCard('E', Small(CardFamily::Dx, 4));
    EXPECT_THROW(ArchiveMounted(), ExitRequested);
    EXPECT_TRUE(Files(archives_, ".csv").empty());
    EXPECT_TRUE(Files(DataFolder(), ".csv").empty());
    EXPECT_NE(LogText().find("Application aborted"), std::string::npos);
    InstallEnvironment(*platform_, ui_, DataFolder());
}

TEST_F(CompleteArchiveTest, TheCardsFilesAreCopiedWhenAsked) {
    ctx_->backupSmcOnArchive = true;
    CardOptions o = Small(CardFamily::Dx, 2);
    o.storeFiles = 2;
    ASSERT_TRUE(Archive(o).success);
    const std::string name = Files(archives_, ".csv").at(0);
    const std::string folder = Join(archives_, name.substr(0, name.size() - 4));
    for (const char* file : {"WORMSTOR.DAT", "WORMSTO1.DAT", "WORMINFO.DAT", "WORMCOMM.DAT"}) {
        EXPECT_EQ(ReadFile(Join(folder, file)), ReadFile(Join(CardFolder('E'), file))) << file;
    }
}

TEST_F(CompleteArchiveTest, ArchivingIntoTheDataFolderKeepsTheFileThere) {
    ctx_->archivePath = AsFolder(DataFolder());
    ASSERT_TRUE(Archive(Small(CardFamily::Dx, 2)).success);
    ASSERT_EQ(Files(DataFolder(), ".csv").size(), 1u);
    EXPECT_EQ(Files(Join(DataFolder(), "LastArchiveBackup"), ".bak").size(), 1u);
    // Written elsewhere first and published whole: nothing of the run stays.
    EXPECT_FALSE(fs::exists(RunWorkFolder(*ctx_)));
    EXPECT_FALSE(fs::exists(Join(DataFolder(), "Publishing.journal")));

    // The run's own work folder is never an archive folder.
    fs::create_directories(RunWorkFolder(*ctx_));
    ctx_->archivePath = AsFolder(RunWorkFolder(*ctx_));
    EXPECT_FALSE(Archive(Small(CardFamily::Dx, 2)).success);
    EXPECT_TRUE(Files(RunWorkFolder(*ctx_), ".csv").empty());
}

TEST_F(CompleteArchiveTest, EmptyAndMissingCards) {
    ctx_->scaleType = '0';
    SetArchiveType(*ctx_, 1);
    ctx_->drive = "Q";
    int result = kArchiveOtherFailure;
    MemoryResultList results;
    EXPECT_FALSE(ctx_->currentArchiver->Run(&progress_, result, &results, &status_));
    EXPECT_EQ(result, kArchiveUsageUnreadable);

    CardOptions empty = Small(CardFamily::Dx);
    empty.empty = true;
    MountCard('E', empty);
    ctx_->drive = "E";
    result = kArchiveOtherFailure;
    EXPECT_FALSE(ctx_->currentArchiver->Run(&progress_, result, &results, &status_));
    EXPECT_EQ(result, kArchiveNoData);
    EXPECT_NE(LogText().find("No data in SMC"), std::string::npos);
    EXPECT_THROW(SetArchiveType(*ctx_, 9), ExitRequested);
}

}  // namespace
}  // namespace tv
