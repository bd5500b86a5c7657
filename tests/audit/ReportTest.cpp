// The report's HTML: every file, check and verdict, escaped names, failures
// that show in black and white, the configured language; written whole or not
// at all.
#include <gtest/gtest.h>

#include "app/AppContext.h"
#include "audit/Report.h"
#include "messages/Messages.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

class ReportTest : public test::TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        GetAppContext().language = "English";
        FileAudit& good = trail_.Begin("/folder/good.csv", "dX");
        good.size = 1234;
        good.sha256 = std::string(64, 'a');
        good.againstCard = true;
        good.cardUid = "UID-0001";
        good.cardSerial = "SERIAL-77";
        good.keySource = KeySource::kCard;
        good.publicKey = "04ABCDEF";
        good.SetCheck(CheckKind::kHashChain, Verdict::kPassed);
        good.SetCheck(CheckKind::kRootHash, Verdict::kPassed, u"ROOT-HASH-TEXT");
        good.outcome = FileOutcome::kVerified;
        good.hasNumbers = true;
        good.firstNumber = 1;
        good.lastNumber = 50;

        FileAudit& bad = trail_.Begin("/folder/<script>alert(\"x\")</script>&.csv", "dX");
        bad.size = 99;
        bad.keySource = KeySource::kPinned;
        bad.SetCheck(CheckKind::kHashChain, Verdict::kFailed, u"block <b>7</b>");
        bad.SetCheck(CheckKind::kSignatureBlocks, Verdict::kNotChecked);
        bad.findings.push_back(Finding{14, true, 7, u"Previous hash validation failed"});
        bad.findingsNotListed = 12;
        bad.outcome = FileOutcome::kIntegrityFailure;
        bad.hasNumbers = true;
        bad.firstNumber = 60;
        bad.lastNumber = 70;

        tv::Join gap;
        gap.before = 0;
        gap.after = 1;
        gap.kind = JoinKind::kGap;
        gap.missingFirst = 51;
        gap.missingLast = 59;
        CardContinuity card;
        card.family = "dX";
        card.smcUid = "UID-0001";
        card.files = {0, 1};
        card.joins = {gap};
        card.covered = {CoveredSpan{true, 1, 50, "2024-01-01 10:00:00", "2024-01-31 10:00:00"},
                        CoveredSpan{true, 60, 70, "2024-03-01 10:00:00", "2024-03-31 10:00:00"}};
        continuity_.cards = {card};

        input_.checkedPath = "/folder";
        input_.createdAt = "2026-12-10 05:00:00";
        input_.version = "2.0.0";
        input_.trail = &trail_;
        input_.columns = {u"File name", u"Status", u"Remarks"};
        input_.rows = {{u"good.csv", u"Success", u""}, {u"bad.csv", u"Failed", u"Failed when verifying block 7"}};
        input_.continuity = &continuity_;
        input_.summary = u"Verification failed.";
    }

    AuditTrail trail_;
    ContinuityReport continuity_;
    ReportInput input_;
};

TEST_F(ReportTest, HoldsEveryFileCheckVerdictRowAndContinuityFact) {
    const std::string html = RenderReportHtml(input_);
    const std::string sha256(64, 'a');
    EXPECT_NE(html.find(sha256), std::string::npos);
    for (const char* part :
         {"Verification report", "2026-12-10 05:00:00", "2.0.0", "good.csv", "1234 bytes",
          "UID-0001", "SERIAL-77", "read from the card", "04ABCDEF", "pinned by the user", "Hash chain", "Passed",
          "ROOT-HASH-TEXT", "Signature blocks", "Not checked", "Previous hash validation failed",
          "and 12 more failing blocks not listed", "File name", "Failed when verifying block 7",
          "Verification failed.", "GAP: blocks 51 to 59", "blocks 1 to 50", "blocks 60 to 70",
          "The archives do NOT join up."}) {
        EXPECT_NE(html.find(part), std::string::npos) << part;
    }
    // Self-contained: nothing fetched, nothing run.
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_EQ(html.find("src="), std::string::npos);
    EXPECT_EQ(html.find("<link"), std::string::npos);
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
}

TEST_F(ReportTest, HostileTextIsEscapedEverywhere) {
    input_.checkedPath = "/x/<img onerror=1>";
    input_.rows.push_back({u"<iframe>"});
    const std::string html = RenderReportHtml(input_);
    EXPECT_NE(html.find("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;&amp;.csv"), std::string::npos);
    EXPECT_NE(html.find("block &lt;b&gt;7&lt;/b&gt;"), std::string::npos);
    EXPECT_EQ(html.find("<img"), std::string::npos);
    EXPECT_EQ(html.find("<iframe"), std::string::npos);
    EXPECT_EQ(html.find("<b>7</b>"), std::string::npos);
}

TEST_F(ReportTest, OnlyTheFailedFileCarriesTheFailureMarks) {
    const std::string html = RenderReportHtml(input_);
    EXPECT_EQ(Count(html, "class=\"file failed\""), 1u);
    EXPECT_EQ(Count(html, "class=\"file\""), 1u);
    EXPECT_EQ(Count(html, "VERIFIED"), 1u);
    // The failed file's section holds the badge; the good one's does not.
    const size_t failedAt = html.find("class=\"file failed\"");
    const size_t goodAt = html.find("class=\"file\"");
    ASSERT_LT(goodAt, failedAt);
    EXPECT_EQ(html.substr(goodAt, failedAt - goodAt).find("FAILED"), std::string::npos);
    EXPECT_NE(html.substr(failedAt).find("FAILED"), std::string::npos);

    trail_.files[1].outcome = FileOutcome::kVerified;
    EXPECT_EQ(Count(RenderReportHtml(input_), "file failed"), 0u);
}

TEST_F(ReportTest, LabelsFollowTheConfiguredLanguage) {
    GetAppContext().language = "French";
    const std::string html = RenderReportHtml(input_);
    for (const char* part : {"lang=\"fr\"", "Rapport de vérification", "ÉCHEC", "VÉRIFIÉ", "Chaîne de hachage",
                             "lue sur la carte", "LACUNE : les blocs 51 à 59", "et 12 autres blocs"}) {
        EXPECT_NE(html.find(part), std::string::npos) << part;
    }
    EXPECT_EQ(html.find("Verification report"), std::string::npos);
    input_.zt4 = true;
    input_.continuity = nullptr;
    const std::string zt4 = RenderReportHtml(input_);
    EXPECT_NE(zt4.find("Rapport de validation"), std::string::npos);
    EXPECT_NE(zt4.find("La continuité n'a pas été vérifiée."), std::string::npos);
}

TEST_F(ReportTest, TheLogComparisonIsListed) {
    CardContinuity card;
    card.family = "ZT4";
    card.smcUid = "NCD";
    card.files = {0};
    card.logGiven = true;
    LogRecord gone;
    gone.fileName = "gone.xml";
    gone.startDate = "2024-04-01 00:00:00";
    card.missingFromFolder = {gone};
    card.notInLog = {0};
    continuity_.cards = {card};
    const std::string html = RenderReportHtml(input_);
    for (const char* part : {"Logged files missing from the folder", "gone.xml", "2024-04-01 00:00:00",
                             "Files whose dates differ from Archive.log", "Files Archive.log does not name"}) {
        EXPECT_NE(html.find(part), std::string::npos) << part;
    }
}

TEST_F(ReportTest, WritesWholeOrLeavesTheOldReport) {
    const std::string path = TempPath("report.html");
    std::u16string error;
    ASSERT_TRUE(WriteReportText(path, "first", error));
    EXPECT_EQ(ReadFile(path), "first");
    ASSERT_TRUE(WriteReportText(path, "second", error));
    EXPECT_EQ(ReadFile(path), "second");

    platform_->InjectFault(FaultOp::Write, kErrDiskFull);
    EXPECT_FALSE(WriteReportText(path, std::string(100000, 'x'), error));
    EXPECT_NE(error.find(u"report.html"), std::u16string::npos);
    platform_->ClearFaults();
    EXPECT_EQ(ReadFile(path), "second");
    EXPECT_FALSE(FileExists(Platform::PublishTempName(path)));

    EXPECT_FALSE(WriteReportText(TempPath("no-such-folder/r.html"), "x", error));
}

TEST_F(ReportTest, EveryLabelHasAnEnglishAndAFrenchText) {
    for (MessageId id = 500; id <= 578; ++id) {
        GetAppContext().language = "English";
        const std::u16string english = GetMessageText(id);
        GetAppContext().language = "French";
        const std::u16string french = GetMessageText(id);
        EXPECT_NE(english, u"Undefined string") << id;
        EXPECT_NE(french, u"Undefined string") << id;
        // Placeholders are the same in both languages.
        for (const char16_t* mark : {u"{n}", u"{first}", u"{last}", u"{uid}", u"{serial}"}) {
            EXPECT_EQ(english.find(mark) == std::u16string::npos, french.find(mark) == std::u16string::npos) << id;
        }
    }
}

TEST(ReportPathTest, KindsAreToldByTheEndingInAnyCase) {
    EXPECT_TRUE(IsPdfReportPath("a/report.PDF"));
    EXPECT_FALSE(IsPdfReportPath("pdf"));
    EXPECT_TRUE(IsHtmlReportPath("r.html"));
    EXPECT_TRUE(IsHtmlReportPath("R.HTM"));
    EXPECT_FALSE(IsHtmlReportPath("r.html.txt"));
    EXPECT_FALSE(IsHtmlReportPath("r.pdf"));
}

}  // namespace
}  // namespace tv
