// Archive.log on the card: the check when the card is chosen, cutting the
// signature off before a record is added, and the replacement of the card's log
// that a crash cannot leave half done.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "smc/SmcDiscovery.h"
#include "support/GeneratedCard.h"
#include "zt4/ArchiveLog.h"
#include "zt4/LogSignatureWriter.h"

namespace tv {
namespace {

namespace fs = std::filesystem;

class ArchiveLogTest : public test::CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        ctx_ = &GetAppContext();
        CardOptions o = Small(CardFamily::Zt4, 1);
        o.start = CalendarDate{2016, 2, 8};
        card_ = MountCard('E', o);
        root_ = CardFolder('E');
    }
    bool Choose() {
        ui_.shown.clear();
        const SmcList list = ScanSmcDrives(*ctx_);
        return IdentifySmc(*ctx_, list.entries.at(1), SmcPurpose::Archiving) == SmcIdentity::Accepted;
    }
    // A log of this card with one record, signed.
    std::string SignedLog(const std::string& path, const std::string& marker) {
        WriteFile(path, "[" + card_.smcUid + "]\r\n\r\nScale serial num             : " + marker + "\r\n");
        EXPECT_TRUE(SignLogFile(path));
        return ReadFile(path);
    }
    bool Shown(MessageId id) const {
        for (const auto& m : ui_.shown) {
            if (m.text.find(GetMessageText(id)) != std::u16string::npos) return true;
        }
        return false;
    }

    AppContext* ctx_ = nullptr;
    CardSummary card_;
    std::string root_;
};

TEST_F(ArchiveLogTest, RemovingTheSignatureLeavesTheRecordsAsTheyWereSigned) {
    const std::string path = TempPath("Archive.log");
    const std::string records = "[" + card_.smcUid + "]\r\n\r\nScale serial num             : K7Q29\r\n";
    WriteFile(path, records);
    ASSERT_TRUE(SignLogFile(path));
    ASSERT_NE(ReadFile(path), records);
    ASSERT_TRUE(RemoveLogSignature(path));
    EXPECT_EQ(ReadFile(path), records);
}

TEST_F(ArchiveLogTest, ATrailerOutOfShapeIsNotCut) {
    struct Case {
        const char* name;
        std::string tail;
        const char* message;
    };
    const std::string head = "[" + card_.smcUid + "]\r\n\r\nScale serial num             : K7Q29\r\n";
    for (const Case& c : {Case{"line break in the signature", "\r\nDigital Signature:\r\nMIGH\r\nAkIB",
                               "New line characters found at unexpected position in log"},
                          Case{"no trailer", "Archive file name            : x.xml\r\n",
                               "'Digital Signature:' text is not found in 'Archive.log'"}}) {
        SCOPED_TRACE(c.name);
        const std::string path = TempPath("Archive.log");
        WriteFile(path, head + c.tail);
        EXPECT_FALSE(RemoveLogSignature(path));
        EXPECT_EQ(ReadFile(path), head + c.tail);
        EXPECT_NE(LogText().find(c.message), std::string::npos);
    }
}

TEST_F(ArchiveLogTest, ALogTooShortForItsHeaderIsLoggedAsAMismatch) {
    ASSERT_TRUE(Choose());
    const std::string log = Join(root_, "Archive.log");
    for (const std::string& content : {std::string(), "[" + card_.smcUid.substr(0, 20)}) {
        SCOPED_TRACE(content.size());
        WriteFile(log, content);
        ctx_->archiveLogState = 0;
        ui_.shown.clear();
        EXPECT_TRUE(CheckArchiveLogUid(*ctx_, log));
        EXPECT_EQ(ctx_->archiveLogState, 1);
        EXPECT_TRUE(Shown(275));
        const auto errors = test::LoggedErrors(LogText(), kModSbcSelectionPage);
        ASSERT_FALSE(errors.empty());
        EXPECT_EQ(errors.back(), "SMC's UID mismatches with UID in 'Achive.log'. UID in log - " + content);
        EXPECT_EQ(ReadFile(log), content);
    }
}

TEST_F(ArchiveLogTest, AnUnreadableCardIdFailsTheCheckInsteadOfSettingTheLogAside) {
    ASSERT_TRUE(Choose());
    const std::string log = Join(root_, "Archive.log");
    const std::string content = SignedLog(log, "K7Q29");
    ctx_->archiveLogState = 0;
    ui_.shown.clear();
    emulators_['E' - 'A']->Faults().infoReadsBeforeError = 0;
    EXPECT_FALSE(CheckArchiveLogUid(*ctx_, log));
    emulators_['E' - 'A']->Faults().infoReadsBeforeError = -1;
    EXPECT_NE(ctx_->archiveLogState, 1);
    EXPECT_FALSE(Shown(275));
    EXPECT_EQ(ReadFile(log), content);
}

TEST_F(ArchiveLogTest, ALogLeftHalfReplacedIsPutRightWhenTheCardIsChosen) {
    const std::string log = Join(root_, "Archive.log");
    const std::string fresh = Join(root_, "Archive.log.new");
    const std::string old = Join(root_, "Archive.log.old");
    struct Case {
        const char* name;
        bool withLog;
        bool wholeNew;
        bool withOld;
        const char* expected;  // which content ends as the card's log
    };
    for (const Case& c : {Case{"swap interrupted after the old log went aside", false, true, true, "new"},
                          Case{"copy interrupted, old log aside", false, false, true, "old"},
                          Case{"copy interrupted before the swap", true, false, false, "old"},
                          Case{"swap done, old log not yet removed", true, true, true, "log"}}) {
        SCOPED_TRACE(c.name);
        for (const std::string& p : {log, fresh, old}) fs::remove(p);
        const std::string newContent = SignedLog(TempPath("new.log"), "NEW");
        const std::string oldContent = SignedLog(TempPath("old.log"), "OLD");
        if (c.withLog) WriteFile(log, c.wholeNew && c.withOld ? newContent : oldContent);
        if (c.wholeNew) WriteFile(fresh, newContent);
        if (!c.wholeNew) WriteFile(fresh, newContent.substr(0, 60));
        if (c.withOld) WriteFile(old, oldContent);
        ASSERT_TRUE(Choose());
        const std::string expected = std::string(c.expected) == "old" ? oldContent : newContent;
        EXPECT_EQ(ReadFile(log), expected);
        EXPECT_FALSE(fs::exists(fresh));
        EXPECT_FALSE(fs::exists(old));
        EXPECT_EQ(ctx_->archiveLogState, 2);
    }
}

TEST_F(ArchiveLogTest, CopiesCutShortOnTheCardGoWhenTheCardIsChosen) {
    const std::string log = Join(root_, "Archive.log");
    const std::string content = SignedLog(log, "OLD");
    const std::string partialLog = log + Platform::kPublishTempSuffix;
    const std::string partialErr = Join(root_, "ARCHIVE_X.err") + Platform::kPublishTempSuffix;
    WriteFile(partialLog, content.substr(0, 60));
    WriteFile(partialErr, "Copying archive to");
    fs::permissions(partialErr, fs::perms::owner_write, fs::perm_options::remove);
    ASSERT_TRUE(Choose());
    EXPECT_EQ(ReadFile(log), content);
    EXPECT_FALSE(fs::exists(partialLog));
    EXPECT_FALSE(fs::exists(partialErr));
    EXPECT_EQ(ctx_->archiveLogState, 2);
    EXPECT_NE(LogText().find("Incomplete file of an interrupted run removed from SMC"), std::string::npos);
}

TEST_F(ArchiveLogTest, PublishingReplacesTheCardsLogWholeOrNotAtAll) {
    ASSERT_TRUE(Choose());
    const std::string log = Join(root_, "Archive.log");
    const std::string before = SignedLog(log, "OLD");
    const std::string after = SignedLog(DataArchiveLogPath(), "NEW");
    int error = 0;
    platform_->InjectFault(FaultOp::Move, kErrAccessDenied, "Archive.log", 1);
    EXPECT_FALSE(PublishArchiveLogToCard(*ctx_, error));
    EXPECT_EQ(ReadFile(log), before);
    platform_->ClearFaults();
    ASSERT_TRUE(PublishArchiveLogToCard(*ctx_, error));
    EXPECT_EQ(ReadFile(log), after);
    for (const auto& e : fs::directory_iterator(root_)) {
        const std::string name = e.path().string();
        EXPECT_FALSE(name.ends_with(".new") || name.ends_with(".old") || name.ends_with(Platform::kPublishTempSuffix))
            << e.path();
    }
}

}  // namespace
}  // namespace tv
