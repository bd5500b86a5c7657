// Scale key pairs made from a seed, and signatures with such a key: what a scale
// does when it signs its journal, used to make card images. Keys are on
// secp521r1 in the text forms of the signature service: the private key as the
// 66-byte scalar in 132 upper-case hex digits, the public key as "04", X, Y
// (266 digits).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "crypto/Digest.h"

namespace tv {

// The key pair of a seed: the same seed always gives the same pair. The scalar is
// taken from a SHA-256 stream of the seed, reduced into 1 .. n-1.
bool GenerateKeyPair(uint64_t seed, std::string& privateHex, std::string& publicHex);

// Signs a SHA-256 digest (the digest itself is the value signed, as the signature
// service verifies it) with the private key and gives the DER form of the
// signature. The nonce is the deterministic one of RFC 6979 (HMAC-SHA-256), so
// the same key and digest always give the same signature. False for a private
// key text that is not a valid scalar.
bool SignDigestWith(const std::string& privateHex, const DigestBytes& digest,
                    std::vector<uint8_t>& der);

}  // namespace tv
