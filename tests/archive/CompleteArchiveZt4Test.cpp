// Complete archives of generated ZT4 cards, end to end: the files, their names
// and splits, the card's Archive.log after each run, and what a failed run
// leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/AppContext.h"
#include "archive/ArchiveRun.h"
#include "archive/BaseArchiver.h"
#include "archive/CompleteArchiverZT4.h"
#include "messages/MemoryResultList.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "smc/SmcAccess.h"
#include "smc/SmcDiscovery.h"
#include "support/GeneratedCard.h"
#include "support/Zt4Validation.h"
#include "zt4/ArchiveVerifierZT4.h"
#include "zt4/LogVerifierZT4.h"

namespace tv {
namespace {

namespace fs = std::filesystem;

constexpr char kDeclaration[] = "<?xml version=\"1.0\"?>\n<ZT4>";

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t from = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", from)) {
        lines.push_back(text.substr(from, at - from));
        from = at + 2;
    }
    lines.push_back(text.substr(from));
    return lines;
}

class CompleteArchiveZt4Test : public test::CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        ctx_ = &GetAppContext();
        archives_ = TempPath("archives");
        fs::create_directories(archives_);
        ctx_->archivePath = AsFolder(archives_);
    }
    static CardOptions Card(uint32_t days, CalendarDate start = {2016, 2, 8}) {
        CardOptions o = Small(CardFamily::Zt4, days);
        o.start = start;
        return o;
    }
    ArchiveRunOutcome Archive(const CardOptions& options, EmulatorFaults faults = {}) {
        card_ = MountCard('E', options, faults);
        return ArchiveMounted();
    }
    // Identifies the card as the card page does and runs its complete archive.
    ArchiveRunOutcome ArchiveMounted() {
        results_ = MemoryResultList();
        ui_.shown.clear();
        const SmcList list = ScanSmcDrives(*ctx_);
        EXPECT_EQ(IdentifySmc(*ctx_, list.entries.at(1), SmcPurpose::Archiving), SmcIdentity::Accepted);
        SetArchiveType(*ctx_, 1);
        return RunCurrentArchiver(*ctx_, &progress_, &results_, &status_);
    }
    // Every file with the extension below the folder, sorted by name.
    static std::vector<std::string> Files(const std::string& folder, const std::string& extension) {
        std::vector<std::string> paths;
        std::error_code ec;
        for (const auto& e : fs::recursive_directory_iterator(folder, ec)) {
            if (e.is_regular_file() && e.path().string().ends_with(extension)) paths.push_back(e.path().string());
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    }
    static bool Validates(const std::string& path) { return test::Zt4Validates(path); }
    std::string CardLog() const { return ReadFile(Join(CardFolder('E'), "Archive.log")); }
    bool Shown(MessageId id) const {
        const std::u16string text = GetMessageText(id);
        return std::any_of(ui_.shown.begin(), ui_.shown.end(),
                           [&](const test::ShownMessage& m) { return m.text.find(text) != std::u16string::npos; });
    }
    // Every archive file validates, ends with the signature, begins with the
    // card's leading blocks, and together they hold each journal block once.
    void ExpectSoundArchive(const std::vector<std::string>& files) {
        size_t journal = 0;
        size_t closures = 0;
        std::string previousEnd;
        for (const std::string& path : files) {
            SCOPED_TRACE(path);
            const std::string text = ReadFile(path);
            EXPECT_TRUE(Validates(path));
            EXPECT_EQ(text.rfind(kDeclaration, 0), 0u);
            EXPECT_TRUE(text.ends_with("</digisign></ZT4>"));
            EXPECT_EQ(Count(text, "<fpg>"), 1u);
            journal += Count(text, "</cte><ftk>") + Count(text, "</cte><fum>");
            closures += Count(text, "</cte><fcd>") + Count(text, "</cte><fcm>") + Count(text, "</cte><fcy>");
            const std::string name = fs::path(path).filename().string();
            ASSERT_EQ(name.size(), 33u);
            EXPECT_LE(name.substr(0, 14), name.substr(15, 14));
            if (!previousEnd.empty()) {
                EXPECT_LE(previousEnd, name.substr(0, 14));
            }
            previousEnd = name.substr(15, 14);
        }
        EXPECT_EQ(journal, card_.blocksByType['T']);
        EXPECT_EQ(closures, card_.blocksByType['E']);
    }
    void ExpectNothingLeftInDataFolder() {
        EXPECT_TRUE(Files(DataFolder(), ".xml").empty()) << LogText();
        EXPECT_FALSE(FileExists(Join(DataFolder(), "Archive.log")));
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(DataFolder(), ec)) {
            EXPECT_FALSE(e.is_directory() && e.path().filename() != "LastArchiveBackup") << e.path();
        }
    }

    AppContext* ctx_ = nullptr;
    std::string archives_;
    CardSummary card_;
    MemoryResultList results_;
    test::RecordingProgress progress_;
    test::RecordingStatus status_;
};

TEST_F(CompleteArchiveZt4Test, SoundCardsArchiveIntoOneSignedFileRecordedOnTheCard) {
    struct Case {
        const char* name;
        CardOptions options;
    };
    CardOptions many = Card(6);
    many.multiSectorPercent = 60;
    CardOptions split = Card(4);
    split.storeFiles = 3;
    CardOptions tail = Card(3);
    tail.unclosedTailReceipts = 3;
    for (const Case& c : {Case{"one day", Card(1)}, Case{"many days", many}, Case{"split store", split},
                          Case{"unclosed tail", tail}}) {
        SCOPED_TRACE(c.name);
        CloseSmc(*ctx_);
        RemoveCard('E');
        test::RemoveFolderTree(archives_);
        fs::create_directories(archives_);
        const std::string storeBefore = [&] {
            card_ = MountCard('E', c.options);
            return ReadFile(Join(CardFolder('E'), "WORMSTOR.DAT"));
        }();
        const ArchiveRunOutcome outcome = ArchiveMounted();
        ASSERT_TRUE(outcome.success) << outcome.result << " " << LogText();
        const auto files = Files(archives_, ".xml");
        ASSERT_EQ(files.size(), 1u);
        ExpectSoundArchive(files);
        const std::string folder = fs::path(files[0]).parent_path().filename().string();
        const std::string file = fs::path(files[0]).filename().string();
        EXPECT_EQ(folder, card_.scaleSerialNumber + "_" + card_.smcUid + "_" + file.substr(0, 29));
        EXPECT_EQ(file.substr(0, 8), card_.firstDate.substr(0, 4) + card_.firstDate.substr(5, 2) + card_.firstDate.substr(8, 2));
        EXPECT_TRUE(FileExists(AsFolder(Join(DataFolder(), "LastArchiveBackup")) + Join(folder, file.substr(0, 29)) + ".xml.bak"));
        ASSERT_EQ(results_.ItemCount(), 1);
        EXPECT_EQ(ToNarrow(results_.Cell(0, 1)), files[0]);
        EXPECT_EQ(ToNarrow(results_.Cell(0, 2)), "Success");
        EXPECT_EQ(progress_.Last(), 100);
        EXPECT_TRUE(Validates(Join(CardFolder('E'), "Archive.log")));
        EXPECT_NE(ReadFile(Join(DataFolder(), "SMCProfile.ini")).find("ScaleType=ZT4"), std::string::npos);
        EXPECT_EQ(ReadFile(Join(CardFolder('E'), "WORMSTOR.DAT")), storeBefore);
        ExpectNothingLeftInDataFolder();
    }
}

TEST_F(CompleteArchiveZt4Test, TheYearEndAndYearClosuresCutTheArchive) {
    struct Case {
        const char* name;
        const char* yearEnd;
        CalendarDate start;
        uint32_t days;
        std::vector<std::string> cuts;  // the start days of the files after the first
    };
    for (const Case& c : {Case{"calendar year", "1231", {2015, 12, 28}, 6, {"20160101"}},
                          Case{"year end 03-31", "0331", {2016, 3, 28}, 6, {"20160401"}},
                          Case{"both", "0331", {2015, 12, 29}, 95, {"20160101", "20160401"}}}) {
        SCOPED_TRACE(c.name);
        test::RemoveFolderTree(archives_);
        fs::create_directories(archives_);
        CloseSmc(*ctx_);
        RemoveCard('E');
        ctx_->yearEnd = c.yearEnd;
        const ArchiveRunOutcome outcome = Archive(Card(c.days, c.start));
        ASSERT_TRUE(outcome.success) << outcome.result << " " << LogText();
        const auto files = Files(archives_, ".xml");
        ASSERT_EQ(files.size(), c.cuts.size() + 1);
        ExpectSoundArchive(files);
        for (size_t i = 0; i < c.cuts.size(); ++i) {
            const std::string before = fs::path(files[i]).filename().string();
            const std::string after = fs::path(files[i + 1]).filename().string();
            EXPECT_LT(before.substr(15, 8), c.cuts[i]);
            EXPECT_EQ(after.substr(0, 8), c.cuts[i]);
        }
        // One run header, one record per file, signed after each.
        const std::string log = CardLog();
        EXPECT_EQ(Count(log, "Scale serial num"), 1u);
        EXPECT_EQ(Count(log, "Archive file name"), files.size());
        EXPECT_TRUE(Validates(Join(CardFolder('E'), "Archive.log")));
        EXPECT_EQ(results_.ItemCount(), static_cast<int>(files.size()));
    }
}

TEST_F(CompleteArchiveZt4Test, AYearClosureWithoutItsIncidentBlockClosesTheFileBeforeItsSignature) {
    CardOptions o = Card(4, {2015, 12, 30});
    o.damage = CardDamage::ClosureIncident;
    const ArchiveRunOutcome outcome = Archive(o);
    ASSERT_TRUE(outcome.success) << outcome.result << " " << LogText();
    EXPECT_NE(LogText().find("Signature incident block is missing after closure block"), std::string::npos);
    const auto files = Files(archives_, ".xml");
    ASSERT_EQ(files.size(), 3u);
    ExpectSoundArchive(files);
    // The first file ends with the year closure, the second holds its signature block.
    const std::string first = ReadFile(files[0]);
    EXPECT_NE(first.find("</fcy></fit><digisign>"), std::string::npos);
    const std::string second = ReadFile(files[1]);
    EXPECT_EQ(Count(second, "<fsg>"), 2u);  // the leading one and the year closure's
}

TEST_F(CompleteArchiveZt4Test, TheMaximumSizeSplitsWithEveryBlockInOnePart) {
    ctx_->maxArchiveSize = 16 * 1024;
    CardOptions o = Card(8);
    o.receiptsPerDay = 6;
    const ArchiveRunOutcome outcome = Archive(o);
    ASSERT_TRUE(outcome.success) << outcome.result << " " << LogText();
    const auto files = Files(archives_, ".xml");
    ASSERT_GE(files.size(), 3u);
    ExpectSoundArchive(files);
    for (const std::string& path : files) EXPECT_LE(fs::file_size(path), ctx_->maxArchiveSize) << path;
    EXPECT_EQ(results_.ItemCount(), static_cast<int>(files.size()));
    for (int row = 0; row < results_.ItemCount(); ++row) EXPECT_EQ(ToNarrow(results_.Cell(row, 2)), "Success");
    EXPECT_EQ(Files(Join(DataFolder(), "LastArchiveBackup"), ".xml.bak").size(), files.size());
    EXPECT_EQ(Count(CardLog(), "Archive file name"), files.size());
    EXPECT_TRUE(Validates(Join(CardFolder('E'), "Archive.log")));
    ExpectNothingLeftInDataFolder();
}

TEST_F(CompleteArchiveZt4Test, AFileThatCannotHoldOneDayStopsWithMessage228) {
    ctx_->maxArchiveSize = 700;
    const ArchiveRunOutcome outcome = Archive(Card(2));
    EXPECT_FALSE(outcome.success);
    EXPECT_TRUE(Shown(228));
    EXPECT_TRUE(Files(archives_, ".xml").empty());
    EXPECT_FALSE(FileExists(Join(CardFolder('E'), "Archive.log")));
    ExpectNothingLeftInDataFolder();
}

TEST_F(CompleteArchiveZt4Test, ArchiveLogHoldsOneRunHeaderAndOneRecordPerFileAfterEachRun) {
    card_ = MountCard('E', Card(2));
    for (int run = 1; run <= 3; ++run) {
        SCOPED_TRACE(run);
        ui_.answers.push_back(true);  // replace the archive of the run before
        platform_->SetNow(test::kTestNow + run * 3600);
        ASSERT_TRUE(ArchiveMounted().success) << LogText();
        const std::string log = CardLog();
        EXPECT_TRUE(Validates(Join(CardFolder('E'), "Archive.log")));
        const auto lines = Lines(log);
        ASSERT_EQ(lines.size(), 1u + 9u * run + 3u);
        EXPECT_EQ(lines[0], "[" + card_.smcUid + "]");
        const std::string name = fs::path(Files(archives_, ".xml").at(0)).filename().string();
        for (int r = 0; r < run; ++r) {
            const auto* l = &lines[1 + 9 * r];
            EXPECT_EQ(l[0], "");
            EXPECT_EQ(l[1], "Scale serial num             : " + card_.scaleSerialNumber);
            EXPECT_EQ(l[2], "SMC Unique ID                : " + card_.smcUid);
            EXPECT_EQ(l[3], "Archive file path            : " + AsFolder(archives_) + card_.scaleSerialNumber + "_" +
                                card_.smcUid + "_" + name.substr(0, 29));
            EXPECT_EQ(l[4], "Archive start date           : " + name.substr(0, 4) + "-" + name.substr(4, 2) + "-" +
                                name.substr(6, 2) + " " + name.substr(8, 2) + ":" + name.substr(10, 2) + ":" +
                                name.substr(12, 2));
            EXPECT_EQ(l[5].substr(0, 31), "Archive end date             : ");
            EXPECT_EQ(l[6], "Archive file name            : " + name);
            EXPECT_EQ(l[7], "A.Creation date time         : " + platform_->FormatLocalTime(test::kTestNow + (r + 1) * 3600, "%Y-%m-%d %H:%M:%S"));
            EXPECT_EQ(l[8].substr(0, 31), "A.Completion date time       : ");
        }
        EXPECT_EQ(lines[lines.size() - 3], "");
        EXPECT_EQ(lines[lines.size() - 2], "Digital Signature:");
        EXPECT_FALSE(lines.back().empty());
    }
}

TEST_F(CompleteArchiveZt4Test, AnUntrustedLogIsSetAsideAndANewOneStarts) {
    struct Case {
        const char* name;
        std::string content;
        bool askedAtSelection;  // message 275 when the card is chosen
    };
    const std::string otherUid = "[00112233445566778899AABBCCDDEEFF]\r\nScale serial num             : X\r\n";
    for (const Case& c : {Case{"another card's UID", otherUid, true}, Case{"too short", "[0011]", true},
                          Case{"bad signature", "", false}}) {
        SCOPED_TRACE(c.name);
        test::RemoveFolderTree(archives_);
        fs::create_directories(archives_);
        CloseSmc(*ctx_);
        RemoveCard('E');
        card_ = MountCard('E', Card(2));
        const std::string content = c.content.empty() ? "[" + card_.smcUid + "]\r\n\r\nDigital Signature:\r\n" +
                                                            std::string(200, 'A')
                                                      : c.content;
        WriteFile(Join(CardFolder('E'), "Archive.log"), content);
        const std::string store = ReadFile(Join(CardFolder('E'), "WORMSTOR.DAT"));
        results_ = MemoryResultList();
        ui_.shown.clear();
        const SmcList list = ScanSmcDrives(*ctx_);
        ASSERT_EQ(IdentifySmc(*ctx_, list.entries.at(1), SmcPurpose::Archiving), SmcIdentity::Accepted);
        EXPECT_EQ(Shown(275), c.askedAtSelection);
        EXPECT_EQ(ctx_->archiveLogState, c.askedAtSelection ? 1 : 2);
        SetArchiveType(*ctx_, 1);
        ASSERT_TRUE(RunCurrentArchiver(*ctx_, &progress_, &results_, &status_).success) << LogText();
        const std::string aside = Join(CardFolder('E'), "Archive_2016_03_01_10_15_02_invalid.log");
        EXPECT_EQ(ReadFile(aside), content);
        EXPECT_TRUE(Shown(277));
        EXPECT_EQ(CardLog().rfind("[" + card_.smcUid + "]\r\n\r\nScale serial num", 0), 0u);
        EXPECT_TRUE(Validates(Join(CardFolder('E'), "Archive.log")));
        EXPECT_EQ(ReadFile(Join(CardFolder('E'), "WORMSTOR.DAT")), store);
        fs::remove(aside);
    }
}

TEST_F(CompleteArchiveZt4Test, ACardWithoutRoomForTheLogRefusesToStart) {
    for (uint64_t room : {uint64_t{1024}, uint64_t{1025}}) {
        SCOPED_TRACE(room);
        CloseSmc(*ctx_);
        RemoveCard('E');
        test::RemoveFolderTree(archives_);
        fs::create_directories(archives_);
        card_ = MountCard('E', Card(2));
        const SmcList list = ScanSmcDrives(*ctx_);
        ASSERT_EQ(IdentifySmc(*ctx_, list.entries.at(1), SmcPurpose::Archiving), SmcIdentity::Accepted);
        SetArchiveType(*ctx_, 1);
        ui_.shown.clear();
        platform_->SetFreeSpace(room);
        const ArchiveRunOutcome outcome = RunCurrentArchiver(*ctx_, &progress_, &results_, &status_);
        platform_->SetFreeSpace(std::nullopt);
        const bool refused = room <= 1024;
        EXPECT_EQ(outcome.success, !refused);
        EXPECT_EQ(Shown(276), refused);
        EXPECT_EQ(Files(archives_, ".xml").empty(), refused);
        EXPECT_EQ(FileExists(Join(CardFolder('E'), "Archive.log")), !refused);
    }
    EXPECT_NE(LogText().find("Not enough storage space in SMC open area to write 'Archive.log'"), std::string::npos);
}

TEST_F(CompleteArchiveZt4Test, AnUnwritableDestinationLeavesTheArchiveInTheDataFolderAndSaysSoOnTheCard) {
    platform_->InjectFault(FaultOp::Copy, kErrAccessDenied, archives_);
    const ArchiveRunOutcome outcome = Archive(Card(2));
    EXPECT_FALSE(outcome.success);
    EXPECT_TRUE(Files(archives_, ".xml").empty());
    const auto kept = Files(DataFolder(), ".xml");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_TRUE(Validates(kept[0]));
    const std::string folder = fs::path(kept[0]).parent_path().filename().string();
    const std::string err = ReadFile(Join(CardFolder('E'), folder) + ".err");
    EXPECT_NE(err.find("The archive is temporarily copied to " + kept[0]), std::string::npos);
    EXPECT_NE(CardLog().find(fs::path(kept[0]).filename().string()), std::string::npos);
    EXPECT_TRUE(Validates(Join(CardFolder('E'), "Archive.log")));
    EXPECT_FALSE(ToNarrow(results_.Cell(0, 3)).empty());
}

TEST_F(CompleteArchiveZt4Test, AFailedCopyKeepsTheArchiveItWasToReplace) {
    ASSERT_TRUE(Archive(Card(2)).success) << LogText();
    const auto before = Files(archives_, ".xml");
    ASSERT_EQ(before.size(), 1u);
    const std::string previous = ReadFile(before[0]);
    platform_->InjectFault(FaultOp::Copy, kErrDiskFull, archives_);
    ui_.answers = {true, true, true, true};
    EXPECT_FALSE(ArchiveMounted().success);
    EXPECT_EQ(Files(archives_, ".xml"), before);
    EXPECT_EQ(ReadFile(before[0]), previous);
    EXPECT_TRUE(Files(archives_, ".bak").empty());
    EXPECT_EQ(Files(DataFolder(), ".xml").size(), 1u);
}

TEST_F(CompleteArchiveZt4Test, FailuresInTheMiddleLeaveTheLogAndProfileAsTheyWere) {
    // A first run gives the card a log and the data folder a profile.
    card_ = MountCard('E', Card(4));
    ASSERT_TRUE(ArchiveMounted().success) << LogText();
    const std::string log = CardLog();
    const std::string profile = ReadFile(Join(DataFolder(), "SMCProfile.ini"));
    test::RemoveFolderTree(archives_);
    fs::create_directories(archives_);
    struct Case {
        const char* name;
        std::function<void()> arrange;
    };
    const Case cases[] = {
        {"card read error", [&] { emulators_['E' - 'A']->Faults().readErrorAtSector = card_.sectorsUsed / 2; }},
        {"full data folder", [&] { platform_->InjectFault(FaultOp::Write, kErrDiskFull, ".xml"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        const ArchiveRunOutcome outcome = ArchiveMounted();
        emulators_['E' - 'A']->Faults().readErrorAtSector.reset();
        platform_->ClearFaults();
        EXPECT_FALSE(outcome.success);
        EXPECT_TRUE(Files(archives_, ".xml").empty());
        EXPECT_EQ(CardLog(), log);
        EXPECT_EQ(ReadFile(Join(DataFolder(), "SMCProfile.ini")), profile);
        ExpectNothingLeftInDataFolder();
    }
}

TEST_F(CompleteArchiveZt4Test, AbortLeavesNoArchiveAndTheCardsLogUntouched) {
    class AbortingUi : public test::RecordingUi {
    public:
        int writingPumps = 0;
        void Pump() override {
            // Once the archive file is being written.
            ++pumps;
            if (HasAppContext() && GetAppContext().currentArchiver &&
                GetAppContext().currentArchiver->publishState == kPublishWriting && ++writingPumps == 30) {
                GetAppContext().abortRequested = true;
            }
        }
    };
    AbortingUi aborting;
    InstallEnvironment(*platform_, aborting, DataFolder());
    ctx_ = &GetAppContext();
    ctx_->archivePath = AsFolder(archives_);
    card_ = MountCard('E', Card(4));
    EXPECT_THROW(ArchiveMounted(), ExitRequested);
    EXPECT_TRUE(Files(archives_, ".xml").empty());
    EXPECT_FALSE(FileExists(Join(CardFolder('E'), "Archive.log")));
    ExpectNothingLeftInDataFolder();
    EXPECT_NE(LogText().find("Application aborted"), std::string::npos);
    InstallEnvironment(*platform_, ui_, DataFolder());
}

TEST_F(CompleteArchiveZt4Test, TheBackupFolderHoldsTheLastRunOnly) {
    ASSERT_TRUE(Archive(Card(2)).success);
    CardOptions other = Card(3, {2016, 5, 2});
    other.seed = 7;
    ASSERT_TRUE(Archive(other).success) << LogText();
    std::vector<std::string> folders;
    for (const auto& e : fs::directory_iterator(Join(DataFolder(), "LastArchiveBackup"))) {
        folders.push_back(e.path().filename().string());
    }
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_NE(folders[0].find("_20160502"), std::string::npos);
}

TEST_F(CompleteArchiveZt4Test, AFusingBlockThatDoesNotParseFailsWithResult2) {
    CardOptions o = Card(2);
    o.damage = CardDamage::FusingXml;
    const ArchiveRunOutcome outcome = Archive(o);
    EXPECT_FALSE(outcome.success);
    EXPECT_EQ(outcome.result, kArchiveDataCheckFailed);
    EXPECT_NE(LogText().find("Invalid XML format! BlockNum - 1"), std::string::npos);
    EXPECT_TRUE(Files(archives_, ".xml").empty());
}

TEST_F(CompleteArchiveZt4Test, TheCardsFilesAreCopiedIntoTheArchiveFolderWhenAsked) {
    ctx_->backupSmcOnArchive = true;
    CardOptions o = Card(2);
    o.storeFiles = 2;
    ASSERT_TRUE(Archive(o).success) << LogText();
    const std::string folder = fs::path(Files(archives_, ".xml").at(0)).parent_path().string();
    for (const char* name : {"WORMSTOR.DAT", "WORMSTO1.DAT", "WORMINFO.DAT", "WORMCOMM.DAT"}) {
        EXPECT_TRUE(FileExists(Join(folder, name))) << name;
    }
}

}  // namespace
}  // namespace tv
