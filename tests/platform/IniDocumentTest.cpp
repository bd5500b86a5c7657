// The INI functions of the platform, with the Win32 semantics the configuration
// relies on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Platform.h"
#include "support/Wine.h"

namespace tv {
namespace {

class IniTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("tv-ini-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
        path_ = (folder_ / "t.ini").string();
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    void Write(const std::string& content) {
        std::ofstream(path_, std::ios::binary) << content;
    }
    std::string Read() const {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::u16string Get(const char16_t* section, const char16_t* key, uint32_t size = 256,
                       uint32_t* count = nullptr, const char16_t* def = u"") {
        std::u16string buffer(size, u'#');
        const uint32_t n = p_->GetPrivateProfileString(section, key, def, buffer.data(), size, path_);
        if (count != nullptr) *count = n;
        return buffer;
    }

    std::unique_ptr<Platform> p_ = CreateSystemPlatform();
    std::filesystem::path folder_;
    std::string path_;
};

TEST_F(IniTest, ReadsValuesWithoutRegardToCaseOrBlanks) {
    Write("; comment\r\n[Config]\r\n  Language =  French  \r\nQuoted=\"a b\"\r\n[other]\r\nLanguage=x\r\n");
    uint32_t n = 0;
    EXPECT_EQ(Get(u"config", u"LANGUAGE", 256, &n).c_str(), std::u16string(u"French"));
    EXPECT_EQ(n, 6u);
    EXPECT_EQ(Get(u"Config", u"quoted").c_str(), std::u16string(u"a b"));
    EXPECT_EQ(Get(u"Other", u"language").c_str(), std::u16string(u"x"));
    EXPECT_EQ(Get(u"Config", u"Missing", 256, &n, u"dflt").c_str(), std::u16string(u"dflt"));
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(Get(u"Nowhere", u"Language", 256, &n).c_str(), std::u16string());
    EXPECT_EQ(n, 0u);
}

TEST_F(IniTest, MissingFileReadsAsDefaults) {
    uint32_t n = 7;
    EXPECT_EQ(Get(u"Config", u"Language", 16, &n, u"d").c_str(), std::u16string(u"d"));
    EXPECT_EQ(n, 1u);
    EXPECT_EQ(p_->GetPrivateProfileInt(u"Config", u"N", 42, path_), 42u);
    EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(IniTest, LongValueIsCutToBufferSizeMinusOne) {
    Write("[S]\r\nk=" + std::string(20, 'v') + "\r\n");
    uint32_t n = 0;
    const std::u16string buffer = Get(u"S", u"k", 8, &n);
    EXPECT_EQ(n, 7u);
    EXPECT_EQ(buffer.substr(0, 8), std::u16string(7, u'v') + std::u16string(1, u'\0'));
}

TEST_F(IniTest, KeyListEndsWithTwoNulsWhetherItFitsOrNot) {
    Write("[S]\r\nab=1\r\ncd=2\r\n\r\n[T]\r\n");
    uint32_t n = 0;
    std::u16string buffer = Get(u"s", nullptr, 16, &n);
    EXPECT_EQ(n, 6u);
    EXPECT_EQ(buffer.substr(0, 7), std::u16string(u"ab\0cd\0\0", 7));

    buffer = Get(u"S", nullptr, 5, &n);  // "ab\0cd\0\0" needs 7
    EXPECT_EQ(n, 3u);
    // Wine leaves the last position of a list cut down to whole names as it was.
    if (!test::RunningUnderWine()) {
        EXPECT_EQ(buffer, std::u16string(u"ab\0\0\0", 5));
    }

    buffer = Get(u"T", nullptr, 4, &n);  // a section without keys
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(buffer[0], u'\0');
    if (!test::RunningUnderWine()) {
        EXPECT_EQ(buffer[1], u'\0');
    }
}

// Numbers read as Windows reads them: the leading digits, a negative number
// as its two's complement, hexadecimal after "0x", an empty value as missing.
TEST_F(IniTest, IntReadsLeadingDigitsOnly) {
    Write("[S]\r\na=25MB\r\nb=-3\r\nc=x1\r\nd= 7\r\nf=\r\ng=0x1f\r\nh=4294967298\r\n");
    EXPECT_EQ(p_->GetPrivateProfileInt(u"S", u"a", 9, path_), 25u);
    EXPECT_EQ(p_->GetPrivateProfileInt(u"S", u"b", 9, path_), 4294967293u);
    EXPECT_EQ(p_->GetPrivateProfileInt(u"S", u"f", 9, path_), 9u);
    EXPECT_EQ(p_->GetPrivateProfileInt(u"S", u"g", 9, path_), 31u);
    EXPECT_EQ(p_->GetPrivateProfileInt(u"S", u"h", 9, path_), 2u);
    EXPECT_EQ(p_->GetPrivateProfileInt(u"S", u"c", 9, path_), 0u);
    EXPECT_EQ(p_->GetPrivateProfileInt(u"S", u"d", 9, path_), 7u);
    EXPECT_EQ(p_->GetPrivateProfileInt(u"S", u"e", 9, path_), 9u);
}

TEST_F(IniTest, WritesCreateReplaceInPlaceAndAppend) {
    EXPECT_TRUE(p_->WritePrivateProfileString(u"Config", u"A", u"1", path_));
    EXPECT_TRUE(p_->WritePrivateProfileString(u"Config", u"B", u"2", path_));
    EXPECT_EQ(Read(), "[Config]\r\nA=1\r\nB=2\r\n");

    // A key keeps its name as the file spells it; a value loses its leading blanks.
    EXPECT_TRUE(p_->WritePrivateProfileString(u"CONFIG", u"a", u"one", path_));
    EXPECT_TRUE(p_->WritePrivateProfileString(u"Card1", u"K", u" \tv ", path_));
    EXPECT_EQ(Read(), "[Config]\r\nA=one\r\nB=2\r\n[Card1]\r\nK=v \r\n");

    // A new key goes after the last key of its section, before the blank lines
    // that separate it from the next one (which wine drops).
    Write("[S]\r\nx=1\r\n\r\n[T]\r\ny=2\r\n");
    EXPECT_TRUE(p_->WritePrivateProfileString(u"S", u"z", u"3", path_));
    const std::string expected = "[S]\r\nx=1\r\nz=3\r\n\r\n[T]\r\ny=2\r\n";
    EXPECT_EQ(Read(), test::RunningUnderWine() ? test::AsWineRewritesIt(expected) : expected);
}

TEST_F(IniTest, WritesRemoveKeysAndSections) {
    Write("[S]\r\nx=1\r\ny=2\r\n[T]\r\nz=3\r\n");
    EXPECT_TRUE(p_->WritePrivateProfileString(u"S", u"x", nullptr, path_));
    EXPECT_TRUE(p_->WritePrivateProfileString(u"T", nullptr, nullptr, path_));
    EXPECT_EQ(Read(), "[S]\r\ny=2\r\n");
}

TEST_F(IniTest, FailedWriteLeavesNoFileAndReportsTheError) {
    const std::string missing = (folder_ / "no" / "t.ini").string();
    EXPECT_FALSE(p_->WritePrivateProfileString(u"S", u"k", u"v", missing));
    EXPECT_EQ(p_->LastError(), kErrPathNotFound);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "no"));
}

}  // namespace
}  // namespace tv
