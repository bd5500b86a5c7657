#include "crypto/ScaleKey.h"

#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/ecdsa.h>

#include <algorithm>
#include <array>

#include "crypto/OpenSslHandles.h"
#include "crypto/TextCodec.h"

namespace tv {

namespace {

using ossl::kScalarSize;
constexpr char kKeyLabel[] = "TALLYVAULT SCALE KEY";
constexpr int kOrderBits = 521;

using Mac = std::array<uint8_t, kDigestSize>;

// 96 bytes of SHA-256 over the label, the seed (big-endian) and a counter.
std::vector<uint8_t> SeedStream(uint64_t seed) {
    std::vector<uint8_t> stream;
    for (uint8_t counter = 0; counter < 3; ++counter) {
        std::vector<uint8_t> input(kKeyLabel, kKeyLabel + sizeof kKeyLabel - 1);
        for (int shift = 56; shift >= 0; shift -= 8) {
            input.push_back(static_cast<uint8_t>(seed >> shift));
        }
        input.push_back(counter);
        const DigestBytes part = HashBuffer(input.data(), input.size());
        stream.insert(stream.end(), part.begin(), part.end());
    }
    return stream;
}

// HMAC-SHA-256 of the concatenated parts under the key.
bool HmacSha256(const Mac& key, std::initializer_list<std::pair<const uint8_t*, size_t>> parts, Mac& out) {
    std::vector<uint8_t> message;
    for (const auto& [data, size] : parts) message.insert(message.end(), data, data + size);
    size_t outLength = 0;
    const bool ok = EVP_Q_mac(nullptr, "HMAC", nullptr, "SHA256", nullptr, key.data(), key.size(), message.data(),
                              message.size(), out.data(), out.size(), &outLength) != nullptr &&
                    outLength == out.size();
    OPENSSL_cleanse(message.data(), message.size());
    return ok;
}

// The deterministic nonce of RFC 6979 section 3.2 with HMAC-SHA-256, for the
// private scalar x and the digest h1 (the value signed) on secp521r1.
ossl::Bn DeterministicNonce(const BIGNUM* x, const BIGNUM* order, const DigestBytes& h1, BN_CTX* ctx) {
    // int2octets(x) and bits2octets(h1): h1 is shorter than the order, so it is
    // taken whole and reduced modulo the order.
    std::array<uint8_t, kScalarSize> privateOctets{};
    std::array<uint8_t, kScalarSize> digestOctets{};
    ossl::Bn h = ossl::FromBytes(h1.data(), h1.size());
    if (!h || !ossl::ToBytes(x, privateOctets.data(), kScalarSize) ||
        BN_nnmod(h.get(), h.get(), order, ctx) == 0 || !ossl::ToBytes(h.get(), digestOctets.data(), kScalarSize)) {
        return nullptr;
    }
    Mac v;
    Mac k;
    v.fill(0x01);
    k.fill(0x00);
    const uint8_t zero = 0x00;
    const uint8_t one = 0x01;
    const auto step = [&](const uint8_t* separator) {
        return HmacSha256(k, {{v.data(), v.size()}, {separator, 1}, {privateOctets.data(), kScalarSize},
                              {digestOctets.data(), kScalarSize}},
                          k) &&
               HmacSha256(k, {{v.data(), v.size()}}, v);
    };
    if (!step(&zero) || !step(&one)) return nullptr;

    std::array<uint8_t, kScalarSize> candidate{};
    for (int attempt = 0; attempt < 64; ++attempt) {
        for (size_t filled = 0; filled < candidate.size();) {
            if (!HmacSha256(k, {{v.data(), v.size()}}, v)) return nullptr;
            const size_t take = std::min(v.size(), candidate.size() - filled);
            std::copy_n(v.begin(), take, candidate.begin() + static_cast<std::ptrdiff_t>(filled));
            filled += take;
        }
        // bits2int: the leftmost 521 bits of the 528 drawn.
        ossl::Bn nonce = ossl::FromBytes(candidate.data(), candidate.size());
        if (!nonce || BN_rshift(nonce.get(), nonce.get(), 8 * kScalarSize - kOrderBits) == 0) return nullptr;
        if (!BN_is_zero(nonce.get()) && BN_cmp(nonce.get(), order) < 0) return nonce;
        if (!HmacSha256(k, {{v.data(), v.size()}, {&zero, 1}}, k) || !HmacSha256(k, {{v.data(), v.size()}}, v)) {
            return nullptr;
        }
    }
    return nullptr;
}

const BIGNUM* Order() { return ossl::Curve() != nullptr ? EC_GROUP_get0_order(ossl::Curve()) : nullptr; }

}  // namespace

bool GenerateKeyPair(uint64_t seed, std::string& privateHex, std::string& publicHex) {
    privateHex.clear();
    publicHex.clear();
    const EC_GROUP* curve = ossl::Curve();
    const BIGNUM* order = Order();
    ossl::BnCtx ctx(BN_CTX_new());
    if (curve == nullptr || order == nullptr || !ctx) return false;

    const std::vector<uint8_t> stream = SeedStream(seed);
    ossl::Bn scalar = ossl::FromBytes(stream.data(), stream.size());
    ossl::Bn orderLess1(BN_dup(order));
    ossl::Point point(EC_POINT_new(curve));
    ossl::Bn x(BN_new());
    ossl::Bn y(BN_new());
    // scalar = stream mod (n - 1) + 1, a value in 1 .. n-1.
    const bool ok = scalar && orderLess1 && point && x && y && BN_sub_word(orderLess1.get(), 1) != 0 &&
                    BN_nnmod(scalar.get(), scalar.get(), orderLess1.get(), ctx.get()) != 0 &&
                    BN_add_word(scalar.get(), 1) != 0 &&
                    EC_POINT_mul(curve, point.get(), scalar.get(), nullptr, nullptr, ctx.get()) != 0 &&
                    EC_POINT_get_affine_coordinates(curve, point.get(), x.get(), y.get(), ctx.get()) != 0;
    std::array<uint8_t, kScalarSize> bytes{};
    if (!ok || !ossl::ToBytes(scalar.get(), bytes.data(), bytes.size())) {
        ossl::ClearErrors();
        return false;
    }
    privateHex = EncodeHex(bytes.data(), bytes.size());
    OPENSSL_cleanse(bytes.data(), bytes.size());
    publicHex = "04";
    for (const BIGNUM* coordinate : {x.get(), y.get()}) {
        if (!ossl::ToBytes(coordinate, bytes.data(), bytes.size())) {
            privateHex.clear();
            publicHex.clear();
            return false;
        }
        publicHex += EncodeHex(bytes.data(), bytes.size());
    }
    return true;
}

bool SignDigestWith(const std::string& privateHex, const DigestBytes& digest, std::vector<uint8_t>& der) {
    der.clear();
    std::vector<uint8_t> scalarBytes;
    if (!DecodeHex(privateHex, scalarBytes) || scalarBytes.empty()) return false;
    const EC_GROUP* curve = ossl::Curve();
    const BIGNUM* order = Order();
    ossl::BnCtx ctx(BN_CTX_new());
    if (curve == nullptr || order == nullptr || !ctx) return false;
    ossl::Bn scalar = ossl::FromBytes(scalarBytes.data(), scalarBytes.size());
    OPENSSL_cleanse(scalarBytes.data(), scalarBytes.size());
    if (!scalar || BN_is_zero(scalar.get()) || BN_cmp(scalar.get(), order) >= 0) return false;

    // The digest is shorter than the order, so it enters the signature whole.
    ossl::Bn e = ossl::FromBytes(digest.data(), digest.size());
    ossl::Bn nonce = DeterministicNonce(scalar.get(), order, digest, ctx.get());
    ossl::Point point(EC_POINT_new(curve));
    ossl::Bn r(BN_new());
    ossl::Bn s(BN_new());
    ossl::Bn nonceInverse(BN_new());
    // r = x(kG) mod n, s = k^-1 (e + x r) mod n.
    const bool ok = e && nonce && point && r && s && nonceInverse &&
                    EC_POINT_mul(curve, point.get(), nonce.get(), nullptr, nullptr, ctx.get()) != 0 &&
                    EC_POINT_get_affine_coordinates(curve, point.get(), r.get(), nullptr, ctx.get()) != 0 &&
                    BN_nnmod(r.get(), r.get(), order, ctx.get()) != 0 &&
                    BN_mod_mul(s.get(), scalar.get(), r.get(), order, ctx.get()) != 0 &&
                    BN_mod_add(s.get(), s.get(), e.get(), order, ctx.get()) != 0 &&
                    BN_mod_inverse(nonceInverse.get(), nonce.get(), order, ctx.get()) != nullptr &&
                    BN_mod_mul(s.get(), s.get(), nonceInverse.get(), order, ctx.get()) != 0 &&
                    !BN_is_zero(r.get()) && !BN_is_zero(s.get());
    if (!ok) {
        ossl::ClearErrors();
        return false;
    }
    std::unique_ptr<ECDSA_SIG, decltype(&ECDSA_SIG_free)> signature(ECDSA_SIG_new(), &ECDSA_SIG_free);
    if (!signature || ECDSA_SIG_set0(signature.get(), r.get(), s.get()) == 0) return false;
    r.release();  // owned by the signature from here on
    s.release();
    unsigned char* encoded = nullptr;
    const int length = i2d_ECDSA_SIG(signature.get(), &encoded);
    if (length <= 0 || encoded == nullptr) {
        ossl::ClearErrors();
        return false;
    }
    der.assign(encoded, encoded + length);
    OPENSSL_free(encoded);
    return true;
}

}  // namespace tv
