// Label/value fields, the scale family of sector 0 and block dates.
#include <gtest/gtest.h>

#include <cstring>

#include "app/AppContext.h"
#include "store/StoreText.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

class StoreTextTest : public test::TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        GetAppContext();
    }
    static std::vector<uint8_t> SectorWith(size_t offset, const std::string& text) {
        std::vector<uint8_t> s(512, 0);
        std::memcpy(s.data() + offset, text.data(), std::min(text.size(), 512 - offset));
        return s;
    }
};

TEST_F(StoreTextTest, LabelValuesHaveExactlyTheirLength) {
    std::string value;
    EXPECT_TRUE(ExtractLabelValue("x;Balance type:;dX  ;Other:;1;", kLabelBalanceType, 4, value));
    EXPECT_EQ(value, "dX  ");
    EXPECT_FALSE(ExtractLabelValue("Balance type:;dX;", kLabelBalanceType, 4, value));
    EXPECT_NE(LogText().find("Parsed data is of unexpected length"), std::string::npos);
    EXPECT_FALSE(ExtractLabelValue("Balance type:;dX   ;", kLabelBalanceType, 4, value));
    EXPECT_FALSE(ExtractLabelValue("Balance type:;dX  ", kLabelBalanceType, 4, value));  // no closing ";"
    EXPECT_TRUE(ExtractLabelValue("Balance type:;NV  ;Balance type:;dMax;", kLabelBalanceType, 4, value));
    EXPECT_EQ(value, "NV  ");  // the first occurrence counts
    const size_t before = LogText().size();
    EXPECT_FALSE(ExtractLabelValue("nothing here", kLabelBalanceType, 4, value));
    EXPECT_EQ(LogText().size(), before);  // a missing label is not logged
    EXPECT_FALSE(ExtractLabelValue(std::string_view("ab\0Balance type:;dX  ;", 22), kLabelBalanceType, 4, value));
    const std::string serial = std::string(kLabelSerialNumber) + "K7Q2900001;";
    EXPECT_TRUE(ExtractLabelValue(serial, kLabelSerialNumber, 10, value));
    EXPECT_EQ(value, "K7Q2900001");
}

TEST_F(StoreTextTest, ScaleFamilyOfSectorZero) {
    std::vector<uint8_t> zt4 = SectorWith(4, "ZT4 Balance type:;dX  ;");
    EXPECT_EQ(DetectScaleFamily(zt4.data(), 512), ScaleFamily::Zt4);
    for (const char* type : {"dX  ", "dMax", "NV  "}) {
        std::vector<uint8_t> dx = SectorWith(22, std::string("Balance type:;") + type + ";");
        EXPECT_EQ(DetectScaleFamily(dx.data(), 512), ScaleFamily::Dx) << type;
    }
    std::vector<uint8_t> other = SectorWith(22, "Balance type:;XYZ1;");
    EXPECT_EQ(DetectScaleFamily(other.data(), 512), ScaleFamily::Unsupported);
    std::vector<uint8_t> early = SectorWith(10, "Balance type:;dX  ;");  // before the payload
    EXPECT_EQ(DetectScaleFamily(early.data(), 512), ScaleFamily::Unsupported);
    std::vector<uint8_t> full(512, 'B');  // no terminator inside the sector
    EXPECT_EQ(DetectScaleFamily(full.data(), 512), ScaleFamily::Unsupported);
    EXPECT_EQ(DetectScaleFamily(nullptr, 512), ScaleFamily::Unsupported);
}

TEST_F(StoreTextTest, DatesOfDatedBlocks) {
    std::vector<uint8_t> s = SectorWith(22, "2016/03/01 10:15:02 rest");
    BlockDate date;
    for (char type : {'E', 'T', 'U'}) {
        ASSERT_TRUE(ExtractBlockDate(s.data(), type, date));
        EXPECT_EQ(date.compact, "201603011015");
        EXPECT_EQ(date.text, "2016/03/01");
    }
    for (char type : {'O', 'H', 'S', 'W', 'C'}) EXPECT_FALSE(ExtractBlockDate(s.data(), type, date));
}

}  // namespace
}  // namespace tv
