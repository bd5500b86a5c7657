// Reading where the last archive of a card ended, with the checks of each family
// in their order.
#include <gtest/gtest.h>

#include "app/AppContext.h"
#include "archive/SmcProfile.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

class LastArchivedTest : public test::TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        ctx_ = &GetAppContext();
        ASSERT_TRUE(SmcProfilePath(*ctx_, path_));
    }
    void WriteSection(const std::string& type, const std::string& cust, const std::string& block) {
        WriteFile(path_, "[SMC_00112233445566778899AABBCCDDEEFF]\r\nScaleSN=SN00000001\r\nUID=PRINTABLE\r\nCustID=" + cust +
                             "\r\nScaleType=" + type + "\r\nLastArchivedBlockNum=" + block +
                             "\r\nLastArchivedStartDate=2015-12-20\r\nLastArchivedEndDate=2015-12-22\r\n");
    }
    ProfileCard Card(bool zt4) const { return {"00112233445566778899AABBCCDDEEFF", "SN00000001", "PRINTABLE", zt4}; }
    std::string FirstError(int module) const {
        const auto errors = test::LoggedErrors(LogText(), module);
        return errors.empty() ? std::string() : errors.front();
    }

    AppContext* ctx_ = nullptr;
    std::string path_;
};

TEST_F(LastArchivedTest, ASoundSectionGivesItsBlockNumber) {
    WriteSection("dMax", "QX33", "105");
    uint32_t block = 0;
    ASSERT_TRUE(ReadLastArchivedBlock(*ctx_, 5, Card(false), block));
    EXPECT_EQ(block, 105u);
    WriteSection("ZT4", "QX33", "4096");
    ASSERT_TRUE(ReadLastArchivedBlock(*ctx_, 21, Card(true), block));
    EXPECT_EQ(block, 4096u);
    EXPECT_TRUE(FileExists(path_));
}

TEST_F(LastArchivedTest, EachFamilyReportsItsFirstFailingCheckAndSetsTheProfileAside) {
    // Customisation ID and scale type both wrong: dX checks the ID first, ZT4 the type.
    WriteSection("XX", "QX34", "105");
    uint32_t block = 0;
    EXPECT_FALSE(ReadLastArchivedBlock(*ctx_, 5, Card(false), block));
    EXPECT_EQ(FirstError(5), "Customisation ID in SMC profile file is incorrect");
    EXPECT_FALSE(FileExists(path_));

    WriteSection("XX", "QX34", "105");
    EXPECT_FALSE(ReadLastArchivedBlock(*ctx_, 21, Card(true), block));
    EXPECT_EQ(FirstError(21), "Scale type in SMC profile file is incorrect");

    // The block number comes before everything else.
    WriteSection("dX", "QX34", "0");
    EXPECT_FALSE(ReadLastArchivedBlock(*ctx_, 4, Card(false), block));
    EXPECT_EQ(FirstError(4), "Last archived block number in SMC profile file is incorrect");
    // A section of another card's printable UID.
    WriteSection("dX", "QX33", "105");
    ProfileCard other = Card(false);
    other.printableUid = "SOMEONE ELSE";
    EXPECT_FALSE(ReadLastArchivedBlock(*ctx_, 20, other, block));
    EXPECT_EQ(FirstError(20), "SMC UID in SMC profile file is incorrect");
    EXPECT_EQ(block, 0u);
}

TEST_F(LastArchivedTest, AProfileFolderTooLongIsNotTouched) {
    WriteSection("dX", "QX33", "105");
    ctx_->profilePath = AsFolder(std::string(246, 'p'));
    uint32_t block = 0;
    EXPECT_FALSE(ReadLastArchivedBlock(*ctx_, 5, Card(false), block));
    EXPECT_EQ(FirstError(5), "INI file path length exceeded");
    ctx_->profilePath.clear();
    EXPECT_TRUE(FileExists(path_));
}

}  // namespace
}  // namespace tv
