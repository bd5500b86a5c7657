// Texts of every length and shape, random or cut from a real signature, go
// through the checks, the decoders and verification without any read outside
// their buffers (the sanitizer build watches) and without a false acceptance.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "crypto/Digest.h"
#include "crypto/Signature.h"
#include "crypto/TextCodec.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";

class SignatureFuzzTest : public test::TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        const std::string path = TempPath("signed.xml");
        WriteFile(path, "<ZT4><fit>fuzz</fit></ZT4>");
        ASSERT_TRUE(SignFileToText(path, signature_));
        ASSERT_TRUE(HashFile(path, digest_));
        ASSERT_TRUE(VerifySignatureText(signature_, digest_));
    }
    std::string signature_;
    std::string digest_;
};

TEST_F(SignatureFuzzTest, RandomTextsAndBytesOfEveryLengthAreRefusedSafely) {
    std::mt19937 rng(11);
    std::string plain;
    for (size_t length = 0; length <= 260; ++length) {
        for (int round = 0; round < 6; ++round) {
            // Mostly Base64 characters, so that many texts reach the DER checks.
            std::string text(length, 'A');
            for (char& c : text) {
                c = (rng() % 8 == 0) ? static_cast<char>(rng())
                                     : kAlphabet[rng() % (sizeof kAlphabet - 1)];
            }
            // DER-like bytes with plausible length bytes, so that the later checks run too.
            std::vector<uint8_t> der(length % 161);
            for (auto& b : der) b = static_cast<uint8_t>(rng());
            if (round % 2 == 1 && der.size() > 4) der[4] = static_cast<uint8_t>(rng() % 70);
            if (round % 2 == 1 && der.size() > 4 && der[4] + 6u < der.size()) {
                der[der[4] + 6u] = static_cast<uint8_t>(rng() % 70);
            }
            const std::string derText = EncodeBase64(der);
            const std::string* texts[] = {&text, &derText};
            for (const std::string* t : texts) {
                CheckSignatureText(*t);
                EXPECT_LE(DecodeBase64(*t).size(), t->size());
                if (SignatureToPlainHex(*t, plain)) {
                    EXPECT_EQ(plain.size(), 264u);
                }
            }
            // Verification validates the key every time, which is slow: a sample.
            if (round == 0 || (round == 1 && length % 16 == 0)) {
                EXPECT_FALSE(VerifySignatureText(text, digest_));
                EXPECT_FALSE(VerifySignatureText(derText, digest_));
            }
        }
    }
}

TEST_F(SignatureFuzzTest, EveryCutOfARealSignatureIsRefused) {
    const std::vector<uint8_t> der = DecodeBase64(signature_);
    for (size_t length = 0; length < signature_.size(); ++length) {
        const std::string cut = signature_.substr(0, length);
        EXPECT_FALSE(CheckSignatureText(cut)) << length;
        // Without its padding the text still decodes to the whole signature.
        if (DecodeBase64(cut).size() < der.size()) {
            EXPECT_FALSE(VerifySignatureText(cut, digest_)) << length;
        }
        // The cut DER bytes as a well-formed Base64 text.
        const std::vector<uint8_t> head(der.begin(), der.begin() + std::min(length, der.size()));
        if (head.size() < der.size()) {
            EXPECT_FALSE(CheckSignatureText(EncodeBase64(head))) << length;
        }
    }
    EXPECT_TRUE(CheckSignatureText(signature_));
}

TEST_F(SignatureFuzzTest, EveryChangedByteOfARealSignatureIsRefused) {
    const std::vector<uint8_t> der = DecodeBase64(signature_);
    ASSERT_GT(der.size(), 9u);
    const size_t lx = der[4];
    const size_t last = der.size() - 1;
    // The tag bytes are not read: the signature values stay the same.
    const std::vector<size_t> tags = {0, 1, 3, 5 + lx};
    // Verification is slow (the key is validated every time): a sample of places.
    const std::vector<size_t> verified = {
        0, 1, 2, 3, 4, 5, 6, 5 + lx / 2, 4 + lx, 5 + lx, 6 + lx, 7 + lx, 8 + lx, last - 1, last};
    for (size_t i = 0; i < der.size(); ++i) {
        std::vector<uint8_t> changed = der;
        changed[i] ^= static_cast<uint8_t>(1u << (i % 8));
        const std::string text = EncodeBase64(changed);
        const bool shapeOk = CheckSignatureText(text);
        if (std::find(verified.begin(), verified.end(), i) == verified.end()) continue;
        const bool accepted = shapeOk && VerifySignatureText(text, digest_);
        const bool tag = std::find(tags.begin(), tags.end(), i) != tags.end();
        EXPECT_EQ(accepted, tag) << i;
    }
}

}  // namespace
}  // namespace tv
