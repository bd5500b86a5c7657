// Framing of store blocks: lengths, forms, record types and refusals.
#include <gtest/gtest.h>

#include <cstring>

#include "app/AppContext.h"
#include "crypto/Digest.h"
#include "platform/Text.h"
#include "store/BlockDecoder.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

class BlockDecoderTest : public test::TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        GetAppContext();
    }
    static std::vector<uint8_t> Sector(uint32_t length) {
        std::vector<uint8_t> s(512, 0);
        s[0] = static_cast<uint8_t>(length >> 24);
        s[1] = static_cast<uint8_t>(length >> 16);
        s[2] = static_cast<uint8_t>(length >> 8);
        s[3] = static_cast<uint8_t>(length);
        return s;
    }
    static std::vector<uint8_t> DxSector(uint32_t length, char type, uint8_t ds = 2) {
        std::vector<uint8_t> s = Sector(length);
        s[4] = ';';
        s[5] = 0x01;
        s[6] = 0x02;
        s[8] = static_cast<uint8_t>(type);
        s[10] = ds;
        const uint8_t numbers[] = {0x00, 0x00, 0x12, 0x34, 0x00, 0x07, 0x00, 0x00, 0x0A, 0xBC};
        std::memcpy(s.data() + 11, numbers, sizeof numbers);
        return s;
    }
    static std::vector<uint8_t> Zt4Sector(uint32_t length, const std::string& xml) {
        std::vector<uint8_t> s = Sector(length);
        std::memcpy(s.data() + 4, xml.data(), std::min<size_t>(xml.size(), 508));
        return s;
    }
};

TEST_F(BlockDecoderTest, LengthsGivePaddedLengthAndSectorCount) {
    struct Case {
        uint32_t length;
        uint32_t padded;
        uint32_t sectors;
    };
    for (const Case c : {Case{1, 16, 1}, Case{429, 448, 1}, Case{430, 448, 1}, Case{445, 464, 2},
                         Case{1000, 1008, 3}}) {
        WormBlock block;
        ASSERT_TRUE(DecodeBlockHeader(DxSector(c.length, 'T').data(), ScaleFamily::Dx, 40, block)) << c.length;
        EXPECT_EQ(block.contentLength, c.length);
        EXPECT_EQ(block.paddedLength, c.padded) << c.length;
        EXPECT_EQ(block.sectorCount, c.sectors) << c.length;
    }
    std::vector<uint8_t> incident = Sector(0);
    incident[5] = 10;
    incident[6] = 'W';
    WormBlock block;
    ASSERT_TRUE(DecodeBlockHeader(incident.data(), ScaleFamily::Dx, 3, block));
    EXPECT_EQ(block.shortLength, 10);
    EXPECT_EQ(block.paddedLength, 16u);
    EXPECT_EQ(block.sectorCount, 1u);
    EXPECT_EQ(block.recordType, 'W');
}

TEST_F(BlockDecoderTest, DxHeaderGivesBookKeepingAndRefusesOtherDsVersions) {
    WormBlock block;
    ASSERT_TRUE(DecodeBlockHeader(DxSector(100, 'E').data(), ScaleFamily::Dx, 9, block));
    EXPECT_EQ(block.recordType, 'E');
    EXPECT_EQ(block.blockIndex, 0x0102);
    EXPECT_EQ(block.bookKeeping, "02|00001234|0007|00000ABC;");

    EXPECT_FALSE(DecodeBlockHeader(DxSector(100, 'T', 3).data(), ScaleFamily::Dx, 9, block));
    EXPECT_NE(LogText().find("Invalid DS version found"), std::string::npos);
    ASSERT_FALSE(ui_.shown.empty());
    EXPECT_EQ(ToNarrow(ui_.shown.back().text), "Unsupported SMC.");
    EXPECT_FALSE(DecodeBlockHeader(nullptr, ScaleFamily::Dx, 0, block));
    EXPECT_NE(LogText().find("Populate store info failed"), std::string::npos);
}

TEST_F(BlockDecoderTest, Zt4RecordTypeFollowsTheKindElement) {
    struct Case {
        const char* kind;
        char type;
    };
    for (const Case c : {Case{"fpg", 'O'}, Case{"fsg", 'S'}, Case{"fcd", 'E'}, Case{"fcm", 'E'},
                         Case{"fcy", 'E'}, Case{"ftk", 'T'}, Case{"xyz", 'T'}}) {
        const std::string xml = std::string("<fit><cte>2015-01-02 08:00:00</cte><") + c.kind + ">1</" + c.kind + "></fit>";
        WormBlock block;
        ASSERT_TRUE(DecodeBlockHeader(Zt4Sector(static_cast<uint32_t>(xml.size()), xml).data(), ScaleFamily::Zt4, 5, block));
        EXPECT_EQ(block.recordType, c.type) << c.kind;
    }
    WormBlock block;
    ASSERT_TRUE(DecodeBlockHeader(Zt4Sector(20, "ZT4 identifier").data(), ScaleFamily::Zt4, 0, block));
    EXPECT_EQ(block.recordType, 'I');
    // A kind element that the content length does not reach is not read.
    const std::string cut = "<fit><cte>2015-01-02 08:00:00</cte><fsg>";
    ASSERT_TRUE(DecodeBlockHeader(Zt4Sector(30, cut).data(), ScaleFamily::Zt4, 5, block));
    EXPECT_EQ(block.recordType, 'T');
}

TEST_F(BlockDecoderTest, AbsurdLengthsAreRefusedBeforeAnyAllocation) {
    WormBlock block;
    EXPECT_FALSE(DecodeBlockHeader(DxSector(0xFFFFFFFF, 'T').data(), ScaleFamily::Dx, 7, block));
    EXPECT_FALSE(DecodeBlockHeader(Zt4Sector(0x7FFFFFF0, "<fit>").data(), ScaleFamily::Zt4, 7, block));
    EXPECT_NE(LogText().find("Block of unexpected size found. BlockNum - 7"), std::string::npos);
    EXPECT_EQ(LongFormPaddedLength(0xFFFFFFFF), 0x100000010ull);
}

TEST_F(BlockDecoderTest, HashCoversLengthContentPaddingAndPreviousHash) {
    WormBlock block;
    ASSERT_TRUE(DecodeBlockHeader(DxSector(100, 'T').data(), ScaleFamily::Dx, 9, block));
    block.bytes = DxSector(100, 'T');
    for (size_t i = 0; i < 32; ++i) block.bytes[block.paddedLength + i] = static_cast<uint8_t>(i);
    EXPECT_FALSE(BlockHashMatches(block));
    const DigestBytes digest = HashBuffer(block.bytes.data(), block.paddedLength + 32);
    std::copy(digest.begin(), digest.end(), block.currentHash.begin());
    EXPECT_TRUE(BlockHashMatches(block));
    for (size_t at : {size_t{0}, size_t{50}, size_t{block.paddedLength - 1}, size_t{block.paddedLength + 31}}) {
        block.bytes[at] ^= 1;
        EXPECT_FALSE(BlockHashMatches(block)) << at;
        block.bytes[at] ^= 1;
    }
    block.bytes.resize(block.paddedLength + 40);  // a block cut short never reads past its bytes
    EXPECT_FALSE(BlockHashMatches(block));
}

}  // namespace
}  // namespace tv
