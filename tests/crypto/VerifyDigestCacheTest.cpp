// Verification with a kept public key: the key of the last call is reused only
// for the very same key text; every other key is validated as a new one.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "crypto/Digest.h"
#include "crypto/ScaleKey.h"
#include "crypto/Signature.h"

namespace tv {
namespace {

struct Signed {
    std::string publicKey;  // X then Y
    std::string digest;
    std::string signature;  // r then s
};

Signed SignWithSeed(uint64_t seed, const std::string& message) {
    std::string privateHex;
    std::string publicHex;
    EXPECT_TRUE(GenerateKeyPair(seed, privateHex, publicHex));
    const DigestBytes digest =
        HashBuffer(reinterpret_cast<const uint8_t*>(message.data()), message.size());
    std::vector<uint8_t> der;
    EXPECT_TRUE(SignDigestWith(privateHex, digest, der));
    Signed s;
    s.publicKey = publicHex.substr(2);
    for (uint8_t b : digest) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        s.digest += kDigits[b >> 4];
        s.digest += kDigits[b & 15];
    }
    EXPECT_TRUE(DerSignatureToPlainHex(der, s.signature));
    return s;
}

TEST(VerifyDigestCacheTest, AKeptKeyServesOnlyItsOwnText) {
    const Signed a = SignWithSeed(11, "first journal block");
    const Signed b = SignWithSeed(12, "second journal block");
    const Signed a2 = SignWithSeed(11, "third journal block");

    for (int round = 0; round < 3; ++round) {
        EXPECT_TRUE(VerifyDigest(a.signature, a.publicKey, a.digest));
        EXPECT_TRUE(VerifyDigest(a2.signature, a.publicKey, a2.digest));
        // The kept key refuses what another key signed, and another digest.
        EXPECT_FALSE(VerifyDigest(b.signature, a.publicKey, b.digest));
        EXPECT_FALSE(VerifyDigest(a.signature, a.publicKey, a2.digest));
        EXPECT_TRUE(VerifyDigest(b.signature, b.publicKey, b.digest));
        EXPECT_FALSE(VerifyDigest(a.signature, b.publicKey, a.digest));
    }

    // A key text that differs from the kept one is a new key: a point off the
    // curve right after a valid key is refused, and the valid key still works.
    EXPECT_TRUE(VerifyDigest(a.signature, a.publicKey, a.digest));
    std::string offCurve = a.publicKey;
    offCurve.back() = offCurve.back() == '0' ? '1' : '0';
    EXPECT_FALSE(VerifyDigest(a.signature, offCurve, a.digest));
    EXPECT_FALSE(VerifyDigest(a.signature, a.publicKey.substr(0, 200), a.digest));
    EXPECT_FALSE(VerifyDigest(a.signature, a.publicKey + "0000", a.digest));
    EXPECT_FALSE(VerifyDigest(a.signature, "", a.digest));
    EXPECT_TRUE(VerifyDigest(a.signature, a.publicKey, a.digest));

    // The same point in lower-case digits is another text, validated and verified alike.
    std::string lower = a.publicKey;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(VerifyDigest(a.signature, lower, a.digest));
    EXPECT_FALSE(VerifyDigest(b.signature, lower, b.digest));

    // Texts of another form are refused whatever key is kept.
    EXPECT_FALSE(VerifyDigest(a.signature.substr(2), a.publicKey, a.digest));
    EXPECT_FALSE(VerifyDigest(a.signature, a.publicKey, a.digest.substr(2)));
    EXPECT_FALSE(VerifyDigest(std::string(a.signature.size(), 'G'), a.publicKey, a.digest));
}

}  // namespace
}  // namespace tv
