#include "crypto/Signature.h"

#include <deque>
#include <unordered_set>

#include <cryptopp/dsa.h>
#include <cryptopp/eccrypto.h>
#include <cryptopp/oids.h>
#include <cryptopp/osrng.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>

#include "crypto/BuiltinKey.h"
#include "crypto/Digest.h"
#include "crypto/TextCodec.h"
#include "log/LogFile.h"

namespace tv {

namespace {

constexpr size_t kScalarSize = 66;                 // bytes of r, s, X, Y or the private key
constexpr size_t kScalarDigits = 2 * kScalarSize;  // 132
constexpr size_t kDerReserve = 11;                 // room of the DER form beyond r||s
constexpr size_t kMaxSignatureText = 192;
constexpr unsigned kKeyValidationLevel = 3;
// Multiples of the base point and of a kept public key computed ahead: about
// 10 ms once per key, and every verification with the key about four times faster.
constexpr unsigned kPrecomputedPoints = 64;

// Stands in the hash's place so that ECDSA signs an already computed SHA-256
// digest as it is: the 32 bytes fed in are the 32 bytes that come out.
class IdentityHash32 : public CryptoPP::HashTransformation {
public:
    static constexpr unsigned int DIGESTSIZE = kDigestSize;
    static const char* StaticAlgorithmName() { return "Identity32"; }

    void Update(const CryptoPP::byte* input, size_t length) override {
        const size_t take = std::min(length, kDigestSize - used_);
        if (take != 0) std::memcpy(buffer_ + used_, input, take);
        used_ += take;
    }
    unsigned int DigestSize() const override { return DIGESTSIZE; }
    void TruncatedFinal(CryptoPP::byte* digest, size_t digestSize) override {
        ThrowIfInvalidTruncatedSize(digestSize);
        std::memcpy(digest, buffer_, digestSize);
        Restart();
    }
    void Restart() override {
        std::memset(buffer_, 0, sizeof buffer_);
        used_ = 0;
    }

private:
    CryptoPP::byte buffer_[kDigestSize] = {};
    size_t used_ = 0;
};

using Ecdsa = CryptoPP::ECDSA<CryptoPP::ECP, IdentityHash32>;

CryptoPP::Integer ToInteger(const std::vector<uint8_t>& bytes, size_t offset, size_t count) {
    if (count == 0) return CryptoPP::Integer::Zero();
    return CryptoPP::Integer(bytes.data() + offset, count);
}

bool IsBase64Char(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '/';
}

// A signature-text error with numbers, formatted as every log entry with numbers is.
[[gnu::format(printf, 2, 3)]] void LogSignatureError(int line, const char* format, ...) {
    char message[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    LogFile::Instance().Write(kModSignature, line, kLogError, message);
}

// Left-pads the hex of count bytes at offset to the 132 digits of a scalar.
void AppendScalarHex(const std::vector<uint8_t>& der, size_t offset, size_t count,
                     std::string& out) {
    out.append(kScalarDigits - 2 * count, '0');
    out += EncodeHex(der.data() + offset, count);
}

}  // namespace

SignResult SignFile(const std::string& path, std::vector<uint8_t>& der) {
    der.clear();
    if (path.empty()) return kSignNoPath;
    std::string digestText;
    if (!HashFile(path, digestText)) return kSignDigestFailed;
    std::vector<uint8_t> digest;
    if (!DecodeHex(digestText, digest) || digest.size() != kDigestSize) return kSignDigestFailed;

    std::vector<uint8_t> scalar;
    if (!DecodeHex(kBuiltinPrivateKey, scalar)) return kSignKeyInvalid;
    try {
        Ecdsa::PrivateKey key;
        key.Initialize(CryptoPP::ASN1::secp521r1(), ToInteger(scalar, 0, scalar.size()));
        CryptoPP::AutoSeededRandomPool validationPool;
        if (!key.Validate(validationPool, kKeyValidationLevel)) return kSignKeyInvalid;

        CryptoPP::AutoSeededRandomPool noncePool;
        Ecdsa::Signer signer(key);
        std::vector<uint8_t> plain(signer.MaxSignatureLength());
        const size_t plainLength =
            signer.SignMessage(noncePool, digest.data(), digest.size(), plain.data());

        std::vector<uint8_t> buffer(plainLength + kDerReserve);
        const size_t derLength =
            CryptoPP::DSAConvertSignatureFormat(buffer.data(), buffer.size(), CryptoPP::DSA_DER,
                                                plain.data(), plainLength, CryptoPP::DSA_P1363);
        // The sink stops at the end of the buffer: a full buffer may hold a cut form.
        if (derLength >= buffer.size()) return kSignDerTooLong;
        buffer.resize(derLength);
        der = std::move(buffer);
        return kSignOk;
    } catch (const std::exception&) {
        // The library refused the key or the signing.
        return kSignKeyInvalid;
    }
}

bool SignFileToText(const std::string& path, std::string& signatureText) {
    signatureText.clear();
    if (path.empty()) {
        TV_LOG_ERROR(kModArchiverZt4, "Invalid input parameter");
        return false;
    }
    std::vector<uint8_t> der;
    const SignResult result = SignFile(path, der);
    if (result != kSignOk) {
        char message[256];
        std::snprintf(message, sizeof message, "Signature generation failed(Error num - %d)",
                      static_cast<int>(result));
        TV_LOG_ERROR(kModArchiverZt4, message);
        return false;
    }
    signatureText = EncodeBase64(der);
    return true;
}

namespace {

// The verifier of the last public key that passed validation, kept with the
// precomputed multiples of its point: validating a key at level 3 costs far more
// than one verification, and an archive's signatures all use the same key.
struct VerifierCache {
    std::string keyText;
    std::unique_ptr<Ecdsa::Verifier> verifier;
};

// The verifier of a public-key text (X then Y); none when the text does not
// decode or the key fails validation. A new key text is always validated.
const Ecdsa::Verifier* ValidatedVerifier(std::string_view publicKey) {
    thread_local VerifierCache cache;
    if (cache.verifier && cache.keyText == publicKey) return cache.verifier.get();
    std::vector<uint8_t> point;
    if (!DecodeHex(publicKey, point) || point.empty()) return nullptr;
    const size_t half = point.size() / 2;
    auto verifier = std::make_unique<Ecdsa::Verifier>();
    Ecdsa::PublicKey& key = verifier->AccessKey();
    key.Initialize(CryptoPP::ASN1::secp521r1(),
                   CryptoPP::ECP::Point(ToInteger(point, 0, half), ToInteger(point, half, half)));
    CryptoPP::AutoSeededRandomPool validationPool;
    if (!key.Validate(validationPool, kKeyValidationLevel)) return nullptr;
    key.Precompute(kPrecomputedPoints);
    cache.verifier.reset();
    cache.keyText.assign(publicKey);
    cache.verifier = std::move(verifier);
    return cache.verifier.get();
}

}  // namespace

namespace {

// Signatures already found valid in this process, by a digest of the exact texts
// (the writer checks every signature block and then verifies the file it wrote).
// Only successes are kept, and only the most recent ones.
class VerifiedSignatures {
public:
    static constexpr size_t kCapacity = 8192;

    static std::string KeyOf(std::string_view signature, std::string_view key, std::string_view digest) {
        std::string joined;
        joined.reserve(signature.size() + key.size() + digest.size() + 2);
        joined.append(signature).append(1, '|').append(key).append(1, '|').append(digest);
        const DigestBytes d = HashBuffer(reinterpret_cast<const uint8_t*>(joined.data()), joined.size());
        return std::string(d.begin(), d.end());
    }
    bool Contains(const std::string& k) const { return known_.count(k) != 0; }
    void Clear() {
        known_.clear();
        order_.clear();
    }
    void Add(const std::string& k) {
        if (!known_.insert(k).second) return;
        order_.push_back(k);
        if (order_.size() > kCapacity) {
            known_.erase(order_.front());
            order_.pop_front();
        }
    }

private:
    std::unordered_set<std::string> known_;
    std::deque<std::string> order_;
};

VerifiedSignatures& Verified() {
    static VerifiedSignatures verified;
    return verified;
}

bool VerifyWithKey(std::string_view plainSignature, std::string_view publicKey, std::string_view digestText);

}  // namespace

void ForgetVerifiedSignatures() { Verified().Clear(); }

bool VerifyDigest(std::string_view plainSignature, std::string_view publicKey,
                  std::string_view digestText) {
    const std::string known = VerifiedSignatures::KeyOf(plainSignature, publicKey, digestText);
    if (Verified().Contains(known)) return true;
    const bool valid = VerifyWithKey(plainSignature, publicKey, digestText);
    if (valid) Verified().Add(known);
    return valid;
}

namespace {

bool VerifyWithKey(std::string_view plainSignature, std::string_view publicKey, std::string_view digestText) {
    try {
        const Ecdsa::Verifier* verifier = ValidatedVerifier(publicKey);
        if (verifier == nullptr) return false;

        std::vector<uint8_t> digest;
        std::vector<uint8_t> signature;
        if (!DecodeHex(digestText, digest) || digest.size() != kDigestSize) return false;
        if (!DecodeHex(plainSignature, signature)) return false;
        // The verifier reads r and s at their fixed sizes whatever length it is given.
        if (signature.size() != verifier->SignatureLength()) return false;
        return verifier->VerifyMessage(digest.data(), digest.size(), signature.data(),
                                       signature.size());
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

bool CheckSignatureText(std::string_view text) {
    const size_t length = text.size();
    if (length == 0) {
        TV_LOG_ERROR(kModSignature, "Base 64 encoded signature length is 0");
        return false;
    }
    if (length % 4 != 0) {
        LogSignatureError(
            __LINE__, "Base 64 encoded signature length is not multiple of 4.SignLength - [%zu]",
            length);
        return false;
    }
    if (length > kMaxSignatureText) {
        LogSignatureError(
            __LINE__, "Base 64 encoded signature length is greater than expected - [%zu]", length);
        return false;
    }
    bool padding = false;
    for (size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (!padding && IsBase64Char(c)) continue;
        if (c == '=' && i + 2 >= length) {
            padding = true;
            continue;
        }
        LogSignatureError(
            __LINE__,
            "Signature is not in Base64 encoded format.Char - [%c], Index - [%zu], SignLen - "
            "[%zu], Padding-[%d]",
            c, i, length, padding ? 1 : 0);
        return false;
    }

    const std::vector<uint8_t> der = DecodeBase64(text);
    const int n = static_cast<int>(der.size());  // at most 144 after the checks above
    if (n <= 5) {
        LogSignatureError(__LINE__, "Signature length is less than expected. Len-[%d]", n);
        return false;
    }
    const int total = static_cast<int>(der[2]) - 4;
    if (total == 0) {
        LogSignatureError(__LINE__, "Signature length in header is less than expected. Len-[%d]",
                          total);
        return false;
    }
    const int lx = static_cast<int8_t>(der[4]);
    if (lx == 0) {
        LogSignatureError(__LINE__, "Signature X length is less than expected. Len-[%d]", lx);
        return false;
    }
    if (lx < 0 || lx > static_cast<int>(kScalarSize)) {
        LogSignatureError(__LINE__, "Signature X length is greater than expected. Len-[%d]", lx);
        return false;
    }
    if (n <= lx + 6) {
        LogSignatureError(__LINE__, "Signature length is less than expected. Len-[%d]", n);
        return false;
    }
    const int ly = static_cast<int8_t>(der[static_cast<size_t>(lx) + 6]);
    if (ly == 0) {
        LogSignatureError(__LINE__, "Signature Y length is less than expected. Len-[%d]", ly);
        return false;
    }
    if (ly < 0 || ly > static_cast<int>(kScalarSize)) {
        LogSignatureError(__LINE__, "Signature Y length is greater than expected. Len-[%d]", ly);
        return false;
    }
    // s ends the DER form: the digits from 2*LX + 14 on are those of s.
    const int sDigits = 2 * n - (2 * lx + 14);
    if (sDigits != 2 * ly) {
        LogSignatureError(
            __LINE__,
            "Signature Y's actual and expected data lengths differ. ExpLen-[%d]ActLen-[%d]", 2 * ly,
            sDigits);
        return false;
    }
    if (total != lx + ly) {
        LogSignatureError(__LINE__, "Signature length is incorrect. ExpLen-[%d]ActLen-[%d][%d]",
                          total, ly, lx);
        return false;
    }
    return true;
}

bool DerSignatureToPlainHex(const std::vector<uint8_t>& der, std::string& plainSignature) {
    plainSignature.clear();
    if (der.size() < 6) return false;
    const size_t lx = der[4];
    if (lx == 0 || lx > kScalarSize || der.size() < lx + 7) return false;
    const size_t ly = der[lx + 6];
    if (ly == 0 || ly > kScalarSize || der.size() < lx + ly + 7) return false;
    plainSignature.reserve(2 * kScalarDigits);
    AppendScalarHex(der, 5, lx, plainSignature);
    AppendScalarHex(der, lx + 7, ly, plainSignature);
    return true;
}

bool SignatureToPlainHex(std::string_view signatureText, std::string& plainSignature) {
    return DerSignatureToPlainHex(DecodeBase64(signatureText), plainSignature);
}

bool VerifySignatureText(std::string_view signatureText, std::string_view digestText) {
    const std::string_view publicKey = std::string_view(kBuiltinPublicKey).substr(2);
    std::string plain;
    if (!SignatureToPlainHex(signatureText, plain) || !VerifyDigest(plain, publicKey, digestText)) {
        TV_LOG_ERROR(kModSignature, "Incorrect data found");
        return false;
    }
    return true;
}

}  // namespace tv
