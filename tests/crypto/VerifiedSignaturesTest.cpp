// Signatures found valid are remembered by their exact texts, and only those.
#include <gtest/gtest.h>

#include "crypto/Digest.h"
#include "crypto/ScaleKey.h"
#include "crypto/Signature.h"
#include "crypto/TextCodec.h"

namespace tv {
namespace {

TEST(VerifiedSignaturesTest, OnlyTheExactValidTextsAreRemembered) {
    std::string privateKey;
    std::string publicKey;
    ASSERT_TRUE(GenerateKeyPair(42, privateKey, publicKey));
    const std::string key = publicKey.substr(2);
    DigestBytes digest{};
    digest[0] = 7;
    std::vector<uint8_t> der;
    ASSERT_TRUE(SignDigestWith(privateKey, digest, der));
    std::string plain;
    ASSERT_TRUE(DerSignatureToPlainHex(der, plain));
    const std::string digestText = EncodeHex(digest.data(), digest.size());

    ForgetVerifiedSignatures();
    EXPECT_TRUE(VerifyDigest(plain, key, digestText));
    EXPECT_TRUE(VerifyDigest(plain, key, digestText));  // remembered
    std::string otherDigest = digestText;
    otherDigest[63] = otherDigest[63] == '0' ? '1' : '0';
    EXPECT_FALSE(VerifyDigest(plain, key, otherDigest));
    std::string otherSignature = plain;
    otherSignature[10] = otherSignature[10] == 'A' ? 'B' : 'A';
    EXPECT_FALSE(VerifyDigest(otherSignature, key, digestText));
    EXPECT_FALSE(VerifyDigest(otherSignature, key, digestText));  // failures are never remembered
    ForgetVerifiedSignatures();
    EXPECT_TRUE(VerifyDigest(plain, key, digestText));
}

}  // namespace
}  // namespace tv
