// Signing with the built-in key, verification, and the shape checks of a
// signature text with their log messages.
#include <gtest/gtest.h>

#include <cctype>

#include "crypto/BuiltinKey.h"
#include "crypto/CryptoTestSupport.h"
#include "crypto/Digest.h"
#include "crypto/Signature.h"
#include "crypto/TextCodec.h"
#include "log/LogFile.h"
#include "support/TestEnvironment.h"

namespace tv {
namespace {

using test::Bytes;
using ByteVector = std::vector<uint8_t>;

// SEQUENCE { INTEGER r, INTEGER s } in the long length form used on this curve.
ByteVector Der(const ByteVector& r, const ByteVector& s) {
    ByteVector d{0x30, 0x81, static_cast<uint8_t>(r.size() + s.size() + 4), 0x02,
                 static_cast<uint8_t>(r.size())};
    d.insert(d.end(), r.begin(), r.end());
    d.push_back(0x02);
    d.push_back(static_cast<uint8_t>(s.size()));
    d.insert(d.end(), s.begin(), s.end());
    return d;
}

ByteVector Filled(size_t n, uint8_t first, uint8_t rest) {
    ByteVector v(n, rest);
    if (n != 0) v[0] = first;
    return v;
}

std::string Digits(const std::string& hex) { return std::string(132 - hex.size(), '0') + hex; }

bool IsUpperHex(const std::string& s) {
    for (char c : s) {
        if (!std::isxdigit(static_cast<unsigned char>(c)) ||
            std::islower(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

class SignatureTest : public test::TestEnvironment {
protected:
    std::vector<std::string> Errors(int module = kModSignature) const {
        return test::LoggedErrors(LogText(), module);
    }
    std::string LastError(int module = kModSignature) const {
        const auto errors = Errors(module);
        return errors.empty() ? std::string() : errors.back();
    }
    // The message of the failed check, or "" when the text passed.
    std::string Check(const std::string& text) {
        const size_t before = Errors().size();
        const bool ok = CheckSignatureText(text);
        const auto errors = Errors();
        EXPECT_EQ(ok, errors.size() == before) << text;
        return errors.size() == before ? std::string() : errors.back();
    }
    std::string CheckDer(const ByteVector& der) { return Check(EncodeBase64(der)); }

    std::string SignedFile(const std::string& name, const std::string& content,
                           std::string& digest) {
        const std::string path = TempPath(name);
        WriteFile(path, content);
        std::string text;
        EXPECT_TRUE(SignFileToText(path, text));
        EXPECT_TRUE(HashFile(path, digest));
        return text;
    }
};

TEST_F(SignatureTest, SignedFileVerifiesAndEachSignatureHasAFreshNonce) {
    EXPECT_EQ(std::string(kBuiltinPrivateKey).size(), 132u);
    EXPECT_EQ(std::string(kBuiltinPublicKey).size(), 266u);
    EXPECT_EQ(std::string(kBuiltinPublicKey).substr(0, 2), "04");
    EXPECT_TRUE(IsUpperHex(kBuiltinPrivateKey) && IsUpperHex(kBuiltinPublicKey));

    const std::string path = TempPath("journal.xml");
    WriteFile(path, "<?xml version=\"1.0\"?>\n<ZT4><fit>payload</fit></ZT4>");
    ByteVector der1;
    ByteVector der2;
    ASSERT_EQ(SignFile(path, der1), kSignOk);
    ASSERT_EQ(SignFile(path, der2), kSignOk);
    EXPECT_NE(der1, der2);

    // The DER layout that the shape checks read.
    ASSERT_GE(der1.size(), 9u);
    EXPECT_LE(der1.size(), 139u);
    EXPECT_EQ(der1[0], 0x30);
    EXPECT_EQ(der1[1], 0x81);
    EXPECT_EQ(der1[2], der1.size() - 3);
    EXPECT_EQ(der1[3], 0x02);
    EXPECT_EQ(der1[5 + der1[4]], 0x02);

    std::string digest;
    ASSERT_TRUE(HashFile(path, digest));
    for (const ByteVector* der : {&der1, &der2}) {
        const std::string text = EncodeBase64(*der);
        EXPECT_LE(text.size(), 188u);
        EXPECT_TRUE(CheckSignatureText(text));
        EXPECT_TRUE(VerifySignatureText(text, digest));
    }
    EXPECT_TRUE(Errors().empty());
}

TEST_F(SignatureTest, ChangedFileOrAnotherSignatureFailsVerification) {
    std::string digest;
    const std::string text = SignedFile("a.log", "[UID]\r\nrecord line\r\n", digest);
    std::string otherDigest;
    const std::string other = SignedFile("b.log", "[UID]\r\nrecord line!\r\n", otherDigest);
    ASSERT_TRUE(VerifySignatureText(text, digest));
    ASSERT_TRUE(VerifySignatureText(other, otherDigest));

    EXPECT_FALSE(VerifySignatureText(other, digest));
    EXPECT_EQ(LastError(), "Incorrect data found");
    EXPECT_FALSE(VerifySignatureText(text, otherDigest));

    // The last byte of the file changed after signing.
    WriteFile(TempPath("a.log"), "[UID]\r\nrecord line\r?");
    std::string changed;
    ASSERT_TRUE(HashFile(TempPath("a.log"), changed));
    EXPECT_FALSE(VerifySignatureText(text, changed));

    // One bit of r or of s flipped.
    ByteVector der = DecodeBase64(text);
    der[10] ^= 0x01;
    EXPECT_FALSE(VerifySignatureText(EncodeBase64(der), digest));
    der[10] ^= 0x01;
    der.back() ^= 0x80;
    EXPECT_FALSE(VerifySignatureText(EncodeBase64(der), digest));
    EXPECT_FALSE(VerifySignatureText(text, digest.substr(2)));
    EXPECT_FALSE(VerifySignatureText("", digest));
}

TEST_F(SignatureTest, SigningFailsWithItsResultCodes) {
    ByteVector der{1, 2, 3};
    EXPECT_EQ(SignFile("", der), kSignNoPath);
    EXPECT_TRUE(der.empty());
    EXPECT_EQ(platform_->Calls(FaultOp::Open), 0);

    EXPECT_EQ(SignFile(TempPath("missing.xml"), der), kSignDigestFailed);
    const std::string path = TempPath("locked.xml");
    WriteFile(path, "</ZT4>");
    platform_->InjectFault(FaultOp::Open, kErrSharingViolation, "locked.xml");
    EXPECT_EQ(SignFile(path, der), kSignDigestFailed);
    EXPECT_TRUE(der.empty());

    std::string text = "stale";
    EXPECT_FALSE(SignFileToText("", text));
    EXPECT_EQ(LastError(kModArchiverZt4), "Invalid input parameter");
    EXPECT_FALSE(SignFileToText(path, text));
    EXPECT_EQ(LastError(kModArchiverZt4), "Signature generation failed(Error num - 3)");
    EXPECT_TRUE(text.empty());
}

// RFC 6979, A.2.7: P-521 with SHA-256 over "sample".
TEST_F(SignatureTest, DigestVerificationMatchesThePublishedCurveVector) {
    const std::string x = Digits(
        "1894550D0785932E00EAA23B694F213F8C3121F86DC97A04E5A7167DB4E5BCD371123D46E45DB6B5D537"
        "0A7F20FB633155D38FFA16D2BD761DCAC474B9A2F5023A4");
    const std::string y = Digits(
        "493101C962CD4D2FDDF782285E64584139C2F91B47F87FF82354D6630F746A28A0DB25741B5B34A82800"
        "8B22ACC23F924FAAFBD4D33F81EA66956DFEAA2BFDFCF5");
    const std::string r = Digits(
        "1511BB4D675114FE266FC4372B87682BAECC01D3CC62CF2303C92B3526012659D16876E25C7C1E57648F"
        "23B73564D67F61C6F14D527D54972810421E7D87589E1A7");
    const std::string s = Digits(
        "4A171143A83163D6DF460AAF61522695F207A58B95C0644D87E52AA1A347916E4F7A72930B1BC06DBE22"
        "CE3F58264AFD23704CBB63B29B931F7DE6C9D949A7ECFC");
    const DigestBytes d = HashBuffer(reinterpret_cast<const uint8_t*>("sample"), 6);
    const std::string digest = EncodeHex(d.data(), d.size());
    ASSERT_EQ(digest, "AF2BDBE1AA9B6EC1E2ADE1D694F41FC71A831D0268E9891562113D8A62ADD1BF");

    EXPECT_TRUE(VerifyDigest(r + s, x + y, digest));
    std::string otherDigest = digest;
    otherDigest[63] = 'E';
    EXPECT_FALSE(VerifyDigest(r + s, x + y, otherDigest));
    EXPECT_FALSE(VerifyDigest(s + r, x + y, digest));
    std::string offCurve = x + y;
    offCurve.back() = '6';
    EXPECT_FALSE(VerifyDigest(r + s, offCurve, digest));
    EXPECT_FALSE(VerifyDigest(r + s, "04" + x + y, digest));
    // Texts of another length or with other characters.
    EXPECT_FALSE(VerifyDigest(r + s.substr(2), x + y, digest));
    EXPECT_FALSE(VerifyDigest(r + s + "00", x + y, digest));
    EXPECT_FALSE(VerifyDigest(r + s, x + y, digest.substr(0, 62)));
    EXPECT_FALSE(VerifyDigest(r + s.substr(1) + "G", x + y, digest));
    EXPECT_FALSE(VerifyDigest("", "", ""));
    EXPECT_FALSE(VerifyDigest(r + s, std::string(264, '0'), digest));
}

TEST_F(SignatureTest, PlainHexPadsShortIntegersAndRefusesImpossibleLengths) {
    const ByteVector r65 = Filled(65, 0xAB, 0x11);
    const ByteVector s66 = Filled(66, 0x01, 0x22);
    std::string plain;
    ASSERT_TRUE(SignatureToPlainHex(EncodeBase64(Der(r65, s66)), plain));
    EXPECT_EQ(plain.size(), 264u);
    EXPECT_EQ(plain.substr(0, 132), "00" + EncodeHex(r65));
    EXPECT_EQ(plain.substr(132), EncodeHex(s66));

    ASSERT_TRUE(DerSignatureToPlainHex(Der({0x05}, {0x00, 0x80}), plain));
    EXPECT_EQ(plain, std::string(130, '0') + "05" + std::string(128, '0') + "0080");

    for (const ByteVector& bad :
         {ByteVector{}, ByteVector{0x30, 0x81, 0x08, 0x02, 0x01}, Der({}, {0x01}),
          Der(Filled(67, 1, 1), {0x01}), Der({0x01}, {}), Der({0x01}, Filled(67, 1, 1)),
          ByteVector{0x30, 0x81, 0x05, 0x02, 0x01, 0x01},
          ByteVector{0x30, 0x81, 0x05, 0x02, 0x01, 0x01, 0x02, 0x02, 0x01}}) {
        plain = "stale";
        EXPECT_FALSE(DerSignatureToPlainHex(bad, plain)) << EncodeHex(bad);
        EXPECT_TRUE(plain.empty());
    }
}

TEST_F(SignatureTest, TextChecksRefuseBadLengthsAndCharacters) {
    EXPECT_EQ(Check(""), "Base 64 encoded signature length is 0");
    EXPECT_EQ(Check("ABCDE"),
              "Base 64 encoded signature length is not multiple of 4.SignLength - [5]");
    EXPECT_EQ(Check(std::string(190, 'A')),
              "Base 64 encoded signature length is not multiple of 4.SignLength - [190]");
    EXPECT_EQ(Check(std::string(196, 'A')),
              "Base 64 encoded signature length is greater than expected - [196]");
    // Lengths come before characters.
    EXPECT_EQ(Check(std::string(196, '*')),
              "Base 64 encoded signature length is greater than expected - [196]");

    EXPECT_EQ(Check("AAAAA=AA"),
              "Signature is not in Base64 encoded format.Char - [=], Index - [5], SignLen - "
              "[8], Padding-[0]");
    EXPECT_EQ(Check("AB=C"),
              "Signature is not in Base64 encoded format.Char - [C], Index - [3], SignLen - "
              "[4], Padding-[1]");
    EXPECT_EQ(Check("A*AA"),
              "Signature is not in Base64 encoded format.Char - [*], Index - [1], SignLen - "
              "[4], Padding-[0]");
    EXPECT_EQ(Check("AAA\t"),
              "Signature is not in Base64 encoded format.Char - [\t], Index - [3], SignLen - "
              "[4], Padding-[0]");
    EXPECT_EQ(Check("AA=="), "Signature length is less than expected. Len-[1]");

    // 188 characters ending in "=" pass the length and character checks.
    EXPECT_EQ(Check(std::string(187, 'A') + "="),
              "Signature X length is less than expected. Len-[0]");
    const std::string longest = EncodeBase64(Der(Filled(66, 0x01, 0x5A), Filled(66, 0x01, 0xA5)));
    ASSERT_EQ(longest.size(), 188u);
    EXPECT_EQ(longest.substr(186), "==");
    EXPECT_EQ(Check(longest), "");
}

TEST_F(SignatureTest, TextChecksReadTheDerLengthsInOrder) {
    const ByteVector r = Filled(66, 0x01, 0x33);
    const ByteVector s = Filled(65, 0x7F, 0x44);
    EXPECT_EQ(CheckDer(Der(r, s)), "");
    EXPECT_EQ(CheckDer(Der({0x01}, {0x02})), "");

    EXPECT_EQ(CheckDer({0x30, 0x81, 0x06}), "Signature length is less than expected. Len-[3]");
    EXPECT_EQ(CheckDer({0x30, 0x81, 0x06, 0x02, 0x01}),
              "Signature length is less than expected. Len-[5]");
    EXPECT_EQ(CheckDer({0x30, 0x81, 0x04, 0x02, 0x01, 0x01}),
              "Signature length in header is less than expected. Len-[0]");
    EXPECT_EQ(CheckDer(Der({}, {0x01})), "Signature X length is less than expected. Len-[0]");
    EXPECT_EQ(CheckDer(Der(Filled(67, 1, 1), {0x01})),
              "Signature X length is greater than expected. Len-[67]");
    EXPECT_EQ(CheckDer({0x30, 0x81, 0x08, 0x02, 0x90, 0x01, 0x02, 0x01, 0x01}),
              "Signature X length is greater than expected. Len-[-112]");

    ByteVector cut = Der(r, s);
    cut.resize(72);  // n = LX + 6: the length of s is missing
    EXPECT_EQ(CheckDer(cut), "Signature length is less than expected. Len-[72]");

    EXPECT_EQ(CheckDer(Der(r, {})), "Signature Y length is less than expected. Len-[0]");
    EXPECT_EQ(CheckDer(Der(r, Filled(67, 1, 1))),
              "Signature Y length is greater than expected. Len-[67]");
    ByteVector negative = Der({0x01}, {0x01});
    negative[7] = 0xFF;
    EXPECT_EQ(CheckDer(negative), "Signature Y length is greater than expected. Len-[-1]");

    ByteVector shortS = Der(r, s);
    shortS.pop_back();
    EXPECT_EQ(CheckDer(shortS),
              "Signature Y's actual and expected data lengths differ. ExpLen-[130]ActLen-[128]");
    ByteVector longS = Der(r, s);
    longS.push_back(0x00);
    EXPECT_EQ(CheckDer(longS),
              "Signature Y's actual and expected data lengths differ. ExpLen-[130]ActLen-[132]");

    ByteVector header = Der(r, s);
    header[2] = 0x80;
    EXPECT_EQ(CheckDer(header), "Signature length is incorrect. ExpLen-[124]ActLen-[65][66]");

    // The tag bytes are not looked at.
    ByteVector tags = Der(r, s);
    tags[0] = tags[1] = tags[3] = tags[5 + 66] = 0x00;
    EXPECT_EQ(CheckDer(tags), "");
}

}  // namespace
}  // namespace tv
