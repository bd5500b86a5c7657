// SMCProfile.ini: the check when a card is chosen and the update after a run.
#include <gtest/gtest.h>

#include "app/AppContext.h"
#include "archive/SmcProfile.h"
#include "config/Configuration.h"
#include "platform/Text.h"
#include "smc/SmcAccess.h"
#include "support/GeneratedCard.h"
#include "support/Wine.h"

namespace tv {
namespace {

class SmcProfileTest : public test::CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        ctx_ = &GetAppContext();
        card_ = MountCard('E', Small(CardFamily::Dx));
        ctx_->drive = "E";
        ctx_->scaleType = '0';
        ASSERT_TRUE(SmcProfilePath(*ctx_, path_));
    }
    ProfileRecord Record() const {
        ProfileRecord r;
        r.smcUid = card_.smcUid;
        r.scaleSerialNumber = card_.scaleSerialNumber;
        r.startDateText = "2015-12-20";
        r.endDateText = "2015-12-21";
        r.scaleTypeText = "dX";
        r.customisationId = "QX33";
        r.printableUid = card_.printableUid;
        r.lastArchivedBlock = 77;
        return r;
    }
    AppContext* ctx_ = nullptr;
    CardSummary card_;
    std::string path_;
};

TEST_F(SmcProfileTest, FirstRunWritesTheSectionThatTheNextCheckAccepts) {
    std::u16string info;
    EXPECT_EQ(CheckSmcProfile(*ctx_, info), ProfileCheck::Absent);
    EXPECT_TRUE(info.empty());
    EXPECT_FALSE(ctx_->worm);  // the check closes the card

    ASSERT_TRUE(UpdateSmcProfile(*ctx_, Record()));
    const std::string text = ReadFile(path_);
    EXPECT_EQ(text, "[SMC_" + card_.smcUid + "]\r\nScaleSN=" + card_.scaleSerialNumber + "\r\nUID=" +
                        card_.printableUid + "\r\nCustID=QX33\r\nScaleType=dX\r\nLastArchivedBlockNum=77\r\n"
                        "LastArchivedStartDate=2015-12-20\r\nLastArchivedEndDate=2015-12-21\r\n");
    EXPECT_EQ(CheckSmcProfile(*ctx_, info), ProfileCheck::Valid);
    EXPECT_EQ(ToNarrow(info), "[Previous archive info: 2015-12-20 to 2015-12-21]");

    // A second card gets its own section after a blank line; the first stays
    // (wine's INI functions drop blank lines when they write).
    ProfileRecord other = Record();
    other.smcUid = std::string(32, 'A');
    ASSERT_TRUE(UpdateSmcProfile(*ctx_, other));
    EXPECT_EQ(ReadFile(path_).find(text), 0u);
    const std::string header = "[SMC_" + other.smcUid + "]\r\n";
    EXPECT_NE(ReadFile(path_).find(test::RunningUnderWine() ? "\r\n" + header : "\r\n\r\n" + header),
              std::string::npos);
}

TEST_F(SmcProfileTest, ProfilesThatDoNotBelongToTheCardAreSetAside) {
    const std::vector<std::pair<std::string, std::string>> damage = {
        {"CustID", "QX34"}, {"LastArchivedBlockNum", "0"}, {"LastArchivedStartDate", "1969-12-31"},
        {"ScaleType", "ZT4"}, {"UID", "X"}, {"ScaleSN", "OTHER"}, {"LastArchivedEndDate", "2015-13-01"}};
    const std::vector<std::string> messages = {
        "Last archived customisation ID in SMC profile file is incorrect",
        "Last archived block number in SMC profile file is incorrect",
        "Last archived start date in SMC profile file is incorrect",
        "Last archived scale type in SMC profile file is incorrect",
        "SMC UID in SMC profile file is incorrect",
        "Scale Serial number in SMC profile file is incorrect",
        "Last archived end date in SMC profile file is incorrect"};
    for (size_t i = 0; i < damage.size(); ++i) {
        SCOPED_TRACE(damage[i].first);
        ASSERT_TRUE(UpdateSmcProfile(*ctx_, Record()));
        platform_->WritePrivateProfileString(ToUtf16("SMC_" + card_.smcUid).c_str(), ToUtf16(damage[i].first).c_str(),
                                             ToUtf16(damage[i].second).c_str(), path_);
        platform_->Advance(1);
        std::u16string info;
        EXPECT_EQ(CheckSmcProfile(*ctx_, info), ProfileCheck::Invalid);
        EXPECT_FALSE(FileExists(path_));
        EXPECT_NE(LogText().find(messages[i]), std::string::npos);
    }
    EXPECT_EQ(ToNarrow(ui_.shown.back().text).substr(0, 42), "Incorrect information in SMC profile file.");
}

TEST_F(SmcProfileTest, UpdateSetsAsideAForeignSectionAndWritesAFreshOne) {
    ASSERT_TRUE(UpdateSmcProfile(*ctx_, Record()));
    platform_->WritePrivateProfileString(ToUtf16("SMC_" + card_.smcUid).c_str(), u"CustID", u"ZZ99", path_);
    ASSERT_TRUE(UpdateSmcProfile(*ctx_, Record()));
    EXPECT_TRUE(FileExists(Join(DataFolder(), "SMCProfile_2016_03_01_10_15_02.ini.bak")));
    EXPECT_NE(ReadFile(path_).find("CustID=QX33"), std::string::npos);
    // Dates are checked against 31 days only; the block number is not checked here.
    EXPECT_TRUE(IsValidProfileDate(u"2014-02-31"));
    EXPECT_FALSE(IsValidProfileDate(u"1969-12-31"));
    EXPECT_FALSE(IsValidProfileDate(u"2015-12"));
    EXPECT_FALSE(IsValidProfileDate(u"2015-12-01x"));
}

TEST_F(SmcProfileTest, MissingProfileFolderIsReported) {
    ctx_->profilePath = AsFolder(TempPath("gone"));
    EXPECT_FALSE(EnsureSmcProfileFile(*ctx_, nullptr));
    EXPECT_NE(LogText().find("INI file path is not available"), std::string::npos);
    EXPECT_FALSE(UpdateSmcProfile(*ctx_, Record()));
    EXPECT_NE(LogText().find("Update INI file failed"), std::string::npos);
    ctx_->profilePath = AsFolder(AsFolder("") + std::string(250, 'p'));
    EXPECT_FALSE(UpdateSmcProfile(*ctx_, Record()));
    EXPECT_NE(LogText().find("INI file path length exceeded"), std::string::npos);
}

}  // namespace
}  // namespace tv
