// Base64 and hexadecimal text forms.
#include <gtest/gtest.h>

#include <random>

#include "crypto/CryptoTestSupport.h"
#include "crypto/TextCodec.h"

namespace tv {
namespace {

using test::Bytes;

TEST(TextCodecTest, Base64IsStandardOneLineAndRoundTripsEveryLength) {
    EXPECT_EQ(EncodeBase64(Bytes("f")), "Zg==");
    EXPECT_EQ(EncodeBase64(Bytes("fo")), "Zm8=");
    EXPECT_EQ(EncodeBase64(Bytes("foobar")), "Zm9vYmFy");
    EXPECT_EQ(EncodeBase64(std::vector<uint8_t>{0xFB, 0xFF, 0xBF}), "+/+/");
    EXPECT_EQ(EncodeBase64(nullptr, 0), "");
    std::mt19937 rng(1);
    for (size_t n = 0; n <= 300; ++n) {
        std::vector<uint8_t> bytes(n);
        for (auto& b : bytes) b = static_cast<uint8_t>(rng());
        const std::string text = EncodeBase64(bytes);
        EXPECT_EQ(text.size(), (n + 2) / 3 * 4);
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
        EXPECT_EQ(DecodeBase64(text), bytes) << n;
    }
    // Decoding skips what is not Base64 and takes any bytes.
    EXPECT_EQ(DecodeBase64("Zm9v\r\nYm*Fy"), Bytes("foobar"));
    EXPECT_TRUE(DecodeBase64("====").empty());
    for (size_t n = 0; n <= 300; ++n) {
        std::string text(n, '\0');
        for (char& c : text) c = static_cast<char>(rng());
        EXPECT_LE(DecodeBase64(text).size(), n * 3 / 4 + 1);
    }
}

TEST(TextCodecTest, HexIsUpperCaseAndDecodesOnlyWholeHexText) {
    EXPECT_EQ(EncodeHex(std::vector<uint8_t>{0x00, 0x0F, 0xA0, 0xFF}), "000FA0FF");
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(DecodeHex("000fA0Ff", bytes));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0x00, 0x0F, 0xA0, 0xFF}));
    EXPECT_TRUE(DecodeHex("", bytes));
    EXPECT_TRUE(bytes.empty());
    for (const char* bad : {"0", "ABC", "0G", "00 11", "0x12", "12\n"}) {
        bytes = {1, 2, 3};
        EXPECT_FALSE(DecodeHex(bad, bytes)) << bad;
        EXPECT_TRUE(bytes.empty()) << bad;
    }
    std::mt19937 rng(2);
    for (size_t n = 0; n <= 140; ++n) {
        std::vector<uint8_t> in(n);
        for (auto& b : in) b = static_cast<uint8_t>(rng());
        ASSERT_TRUE(DecodeHex(EncodeHex(in), bytes));
        EXPECT_EQ(bytes, in);
    }
}

}  // namespace
}  // namespace tv
