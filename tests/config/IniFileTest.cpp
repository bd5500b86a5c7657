// CIniFile: the cut-off marker, key lookup and the small writers.
#include <gtest/gtest.h>

#include "config/IniFile.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

class IniFileTest : public test::TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        path_ = TempPath("p.ini");
    }
    std::string path_;
};

TEST_F(IniFileTest, MissingKeyReadsEmptyAndComplete) {
    CIniFile ini(path_);
    std::u16string value = u"x";
    EXPECT_TRUE(ini.ReadString(u"Config", u"Nothing", value));
    EXPECT_EQ(value, u"");
    EXPECT_EQ(ini.LastReadLength(), 0u);
    EXPECT_FALSE(ini.HasConfigKey(u"Nothing"));
}

TEST_F(IniFileTest, MarkerTellsCutOffValues) {
    CIniFile ini(path_);
    std::u16string value;
    for (const auto& [length, complete] :
         std::vector<std::pair<size_t, bool>>{{1021, true}, {1022, false}, {1023, true}, {3000, true}}) {
        WriteFile(path_, "[S]\r\nk=" + std::string(length, 'v') + "\r\n");
        EXPECT_EQ(ini.ReadString(u"S", u"k", value), complete) << length;
        EXPECT_EQ(value.size(), std::min<size_t>(length, 1023)) << length;
    }
}

TEST_F(IniFileTest, HasConfigKeyIgnoresCaseAndFailsOnAnOverlongKeyList) {
    WriteFile(path_, "[Config]\r\nLanguage=English\r\nYearEndsOn=31-Dec\r\n");
    CIniFile ini(path_);
    EXPECT_TRUE(ini.HasConfigKey(u"yearendson"));
    EXPECT_TRUE(ini.HasConfigKey(u"Language"));
    EXPECT_FALSE(ini.HasConfigKey(u"ScaleType"));

    // Key names with their NULs: 1021 characters fit, at 1022 the list's closing
    // NUL lands on the marker.
    for (const auto& [total, found] : std::vector<std::pair<size_t, bool>>{{1021, true}, {1022, false}}) {
        const std::string filler(total - 11 - 1, 'k');  // "YearEndsOn" + NUL is 11
        WriteFile(path_, "[Config]\r\n" + filler + "=1\r\nYearEndsOn=31-Dec\r\n");
        EXPECT_EQ(ini.HasConfigKey(u"YearEndsOn"), found) << total;
    }
}

TEST_F(IniFileTest, WritesBlockNumberAndLineBreak) {
    CIniFile ini(path_);
    ini.AppendLineBreak();
    EXPECT_TRUE(FileExists(path_));
    EXPECT_EQ(ReadFile(path_), "");
    ini.AppendLineBreak();
    EXPECT_EQ(ReadFile(path_), "");

    EXPECT_TRUE(ini.WriteLastArchivedBlockNum(u"04AB", -1));
    EXPECT_EQ(ReadFile(path_), "[04AB]\r\nLastArchivedBlockNum=-1\r\n");
    ini.AppendLineBreak();
    EXPECT_EQ(ReadFile(path_), "[04AB]\r\nLastArchivedBlockNum=-1\r\n\r\n");
    EXPECT_TRUE(ini.WriteLastArchivedBlockNum(u"04ab", 1234));
    EXPECT_EQ(platform_->GetPrivateProfileInt(u"04AB", u"LastArchivedBlockNum", 0, path_), 1234u);
}

}  // namespace
}  // namespace tv
