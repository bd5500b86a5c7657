#include "crypto/Signature.h"

#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/ecdsa.h>
#include <openssl/params.h>

#include <cstdarg>
#include <cstdio>
#include <deque>
#include <memory>
#include <unordered_set>

#include "crypto/BuiltinKey.h"
#include "crypto/Digest.h"
#include "crypto/OpenSslHandles.h"
#include "crypto/TextCodec.h"
#include "log/LogFile.h"
#include "platform/PrintfFormat.h"

namespace tv {

namespace {

using ossl::kScalarSize;                           // bytes of r, s, X, Y or the private key
constexpr size_t kScalarDigits = 2 * kScalarSize;  // 132
constexpr size_t kDerReserve = 11;                 // room of the DER form beyond r||s
constexpr size_t kMaxSignatureText = 192;

// The built-in key pair as a key of the library, made and checked once (the
// private scalar in range, the point on the curve and the point of the scalar).
// Null when the pair fails the checks.
EVP_PKEY* BuiltinSigningKey() {
    static const ossl::Pkey key = []() -> ossl::Pkey {
        std::vector<uint8_t> scalar;
        std::vector<uint8_t> point;
        if (!DecodeHex(kBuiltinPrivateKey, scalar) || !DecodeHex(kBuiltinPublicKey, point)) return nullptr;
        ossl::Bn priv = ossl::FromBytes(scalar.data(), scalar.size());
        OPENSSL_cleanse(scalar.data(), scalar.size());
        ossl::PkeyCtx make(EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr));
        if (!priv || !make || EVP_PKEY_fromdata_init(make.get()) <= 0) return nullptr;
        // The library reads a big-number parameter in native byte order.
        std::vector<uint8_t> native(kScalarSize);
        if (BN_bn2nativepad(priv.get(), native.data(), static_cast<int>(native.size())) < 0) return nullptr;
        OSSL_PARAM params[] = {
            OSSL_PARAM_construct_utf8_string(OSSL_PKEY_PARAM_GROUP_NAME, const_cast<char*>(ossl::kCurveName), 0),
            OSSL_PARAM_construct_octet_string(OSSL_PKEY_PARAM_PUB_KEY, point.data(), point.size()),
            OSSL_PARAM_construct_BN(OSSL_PKEY_PARAM_PRIV_KEY, native.data(), native.size()),
            OSSL_PARAM_construct_end()};
        EVP_PKEY* made = nullptr;
        const int result = EVP_PKEY_fromdata(make.get(), &made, EVP_PKEY_KEYPAIR, params);
        OPENSSL_cleanse(native.data(), native.size());
        if (result <= 0) {
            ossl::ClearErrors();
            return nullptr;
        }
        ossl::Pkey pair(made);
        ossl::PkeyCtx check(EVP_PKEY_CTX_new_from_pkey(nullptr, pair.get(), nullptr));
        if (!check || EVP_PKEY_check(check.get()) <= 0) {
            ossl::ClearErrors();
            return nullptr;
        }
        return pair;
    }();
    return key.get();
}

bool IsBase64Char(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '/';
}

// A signature-text error with numbers, formatted as every log entry with numbers is.
TV_PRINTF_LIKE(2, 3) void LogSignatureError(int line, const char* format, ...) {
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

    EVP_PKEY* key = BuiltinSigningKey();
    if (key == nullptr) return kSignKeyInvalid;
    // A fresh random nonce from the library's generator for every signature.
    ossl::PkeyCtx ctx(EVP_PKEY_CTX_new_from_pkey(nullptr, key, nullptr));
    size_t derLength = 0;
    if (!ctx || EVP_PKEY_sign_init(ctx.get()) <= 0 ||
        EVP_PKEY_sign(ctx.get(), nullptr, &derLength, digest.data(), digest.size()) <= 0) {
        ossl::ClearErrors();
        return kSignKeyInvalid;
    }
    std::vector<uint8_t> buffer(derLength);
    if (EVP_PKEY_sign(ctx.get(), buffer.data(), &derLength, digest.data(), digest.size()) <= 0) {
        ossl::ClearErrors();
        return kSignKeyInvalid;
    }
    if (derLength >= 2 * kScalarSize + kDerReserve) return kSignDerTooLong;
    buffer.resize(derLength);
    der = std::move(buffer);
    return kSignOk;
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

// The verification context of the last public key that passed validation:
// validating a key costs far more than one verification, and an archive's
// signatures all use the same key.
struct VerifierCache {
    std::string keyText;
    ossl::Pkey key;
    ossl::PkeyCtx verifier;
};

// The verification context of a public-key text (X then Y, each half of the
// text one coordinate); none when the text does not decode or the key fails
// validation (a point of the curve, not the point at infinity, of the curve's
// order). A new key text is always validated.
EVP_PKEY_CTX* ValidatedVerifier(std::string_view publicKey) {
    thread_local VerifierCache cache;
    if (cache.verifier && cache.keyText == publicKey) return cache.verifier.get();
    std::vector<uint8_t> point;
    if (!DecodeHex(publicKey, point) || point.empty()) return nullptr;
    const size_t half = point.size() / 2;
    if (half == 0) return nullptr;
    ossl::Bn x = ossl::FromBytes(point.data(), half);
    ossl::Bn y = ossl::FromBytes(point.data() + half, half);
    std::vector<uint8_t> encoded(1 + 2 * kScalarSize);
    encoded[0] = 0x04;
    if (!x || !y || !ossl::ToBytes(x.get(), encoded.data() + 1, kScalarSize) ||
        !ossl::ToBytes(y.get(), encoded.data() + 1 + kScalarSize, kScalarSize)) {
        ossl::ClearErrors();
        return nullptr;
    }
    ossl::Pkey key = ossl::PublicKeyFromPoint(encoded.data(), encoded.size());
    if (!key) return nullptr;
    ossl::PkeyCtx check(EVP_PKEY_CTX_new_from_pkey(nullptr, key.get(), nullptr));
    ossl::PkeyCtx verifier(EVP_PKEY_CTX_new_from_pkey(nullptr, key.get(), nullptr));
    if (!check || !verifier || EVP_PKEY_public_check(check.get()) <= 0 ||
        EVP_PKEY_verify_init(verifier.get()) <= 0) {
        ossl::ClearErrors();
        return nullptr;
    }
    cache.verifier.reset();
    cache.keyText.assign(publicKey);
    cache.key = std::move(key);
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
    EVP_PKEY_CTX* verifier = ValidatedVerifier(publicKey);
    if (verifier == nullptr) return false;

    std::vector<uint8_t> digest;
    std::vector<uint8_t> signature;
    if (!DecodeHex(digestText, digest) || digest.size() != kDigestSize) return false;
    if (!DecodeHex(plainSignature, signature)) return false;
    // r and s at their fixed sizes, nothing more and nothing less.
    if (signature.size() != 2 * kScalarSize) return false;

    std::unique_ptr<ECDSA_SIG, decltype(&ECDSA_SIG_free)> sig(ECDSA_SIG_new(), &ECDSA_SIG_free);
    ossl::Bn r = ossl::FromBytes(signature.data(), kScalarSize);
    ossl::Bn s = ossl::FromBytes(signature.data() + kScalarSize, kScalarSize);
    if (!sig || !r || !s || ECDSA_SIG_set0(sig.get(), r.get(), s.get()) == 0) return false;
    r.release();  // owned by the signature from here on
    s.release();
    unsigned char* der = nullptr;
    const int derLength = i2d_ECDSA_SIG(sig.get(), &der);
    if (derLength <= 0 || der == nullptr) {
        ossl::ClearErrors();
        return false;
    }
    const int result = EVP_PKEY_verify(verifier, der, static_cast<size_t>(derLength), digest.data(), digest.size());
    OPENSSL_free(der);
    if (result != 1) ossl::ClearErrors();
    return result == 1;
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
