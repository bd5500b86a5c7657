#include "crypto/ScaleKey.h"

#include <cryptopp/dsa.h>
#include <cryptopp/eccrypto.h>
#include <cryptopp/oids.h>
#include <cryptopp/sha.h>

#include <exception>

#include "crypto/TextCodec.h"

namespace tv {

namespace {

constexpr size_t kScalarSize = 66;
constexpr char kKeyLabel[] = "TALLYVAULT SCALE KEY";

using Group = CryptoPP::DL_GroupParameters_EC<CryptoPP::ECP>;

// The curve with a precomputed table of its base point, made once: a card of a
// year holds hundreds of signatures.
const Group& Curve() {
    static const Group group = [] {
        Group g(CryptoPP::ASN1::secp521r1());
        g.Precompute();
        return g;
    }();
    return group;
}

std::vector<uint8_t> Encode(const CryptoPP::Integer& value) {
    std::vector<uint8_t> bytes(kScalarSize);
    value.Encode(bytes.data(), bytes.size());
    return bytes;
}

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

}  // namespace

bool GenerateKeyPair(uint64_t seed, std::string& privateHex, std::string& publicHex) {
    privateHex.clear();
    publicHex.clear();
    try {
        const Group& group = Curve();
        const CryptoPP::Integer& order = group.GetSubgroupOrder();
        const std::vector<uint8_t> stream = SeedStream(seed);
        const CryptoPP::Integer scalar =
            CryptoPP::Integer(stream.data(), stream.size()) % (order - 1) + 1;
        const CryptoPP::ECP::Point point = group.ExponentiateBase(scalar);

        privateHex = EncodeHex(Encode(scalar));
        publicHex = "04" + EncodeHex(Encode(point.x)) + EncodeHex(Encode(point.y));
        return true;
    } catch (const std::exception&) {
        privateHex.clear();
        publicHex.clear();
        return false;
    }
}

bool SignDigestWith(const std::string& privateHex, const DigestBytes& digest,
                    std::vector<uint8_t>& der) {
    der.clear();
    std::vector<uint8_t> scalarBytes;
    if (!DecodeHex(privateHex, scalarBytes) || scalarBytes.empty()) return false;
    try {
        const Group& group = Curve();
        const CryptoPP::Integer& order = group.GetSubgroupOrder();
        const CryptoPP::Integer scalar(scalarBytes.data(), scalarBytes.size());
        if (scalar.IsZero() || scalar >= order) return false;

        // The digest is shorter than the order, so it enters the signature whole.
        const CryptoPP::Integer e(digest.data(), digest.size());
        const CryptoPP::DL_Algorithm_ECDSA_RFC6979<CryptoPP::ECP, CryptoPP::SHA256> algorithm;
        const CryptoPP::Integer nonce = algorithm.GenerateRandom(scalar, order, e);
        // The algorithm finishes r from the x coordinate of the nonce's point.
        CryptoPP::Integer r = group.ConvertElementToInteger(group.ExponentiateBase(nonce));
        CryptoPP::Integer s;
        algorithm.Sign(group, scalar, nonce, e, r, s);
        if (r.IsZero() || s.IsZero()) return false;

        std::vector<uint8_t> plain = Encode(r);
        const std::vector<uint8_t> sBytes = Encode(s);
        plain.insert(plain.end(), sBytes.begin(), sBytes.end());
        std::vector<uint8_t> buffer(plain.size() + 11);
        const size_t length =
            CryptoPP::DSAConvertSignatureFormat(buffer.data(), buffer.size(), CryptoPP::DSA_DER,
                                                plain.data(), plain.size(), CryptoPP::DSA_P1363);
        if (length == 0 || length >= buffer.size()) return false;
        buffer.resize(length);
        der = std::move(buffer);
        return true;
    } catch (const std::exception&) {
        der.clear();
        return false;
    }
}

}  // namespace tv
