// How a run that cannot go on ends: an archive folder that is gone when a ZT4
// file is published, and a date range that cannot be prepared, end as failures
// with the code and the log entries that tell why, each entry once.
#include <filesystem>

#include "archive/DateBasedArchiverdX.h"
#include "archive/DateBasedArchiverZT4.h"
#include "archive/DateRange.h"
#include "archive/RunFixture.h"
#include "log/LogFile.h"

namespace tv {
namespace {

namespace fs = std::filesystem;

// Removes the archive folder as soon as the run has started writing a file of
// the extension anywhere in the data folder.
class VanishingFolderUi : public test::RecordingUi {
public:
    void Pump() override {
        ++pumps;
        std::error_code ec;
        for (const auto& e : fs::recursive_directory_iterator(dataFolder, ec)) {
            if (e.path().extension() == extension) {
                fs::remove_all(folder, ec);
                return;
            }
        }
    }
    std::string folder;
    std::string dataFolder;
    std::string extension;
};

class RunOutcomeTest : public test::RunFixture {
protected:
    CDateRange* DateArchiver() {
        ChooseCard();
        SetArchiveType(*ctx_, 3);
        return dynamic_cast<CDateRange*>(ctx_->currentArchiver.get());
    }
    bool FindRange(CDateRange* range, const std::string& from, const std::string& until) {
        SetDates(from, until);
        return range->FindBlockRange();
    }
};

TEST_F(RunOutcomeTest, AZt4ArchiveFolderGoneBeforePublishingEndsWithResult8InEveryPath) {
    struct Case {
        const char* name;
        CalendarDate start;
        uint32_t days;
        uint32_t receiptsPerDay;
        uint64_t maxSize;
    };
    const uint64_t defaultSize = ctx_->maxArchiveSize;
    for (const Case& c : {Case{"whole range", {2016, 2, 8}, 2, 4, defaultSize},
                          Case{"year split", {2015, 12, 28}, 6, 4, defaultSize},
                          Case{"size split", {2016, 2, 8}, 8, 6, 16 * 1024}}) {
        SCOPED_TRACE(c.name);
        VanishingFolderUi vanishing;
        vanishing.dataFolder = DataFolder();
        vanishing.extension = ".xml";
        InstallEnvironment(*platform_, vanishing, DataFolder());
        ctx_ = &GetAppContext();
        ctx_->yearEnd = "1231";
        ctx_->maxArchiveSize = c.maxSize;
        vanishing.folder = UseFolder(std::string("archives-") + c.name);
        CloseSmc(*ctx_);
        RemoveCard('E');
        CardOptions o = Small(CardFamily::Zt4, c.days);
        o.start = c.start;
        o.receiptsPerDay = c.receiptsPerDay;
        MountCard('E', o);

        const ArchiveRunOutcome outcome = Complete();
        EXPECT_FALSE(outcome.success);
        EXPECT_EQ(outcome.result, kArchiveFolderMissing) << LogText();
        EXPECT_EQ(ToNarrow(outcome.messageLine), "Archive path not found. (" + AsFolder(vanishing.folder) + ")");
        EXPECT_FALSE(fs::exists(vanishing.folder));
        EXPECT_NE(LogText().find("Archival file path is not available"), std::string::npos);
        InstallEnvironment(*platform_, ui_, DataFolder());
        ctx_ = &GetAppContext();
    }
}

TEST_F(RunOutcomeTest, ADateRangeThatCannotBePreparedIsAFailedRun) {
    for (const CardFamily family : {CardFamily::Dx, CardFamily::Zt4}) {
        SCOPED_TRACE(FamilyName(family));
        CloseSmc(*ctx_);
        RemoveCard('E');
        CardOptions o = Small(family, 3);
        o.start = {2016, 2, 8};
        card_ = MountCard('E', o);
        CDateRange* range = DateArchiver();
        ASSERT_NE(range, nullptr);
        // The last sector cannot be read: both families look at it for the card's last date.
        emulators_['E' - 'A']->Faults().readErrorAtSector = card_.sectorsUsed - 1;
        const std::string before = LogText();
        DayDate first, last;
        EXPECT_FALSE(range->PrepareDateRange(&first, &last));
        ctx_->dateRangeUnavailable = true;  // as the date page does
        const ArchiveRunOutcome outcome = RunPage();
        emulators_['E' - 'A']->Faults().readErrorAtSector.reset();

        EXPECT_FALSE(outcome.success);
        EXPECT_NE(outcome.result, 0);
        EXPECT_EQ(outcome.result, kArchiveOtherFailure);
        EXPECT_TRUE(outcome.messageLine.empty());
        const std::string log = LogText().substr(before.size());
        EXPECT_EQ(Count(log, "Get block from WORM STORE failed"), 1u) << log;
        EXPECT_EQ(Count(log, "Find valid block range failed"), 1u) << log;
        EXPECT_EQ(Count(log, "ResultType : 0"), 1u) << log;
    }
}

TEST_F(RunOutcomeTest, AFailedReadWhileSeekingTheSignatureAfterTheLastClosureIsLoggedOnce) {
    card_ = MountCard('E', Small(CardFamily::Dx, 3));
    auto* archiver = dynamic_cast<CDateBasedArchiverdX*>(DateArchiver());
    ASSERT_NE(archiver, nullptr);
    DayDate first, last;
    ASSERT_TRUE(archiver->PrepareDateRange(&first, &last)) << LogText();
    // After the card's last closure the range can only end at it; the user says No.
    ui_.answers = {false};
    ASSERT_FALSE(FindRange(archiver, card_.firstDate, "2030-01-01"));
    ASSERT_NE(archiver->lastClosure, 0u);

    // The search starts again, and the sector after the closure cannot be read.
    emulators_['E' - 'A']->Faults().readErrorAtSector = archiver->lastClosure + 1;
    ctx_->worm->readAhead.Reset();
    const std::string before = LogText();
    ctx_->dateArchiveFailed = false;
    EXPECT_FALSE(archiver->FindSignatureAfterClosure(card_.sectorsUsed));
    EXPECT_TRUE(ctx_->dateArchiveFailed);
    const std::string log = LogText().substr(before.size());
    EXPECT_EQ(Count(log, "Get block from WORM STORE failed"), 1u) << log;
    EXPECT_EQ(Count(log, "Identify previous signature block failed"), 1u) << log;
}

}  // namespace
}  // namespace tv
