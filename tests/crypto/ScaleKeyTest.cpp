// Scale keys from a seed and deterministic signatures with them.
#include <gtest/gtest.h>

#include "crypto/Digest.h"
#include "crypto/ScaleKey.h"
#include "crypto/Signature.h"
#include "crypto/TextCodec.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

class ScaleKeyTest : public test::TestEnvironment {};

DigestBytes DigestOf(const std::string& text) {
    return HashBuffer(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::string DigestText(const DigestBytes& d) { return EncodeHex(d.data(), d.size()); }

std::string Plain(const std::vector<uint8_t>& der) {
    std::string plain;
    EXPECT_TRUE(DerSignatureToPlainHex(der, plain));
    return plain;
}

TEST_F(ScaleKeyTest, SeedGivesTheSameValidKeyPairEveryTime) {
    std::string priv1, pub1, priv2, pub2, priv3, pub3;
    ASSERT_TRUE(GenerateKeyPair(7, priv1, pub1));
    ASSERT_TRUE(GenerateKeyPair(7, priv2, pub2));
    ASSERT_TRUE(GenerateKeyPair(8, priv3, pub3));
    EXPECT_EQ(priv1, priv2);
    EXPECT_EQ(pub1, pub2);
    EXPECT_NE(priv1, priv3);
    EXPECT_NE(pub1, pub3);
    EXPECT_EQ(priv1.size(), 132u);
    ASSERT_EQ(pub1.size(), 266u);
    EXPECT_EQ(pub1.substr(0, 2), "04");
    EXPECT_EQ(pub1.find_first_not_of("0123456789ABCDEF"), std::string::npos);

    // The pair belongs together: a signature by the private key verifies with the
    // public key, and not with another seed's.
    const DigestBytes digest = DigestOf("block");
    std::vector<uint8_t> der;
    ASSERT_TRUE(SignDigestWith(priv1, digest, der));
    EXPECT_TRUE(VerifyDigest(Plain(der), pub1.substr(2), DigestText(digest)));
    EXPECT_FALSE(VerifyDigest(Plain(der), pub3.substr(2), DigestText(digest)));
    EXPECT_FALSE(VerifyDigest(Plain(der), pub1.substr(2), DigestText(DigestOf("other"))));
    // The DER form has the layout the card readers expect: 30 81 len 02 ...
    ASSERT_GE(der.size(), 8u);
    EXPECT_EQ(der[0], 0x30);
    EXPECT_EQ(der[1], 0x81);
    EXPECT_EQ(der[2], der.size() - 3);
    EXPECT_EQ(der[3], 0x02);
}

TEST_F(ScaleKeyTest, SigningIsDeterministicPerKeyAndDigest) {
    std::string priv, pub;
    ASSERT_TRUE(GenerateKeyPair(42, priv, pub));
    std::vector<uint8_t> a, b, c;
    ASSERT_TRUE(SignDigestWith(priv, DigestOf("one"), a));
    ASSERT_TRUE(SignDigestWith(priv, DigestOf("one"), b));
    ASSERT_TRUE(SignDigestWith(priv, DigestOf("two"), c));
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
}

// RFC 6979, A.2.7: the P-521 key, SHA-256 over "sample". The public key and the
// deterministic signature are the published ones.
TEST_F(ScaleKeyTest, DeterministicNonceMatchesThePublishedVector) {
    const std::string priv =
        "00FAD06DAA62BA3B25D2FB40133DA757205DE67F5BB0018FEE8C86E1B68C7E75CA"
        "A896EB32F1F47C70855836A6D16FCC1466F6D8FBEC67DB89EC0C08B0E996B83538";
    const std::string r =
        "01511BB4D675114FE266FC4372B87682BAECC01D3CC62CF2303C92B3526012659D"
        "16876E25C7C1E57648F23B73564D67F61C6F14D527D54972810421E7D87589E1A7";
    const std::string s =
        "004A171143A83163D6DF460AAF61522695F207A58B95C0644D87E52AA1A347916E"
        "4F7A72930B1BC06DBE22CE3F58264AFD23704CBB63B29B931F7DE6C9D949A7ECFC";
    std::vector<uint8_t> der;
    ASSERT_TRUE(SignDigestWith(priv, DigestOf("sample"), der));
    EXPECT_EQ(Plain(der), r + s);
}

// The key pair and the signature a generated card of seed 1 holds: cards made
// by earlier versions keep their exact bytes.
TEST_F(ScaleKeyTest, GeneratedKeysAndSignaturesKeepTheirBytes) {
    std::string priv, pub;
    ASSERT_TRUE(GenerateKeyPair(1, priv, pub));
    EXPECT_EQ(priv,
        "002CD1801BA99FCCA14F315B48D06233AEF8E49E656A5516F272A913AA9FBB10F9ED5F666FA49BF8E992C47FDB2FB429"
        "E6F5589B7B8D41A53B305CB1213F062EE04F");
    EXPECT_EQ(pub,
        "04005C9B84ABE0CFDC9CBA53B5937EA072D3F127B7611229D395A769829ECF33C29DB3BC8338CEBA8BBB1BD031D994EF"
        "84B9A5427B8024D7F07382B5F80CB897F1839A00EE296127FD6F83AD061AF79C01927879F9B8D90A594C6DB69FFC29BB"
        "BEB339A9925377BD541D2DE42CA9978530086C8EADAA891AEFE3BDA585BBB9718068C6E25B");
    std::vector<uint8_t> der;
    ASSERT_TRUE(SignDigestWith(priv, DigestOf("closure"), der));
    EXPECT_EQ(EncodeHex(der),
        "3081880242012D580D11EBE9B44AE684393DBE1281C4FAFD4274ACC5D9CD12AA6197208E0CB6E486538434558A512546"
        "DBA2994099710148F816831CE705CAE3B5974E179288D40242014D3AD168D06D86E9875B8C5107A423588FDE35BEB535"
        "62FD79391B1DF57E55A16E12062B09EDA43383EA181CBAB3214AE02285CC8E89DC09B691DF235A9A21295E");
}

TEST_F(ScaleKeyTest, InvalidPrivateKeysAreRefused) {
    std::vector<uint8_t> der{1, 2, 3};
    const DigestBytes digest = DigestOf("x");
    EXPECT_FALSE(SignDigestWith("", digest, der));
    EXPECT_TRUE(der.empty());
    EXPECT_FALSE(SignDigestWith(std::string(132, '0'), digest, der));
    EXPECT_FALSE(SignDigestWith(std::string(132, 'F'), digest, der));  // above the order
    EXPECT_FALSE(SignDigestWith("XYZ0", digest, der));
    EXPECT_FALSE(SignDigestWith("ABC", digest, der));
}

}  // namespace
}  // namespace tv
