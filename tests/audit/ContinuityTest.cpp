// Whether the archives of a folder join up: dX by block numbers, repeated
// anchors and the hash chain, ZT4 by dates and by the card's Archive.log.
#include <gtest/gtest.h>

#include "audit/Continuity.h"

namespace tv {
namespace {

BlockHash Hash(uint32_t seed, uint8_t salt = 0) {
    BlockHash hash{};
    for (size_t i = 0; i < 4; ++i) hash[i] = static_cast<uint8_t>(seed >> (8 * i));
    hash[31] = salt;
    return hash;
}

BlockMark Numbered(uint32_t number, char type = 'T') {
    BlockMark mark;
    mark.type = type;
    mark.numbered = true;
    mark.number = number;
    mark.position = number * 2;
    mark.previousHash = Hash(number - 1);
    mark.currentHash = Hash(number);
    return mark;
}

// The signature incident block before signature block `number` (short form).
BlockMark Incident(uint32_t number) {
    BlockMark mark;
    mark.type = 'W';
    mark.position = number * 2 - 1;
    mark.currentHash = Hash(number, 'W');
    return mark;
}

// A dX archive of blocks first..last (its last one a signature block); with
// an anchor it first repeats the W and S that end at block first - 1.
FileAudit Dx(const std::string& name, uint32_t first, uint32_t last, bool anchor = false,
             const std::string& uid = "CARD-A") {
    FileAudit file;
    file.path = "/archives/" + name;
    file.family = "dX";
    file.smcUid = uid;
    file.scaleSerial = uid + "-SN";
    file.leadingBlocks = 3;
    if (anchor) {
        file.head.push_back(Incident(first - 1));
        file.head.push_back(Numbered(first - 1, 'S'));
    }
    for (uint32_t n = first; n <= last && file.head.size() < FileAudit::kHeadMarks; ++n) {
        file.head.push_back(Numbered(n));
    }
    file.last = Numbered(last, 'S');
    file.hasNumbers = true;
    file.firstNumber = anchor ? first - 1 : first;
    file.lastNumber = last;
    file.firstDate = "2024-01-01 00:00:" + std::to_string(10 + first % 50);
    file.lastDate = "2024-02-01 00:00:" + std::to_string(10 + last % 50);
    file.blockCount = last - first + 1 + file.leadingBlocks;
    return file;
}

AuditTrail Trail(std::vector<FileAudit> files) {
    AuditTrail trail;
    trail.files = std::move(files);
    return trail;
}

const CardContinuity& OnlyCard(const ContinuityReport& report) {
    EXPECT_EQ(report.cards.size(), 1u);
    return report.cards.at(0);
}

TEST(DxContinuityTest, SplitPartsRepeatingTheAnchorAndContinuedRunsJoin) {
    // Split: part 2 repeats part 1's closing W and S; continued: no repeat.
    const AuditTrail trail = Trail({Dx("a.csv", 1, 100), Dx("b.csv", 101, 200, true), Dx("c.csv", 201, 260)});
    const ContinuityReport report = CheckContinuity(trail, nullptr);
    const CardContinuity& card = OnlyCard(report);
    EXPECT_EQ(card.files, (std::vector<size_t>{0, 1, 2}));
    ASSERT_EQ(card.joins.size(), 2u);
    EXPECT_EQ(card.joins[0].kind, JoinKind::kJoined);
    EXPECT_EQ(card.joins[1].kind, JoinKind::kJoined);
    ASSERT_EQ(card.covered.size(), 1u);
    EXPECT_EQ(card.covered[0].firstNumber, 1u);
    EXPECT_EQ(card.covered[0].lastNumber, 260u);
    EXPECT_EQ(card.covered[0].firstDate, trail.files[0].firstDate);
    EXPECT_EQ(card.covered[0].lastDate, trail.files[2].lastDate);
    EXPECT_TRUE(report.Complete());
}

TEST(DxContinuityTest, GapsNameTheMissingBlocksAndSplitTheCoveredSpans) {
    // Without an anchor, and with an anchor that is not the first file's end.
    const AuditTrail trail = Trail({Dx("a.csv", 1, 100), Dx("b.csv", 120, 150), Dx("c.csv", 160, 170, true)});
    const ContinuityReport report = CheckContinuity(trail, nullptr);
    const CardContinuity& card = OnlyCard(report);
    ASSERT_EQ(card.joins.size(), 2u);
    EXPECT_EQ(card.joins[0].kind, JoinKind::kGap);
    EXPECT_EQ(card.joins[0].missingFirst, 101u);
    EXPECT_EQ(card.joins[0].missingLast, 119u);
    EXPECT_EQ(card.joins[1].kind, JoinKind::kGap);
    EXPECT_EQ(card.joins[1].missingFirst, 151u);
    EXPECT_EQ(card.joins[1].missingLast, 158u);  // c holds the W and S of block 159
    ASSERT_EQ(card.covered.size(), 3u);
    EXPECT_EQ(card.covered[1].firstNumber, 120u);
    EXPECT_EQ(card.covered[1].lastNumber, 150u);
    EXPECT_FALSE(card.Complete());
}

TEST(DxContinuityTest, OverlapsBeyondTheAnchorNameTheRepeatedBlocks) {
    const AuditTrail trail = Trail({Dx("a.csv", 1, 100), Dx("b.csv", 90, 150), Dx("c.csv", 140, 145, true)});
    const ContinuityReport report = CheckContinuity(trail, nullptr);
    const CardContinuity& card = OnlyCard(report);
    ASSERT_EQ(card.joins.size(), 2u);
    EXPECT_EQ(card.joins[0].kind, JoinKind::kOverlap);
    EXPECT_EQ(card.joins[0].repeatedFirst, 90u);
    EXPECT_EQ(card.joins[0].repeatedLast, 100u);
    EXPECT_EQ(card.joins[1].kind, JoinKind::kOverlap);  // wholly inside b
    EXPECT_EQ(card.joins[1].repeatedFirst, 139u);  // from its W and S of block 139
    EXPECT_EQ(card.joins[1].repeatedLast, 145u);
    ASSERT_EQ(card.covered.size(), 1u);
    EXPECT_EQ(card.covered[0].lastNumber, 150u);
    EXPECT_FALSE(card.Complete());
}

TEST(DxContinuityTest, NumbersThatJoinButHashesThatDoNotAreAChainBreak) {
    FileAudit afterAnchor = Dx("b.csv", 101, 200, true);
    afterAnchor.head[2].previousHash = Hash(7777);
    FileAudit noAnchor = Dx("c.csv", 201, 300);
    noAnchor.head[0].previousHash = Hash(8888);
    const AuditTrail trail = Trail({Dx("a.csv", 1, 100), afterAnchor, noAnchor});
    const ContinuityReport report = CheckContinuity(trail, nullptr);
    const CardContinuity& card = OnlyCard(report);
    ASSERT_EQ(card.joins.size(), 2u);
    EXPECT_EQ(card.joins[0].kind, JoinKind::kChainBreak);
    EXPECT_EQ(card.joins[1].kind, JoinKind::kChainBreak);
    EXPECT_FALSE(card.Complete());

    // The anchor's own W carries whatever the card had before it: not compared.
    FileAudit otherW = Dx("b.csv", 101, 200, true);
    otherW.head[0].previousHash = Hash(9999);
    EXPECT_TRUE(CheckContinuity(Trail({Dx("a.csv", 1, 100), otherW}), nullptr).Complete());
}

TEST(DxContinuityTest, FilesArePutInCardOrderAndCardsKeptApart) {
    const AuditTrail trail = Trail({Dx("y2.csv", 51, 80, true, "CARD-Y"), Dx("x2.csv", 101, 200, true),
                                    Dx("y1.csv", 1, 50, false, "CARD-Y"), Dx("x3.csv", 201, 300),
                                    Dx("x1.csv", 1, 100)});
    const ContinuityReport report = CheckContinuity(trail, nullptr);
    ASSERT_EQ(report.cards.size(), 2u);
    EXPECT_EQ(report.cards[0].smcUid, "CARD-Y");
    EXPECT_EQ(report.cards[0].files, (std::vector<size_t>{2, 0}));
    EXPECT_EQ(report.cards[1].smcUid, "CARD-A");
    EXPECT_EQ(report.cards[1].files, (std::vector<size_t>{4, 1, 3}));
    for (const CardContinuity& card : report.cards) {
        for (const Join& join : card.joins) EXPECT_EQ(join.kind, JoinKind::kJoined);
        EXPECT_EQ(card.covered.size(), 1u);
    }
    EXPECT_TRUE(report.Complete());
}

TEST(DxContinuityTest, FilesWithoutBlocksJoinNothingAndLogsAreNoArchives) {
    FileAudit unreadable;
    unreadable.path = "/archives/broken.csv";
    unreadable.family = "dX";
    unreadable.smcUid = "CARD-A";
    FileAudit log;
    log.path = "/archives/Archive.log";
    log.family = "Archive.log";
    log.smcUid = "CARD-A";
    const AuditTrail trail = Trail({Dx("a.csv", 1, 100), unreadable, log, Dx("b.csv", 101, 120)});
    const ContinuityReport report = CheckContinuity(trail, nullptr);
    const CardContinuity& card = OnlyCard(report);
    EXPECT_EQ(card.files, (std::vector<size_t>{0, 3, 1}));
    ASSERT_EQ(card.joins.size(), 2u);
    EXPECT_EQ(card.joins[0].kind, JoinKind::kJoined);
    EXPECT_EQ(card.joins[1].kind, JoinKind::kUnknown);
    EXPECT_EQ(card.covered.size(), 1u);
    // An unreadable archive leaves the folder's continuity unproven.
    EXPECT_FALSE(card.Complete());
}

FileAudit Zt4(const std::string& name, const std::string& start, const std::string& end,
              const std::string& uid = "NCD-1") {
    FileAudit file;
    file.path = "/zt4/" + name;
    file.family = "ZT4";
    file.smcUid = uid;
    file.scaleSerial = "SN42";
    file.firstDate = start;
    file.lastDate = end;
    file.blockCount = 10;
    return file;
}

LogRecord Logged(const std::string& name, const std::string& start, const std::string& end,
                 const std::string& uid = "00112233445566778899AABBCCDDEEFF") {
    LogRecord record;
    record.scaleSerial = "SN42";
    record.smcUid = uid;
    record.fileName = name;
    record.startDate = start;
    record.endDate = end;
    return record;
}

TEST(Zt4ContinuityTest, DatesOrderTheFilesAndShowOverlapsButNoGaps) {
    const AuditTrail trail = Trail({Zt4("b.xml", "2024-02-01 00:00:00", "2024-03-01 00:00:00"),
                                    Zt4("a.xml", "2024-01-01 00:00:00", "2024-02-01 00:00:00"),
                                    Zt4("c.xml", "2024-05-01 00:00:00", "2024-06-01 00:00:00"),
                                    Zt4("d.xml", "2024-05-15 00:00:00", "2024-07-01 00:00:00")});
    const ContinuityReport report = CheckContinuity(trail, nullptr);
    const CardContinuity& card = OnlyCard(report);
    EXPECT_EQ(card.files, (std::vector<size_t>{1, 0, 2, 3}));
    ASSERT_EQ(card.joins.size(), 3u);
    EXPECT_EQ(card.joins[0].kind, JoinKind::kJoined);
    EXPECT_EQ(card.joins[1].kind, JoinKind::kJoined);  // a month apart, but dates cannot show a gap
    EXPECT_EQ(card.joins[2].kind, JoinKind::kOverlap);
    ASSERT_EQ(card.covered.size(), 1u);
    EXPECT_EQ(card.covered[0].firstDate, "2024-01-01 00:00:00");
    EXPECT_EQ(card.covered[0].lastDate, "2024-07-01 00:00:00");
    EXPECT_FALSE(card.logGiven);
    EXPECT_FALSE(card.Complete());
}

TEST(Zt4ContinuityTest, TheLogShowsMissingDifferingAndUnloggedFiles) {
    const AuditTrail trail = Trail({Zt4("A.xml", "2024-01-01 00:00:00", "2024-02-01 00:00:00"),
                                    Zt4("B.xml", "2024-02-01 00:00:00", "2024-03-01 00:00:00"),
                                    Zt4("extra.xml", "2024-03-01 00:00:00", "2024-04-01 00:00:00")});
    const std::vector<LogRecord> log = {
        Logged("a.XML", "2024-01-01 00:00:00", "2024-02-01 00:00:00"),   // names match in any case
        Logged("B.xml", "2024-02-01 00:00:00", "2024-03-02 00:00:00"),   // end date differs
        Logged("gone.xml", "2024-04-01 00:00:00", "2024-05-01 00:00:00"),
    };
    // The folder's files name the card "NCD-1", the log by hex: the serial ties them.
    const ContinuityReport report = CheckContinuity(trail, &log);
    const CardContinuity& card = OnlyCard(report);
    EXPECT_TRUE(card.logGiven);
    ASSERT_EQ(card.missingFromFolder.size(), 1u);
    EXPECT_EQ(card.missingFromFolder[0].fileName, "gone.xml");
    ASSERT_EQ(card.differingFromLog.size(), 1u);
    EXPECT_EQ(card.differingFromLog[0].fileName, "B.xml");
    EXPECT_EQ(card.notInLog, (std::vector<size_t>{2}));
    EXPECT_FALSE(report.Complete());

    // The same card named alike on both sides, the log matching the folder.
    const std::vector<LogRecord> matching = {Logged("A.xml", "2024-01-01 00:00:00", "2024-02-01 00:00:00", "ncd-1"),
                                             Logged("B.xml", "2024-02-01 00:00:00", "2024-03-01 00:00:00", "NCD-1")};
    const AuditTrail two = Trail({trail.files[0], trail.files[1]});
    EXPECT_TRUE(CheckContinuity(two, &matching).Complete());
}

TEST(Zt4ContinuityTest, LoggedFilesOfACardAbsentFromTheFolderAreAllMissing) {
    const AuditTrail trail = Trail({Zt4("A.xml", "2024-01-01 00:00:00", "2024-02-01 00:00:00")});
    LogRecord other = Logged("x.xml", "2024-01-01 00:00:00", "2024-02-01 00:00:00", "FFEE");
    other.scaleSerial = "SN99";
    const std::vector<LogRecord> log = {Logged("A.xml", "2024-01-01 00:00:00", "2024-02-01 00:00:00"), other};
    const ContinuityReport report = CheckContinuity(trail, &log);
    ASSERT_EQ(report.cards.size(), 2u);
    EXPECT_TRUE(report.cards[0].Complete());
    EXPECT_TRUE(report.cards[1].files.empty());
    ASSERT_EQ(report.cards[1].missingFromFolder.size(), 1u);
    EXPECT_EQ(report.cards[1].missingFromFolder[0].fileName, "x.xml");
    EXPECT_FALSE(report.Complete());
}

}  // namespace
}  // namespace tv
