// Continue-from-last archives of dX cards: a card archived, grown by some days
// and archived again, with the profile that links the two runs.
#include "archive/PartialArchiverdX.h"
#include "archive/SmcProfile.h"
#include "archive/RunFixture.h"

namespace tv {
namespace {

class ContinueArchiveTest : public test::RunFixture {
protected:
    std::string Profile() const { return ReadFile(Join(DataFolder(), "SMCProfile.ini")); }
    std::string ProfileValue(const std::string& key) const {
        const std::string text = Profile();
        const size_t at = text.find(key + "=");
        if (at == std::string::npos) return {};
        return text.substr(at + key.size() + 1, text.find('\r', at) - at - key.size() - 1);
    }
    void SetProfileValue(const std::string& key, const std::string& value) {
        std::string text = Profile();
        const size_t at = text.find(key + "=");
        ASSERT_NE(at, std::string::npos);
        text.replace(at + key.size() + 1, text.find('\r', at) - at - key.size() - 1, value);
        WriteFile(Join(DataFolder(), "SMCProfile.ini"), text);
    }
    size_t ProfileBackups() const {
        size_t n = 0;
        for (const auto& e : std::filesystem::directory_iterator(DataFolder())) {
            n += e.path().filename().string().starts_with("SMCProfile_") ? 1 : 0;
        }
        return n;
    }
};

TEST_F(ContinueArchiveTest, TheSecondArchiveTakesExactlyWhatTheFirstLeftOut) {
    CardOptions o = Small(CardFamily::Dx, 3);
    o.multiSectorPercent = 40;
    card_ = MountCard('E', o);
    ASSERT_TRUE(Complete().success) << LogText();
    const std::vector<std::string> first = Lines(TempPath("archives"));
    const std::string archivedBlock = ProfileValue("LastArchivedBlockNum");

    Grow(3);
    const std::string second = UseFolder("continued");
    const ArchiveRunOutcome outcome = Continue();
    ASSERT_TRUE(outcome.success) << outcome.result << LogText();
    EXPECT_NE(ProfileValue("LastArchivedBlockNum"), archivedBlock);
    EXPECT_EQ(ProfileValue("LastArchivedEndDate"), card_.lastDate);
    const std::vector<std::string> next = Lines(second);

    // The whole grown card, archived at once.
    UseFolder("whole");
    ASSERT_TRUE(Complete().success);
    const std::vector<std::string> whole = Lines(TempPath("whole"));

    // The continued archive: the card's leading blocks up to the first signature
    // block, then the last signature incident group of the first archive again,
    // so that its chain starts on a signature, then every new block once.
    ASSERT_GT(first.size(), 5u);
    const auto lastW = std::find_if(first.rbegin(), first.rend(), [](const std::string& l) { return TypeOf(l) == 'W'; });
    const std::vector<std::string> anchor(lastW.base() - 1, first.end());
    ASSERT_GE(next.size(), 3 + anchor.size());
    EXPECT_EQ(std::vector<std::string>(next.begin(), next.begin() + 3), std::vector<std::string>(first.begin(), first.begin() + 3));
    EXPECT_EQ(std::vector<std::string>(next.begin() + 3, next.begin() + 3 + static_cast<long>(anchor.size())), anchor);
    std::vector<std::string> joined = first;
    joined.insert(joined.end(), next.begin() + 3 + static_cast<long>(anchor.size()), next.end());
    EXPECT_EQ(joined, whole);
    EXPECT_NE(TypeOf(next.at(3 + anchor.size())), 'W');
}

TEST_F(ContinueArchiveTest, ALargeContinuationIsSplitIntoFilesThatEachVerify) {
    CardOptions o = Small(CardFamily::Dx, 2);
    o.receiptsPerDay = 6;
    card_ = MountCard('E', o);
    ASSERT_TRUE(Complete().success);
    Grow(6);
    ctx_->maxArchiveSize = 24 * 1024;
    const std::string folder = UseFolder("parts");
    const ArchiveRunOutcome outcome = Continue();
    ASSERT_TRUE(outcome.success) << outcome.result << LogText();
    size_t parts = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        EXPECT_TRUE(VerifyArchiveFileQuietly(e.path().string())) << e.path();
        ++parts;
    }
    EXPECT_GE(parts, 2u);
    EXPECT_EQ(results_.ItemCount(), static_cast<int>(parts));
    EXPECT_EQ(ProfileValue("LastArchivedEndDate"), card_.lastDate);
}

TEST_F(ContinueArchiveTest, NothingNewSinceTheLastArchiveWritesNothing) {
    card_ = MountCard('E', Small(CardFamily::Dx, 2));
    ASSERT_TRUE(Complete().success);
    const std::string folder = UseFolder("again");
    const ArchiveRunOutcome outcome = Continue();
    EXPECT_FALSE(outcome.success);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(ToNarrow(outcome.messageLine), "No new data found.");
    EXPECT_TRUE(Logged("No new data in SMC"));
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    EXPECT_EQ(results_.ItemCount(), 0);
}

TEST_F(ContinueArchiveTest, AProfileThatDoesNotBelongToTheCardIsSetAside) {
    card_ = MountCard('E', Small(CardFamily::Dx, 2));
    ASSERT_TRUE(Complete().success);
    Grow(1);
    // The customisation ID is checked before the scale type.
    SetProfileValue("CustID", "QX34");
    SetProfileValue("ScaleType", "ZT4");
    const std::string folder = UseFolder("refused");
    ChooseCard();
    SetArchiveType(*ctx_, 2);
    const ArchiveRunOutcome outcome = RunPage();
    EXPECT_FALSE(outcome.success);
    EXPECT_EQ(test::LoggedErrors(LogText(), 5).front(), "Customisation ID in SMC profile file is incorrect");
    EXPECT_FALSE(FileExists(Join(DataFolder(), "SMCProfile.ini")));
    EXPECT_EQ(ProfileBackups(), 1u);
    EXPECT_TRUE(std::filesystem::is_empty(folder));

    // The next complete run starts a fresh profile, and continue works again.
    UseFolder("fresh");
    ASSERT_TRUE(Complete().success);
    EXPECT_EQ(ProfileValue("CustID"), "QX33");
    std::u16string info;
    ChooseCard();
    EXPECT_EQ(CheckSmcProfile(*ctx_, info), ProfileCheck::Valid);
}

TEST_F(ContinueArchiveTest, AMissingBlockNumberIsAnIncorrectProfile) {
    card_ = MountCard('E', Small(CardFamily::Dx, 2));
    ASSERT_TRUE(Complete().success);
    SetProfileValue("LastArchivedBlockNum", "0");
    ChooseCard();
    SetArchiveType(*ctx_, 2);
    EXPECT_FALSE(RunPage().success);
    EXPECT_TRUE(Logged("Last archived block number in SMC profile file is incorrect"));
    EXPECT_EQ(ProfileBackups(), 1u);
}

TEST_F(ContinueArchiveTest, UnclosedReceiptsOfferTheLastClosureOnlyWhenItIsNew) {
    // The same scale (seed) before and after more days, the newest receipts unclosed.
    CardOptions before = Small(CardFamily::Dx, 2);
    before.seed = 5;
    card_ = MountCard('E', before);
    ASSERT_TRUE(Complete().success);
    CardOptions after = before;
    after.days = 4;
    after.unclosedTailReceipts = 2;
    card_ = MountCard('E', after);

    // No to the question: result 4, nothing written.
    const std::string folder = UseFolder("later");
    ui_.answers = {false};
    ArchiveRunOutcome outcome = Continue();
    EXPECT_EQ(outcome.result, kArchiveNoClosure);
    EXPECT_EQ(ToNarrow(outcome.messageLine), "Closure not found! Do closure before archiving.");
    ASSERT_FALSE(ui_.shown.empty());
    EXPECT_NE(ToNarrow(ui_.shown.back().text).find("Do you want to archive only until the last available closure"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(folder));

    // Yes: the second run ends with the last closure group.
    ui_.answers = {true};
    ui_.shown.clear();
    outcome = Continue();
    ASSERT_TRUE(outcome.success) << LogText();
    EXPECT_TRUE(Logged("As per user's choice, Tallyvault will archive till last closure ["));
    const std::vector<std::string> lines = Lines(folder);
    // The group's signature, and the incident blocks right after it.
    const auto last = std::find_if(lines.rbegin(), lines.rend(), [](const std::string& l) {
        return std::string("CFPR").find(TypeOf(l)) == std::string::npos;
    });
    ASSERT_NE(last, lines.rend());
    EXPECT_EQ(TypeOf(*last), 'S');
    auto* partial = dynamic_cast<CPartialArchiverdX*>(ctx_->currentArchiver.get());
    ASSERT_NE(partial, nullptr);
    EXPECT_EQ(partial->archiveUpToEnd, CPartialArchiverdX::kUpToEnd);

    // Now only unclosed receipts are new: no question, result 4.
    UseFolder("nothing closed");
    ui_.shown.clear();
    ui_.answers = {true};
    outcome = Continue();
    EXPECT_EQ(outcome.result, kArchiveNoClosure);
    for (const std::string& text : Shown()) EXPECT_EQ(text.find("last available closure"), std::string::npos);
}

}  // namespace
}  // namespace tv
