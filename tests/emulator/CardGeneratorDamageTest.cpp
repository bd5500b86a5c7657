// Each kind of deliberate damage breaks exactly what it names, at the block the
// summary gives, and leaves the rest of the card as the undamaged one.
#include <gtest/gtest.h>

#include "emulator/CardGenerator.h"
#include "emulator/CardImageReader.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

using test::CardImageReader;
using test::ImageBlock;

class CardGeneratorDamageTest : public test::TestEnvironment {
protected:
    CardImageReader Make(CardOptions options, CardDamage damage, const std::string& name) {
        options.damage = damage;
        CardImageReader reader;
        std::string error;
        EXPECT_TRUE(GenerateCard(options, TempPath(name), summary_, error)) << error;
        EXPECT_TRUE(reader.Load(TempPath(name))) << reader.error;
        EXPECT_TRUE(reader.ReadBlocks(options.family == CardFamily::Zt4, summary_.publicKey))
            << reader.error;
        return reader;
    }
    CardSummary summary_;
};

// Block numbers that fail each check.
struct Failures {
    std::vector<uint32_t> hash, chain, signature, dsVersion, xml;
};

Failures FailuresOf(const CardImageReader& r) {
    Failures f;
    for (const ImageBlock& b : r.blocks) {
        if (!b.hashOk) f.hash.push_back(b.number);
        if (!b.chainOk) f.chain.push_back(b.number);
        if (b.signatureOk == 0) f.signature.push_back(b.number);
        if (b.contentLength != 0 && b.dsVersion != -1 && b.dsVersion != 2) {
            f.dsVersion.push_back(b.number);
        }
        if (b.xmlResult != 0) f.xml.push_back(b.number);
    }
    return f;
}

size_t DifferingBytes(const CardImageReader& a, const CardImageReader& b) {
    size_t n = 0;
    for (size_t i = 0; i < std::min(a.store.size(), b.store.size()); ++i)
        n += a.store[i] != b.store[i];
    return n;
}

TEST_F(CardGeneratorDamageTest, EachDamageBreaksOnlyWhatItNames) {
    for (CardFamily family : {CardFamily::Dx, CardFamily::Zt4}) {
        CardOptions o;
        o.family = family;
        o.seed = 77;
        o.days = 5;
        o.receiptsPerDay = 6;
        const std::string f = FamilyName(family);
        SCOPED_TRACE(f);
        const CardImageReader sound = Make(o, CardDamage::None, f + "sound");
        EXPECT_EQ(summary_.damagedBlock, -1);
        const Failures none = FailuresOf(sound);
        EXPECT_TRUE(none.hash.empty() && none.chain.empty() && none.signature.empty() &&
                    none.dsVersion.empty() && none.xml.empty());

        // A payload byte: that block's own hash fails, one byte differs, the
        // chain and the signatures hold.
        const CardImageReader payload = Make(o, CardDamage::Payload, f + "payload");
        const auto at = static_cast<uint32_t>(summary_.damagedBlock);
        Failures got = FailuresOf(payload);
        EXPECT_EQ(got.hash, std::vector<uint32_t>{at});
        EXPECT_TRUE(got.chain.empty() && got.signature.empty() && got.dsVersion.empty());
        EXPECT_TRUE(got.xml.empty());  // the changed byte is a digit of the content
        EXPECT_EQ(DifferingBytes(sound, payload), 1u);
        // It is the first receipt of the middle day.
        for (const ImageBlock& b : payload.blocks) {
            if (b.number == at) {
                EXPECT_EQ(b.type, 'T');
            }
        }

        // A broken chain: that block's previous hash only.
        const CardImageReader chain = Make(o, CardDamage::Chain, f + "chain");
        EXPECT_EQ(static_cast<uint32_t>(summary_.damagedBlock), at);
        got = FailuresOf(chain);
        EXPECT_EQ(got.chain, std::vector<uint32_t>{at});
        EXPECT_TRUE(got.hash.empty() && got.signature.empty() && got.dsVersion.empty());

        // A bad signature: one signature block, after the middle day's closure.
        const CardImageReader signature = Make(o, CardDamage::Signature, f + "signature");
        const auto signedAt = static_cast<uint32_t>(summary_.damagedBlock);
        got = FailuresOf(signature);
        EXPECT_EQ(got.signature, std::vector<uint32_t>{signedAt});
        EXPECT_TRUE(got.hash.empty() && got.chain.empty() && got.dsVersion.empty());
        EXPECT_GT(signedAt, at);

        if (family == CardFamily::Dx) {
            const CardImageReader ds = Make(o, CardDamage::DsVersion, f + "ds");
            EXPECT_EQ(static_cast<uint32_t>(summary_.damagedBlock), at);
            got = FailuresOf(ds);
            EXPECT_EQ(got.dsVersion, std::vector<uint32_t>{at});
            EXPECT_TRUE(got.hash.empty() && got.chain.empty() && got.signature.empty());
        }
    }
}

TEST_F(CardGeneratorDamageTest, WithoutReceiptsTheClosureTakesTheBlockDamage) {
    CardOptions o;
    o.days = 3;
    o.receiptsPerDay = 0;
    const CardImageReader r = Make(o, CardDamage::Payload, "noreceipts");
    const Failures got = FailuresOf(r);
    ASSERT_EQ(got.hash.size(), 1u);
    for (const ImageBlock& b : r.blocks) {
        if (b.number == got.hash[0]) {
            EXPECT_EQ(b.type, 'E');
        }
    }
    EXPECT_EQ(static_cast<int64_t>(got.hash[0]), summary_.damagedBlock);
}

}  // namespace
}  // namespace tv
