// Owning handles of libcrypto objects, the curve every key of the system lives
// on, and the conversions between big-endian bytes and big numbers.
#pragma once

#include <openssl/bn.h>
#include <openssl/ec.h>
#include <openssl/evp.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tv::ossl {

struct BnFree {
    void operator()(BIGNUM* p) const { BN_clear_free(p); }
};
struct BnCtxFree {
    void operator()(BN_CTX* p) const { BN_CTX_free(p); }
};
struct PointFree {
    void operator()(EC_POINT* p) const { EC_POINT_free(p); }
};
struct PkeyFree {
    void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); }
};
struct PkeyCtxFree {
    void operator()(EVP_PKEY_CTX* p) const { EVP_PKEY_CTX_free(p); }
};
struct MdCtxFree {
    void operator()(EVP_MD_CTX* p) const { EVP_MD_CTX_free(p); }
};

using Bn = std::unique_ptr<BIGNUM, BnFree>;
using BnCtx = std::unique_ptr<BN_CTX, BnCtxFree>;
using Point = std::unique_ptr<EC_POINT, PointFree>;
using Pkey = std::unique_ptr<EVP_PKEY, PkeyFree>;
using PkeyCtx = std::unique_ptr<EVP_PKEY_CTX, PkeyCtxFree>;
using MdCtx = std::unique_ptr<EVP_MD_CTX, MdCtxFree>;

// Bytes of a scalar or coordinate of secp521r1.
constexpr size_t kScalarSize = 66;
constexpr char kCurveName[] = "secp521r1";

// secp521r1, made once; null only when the library lacks the curve.
const EC_GROUP* Curve();
// SHA-256 of the default provider, fetched once.
const EVP_MD* Sha256();

// A big number of the big-endian bytes (zero for none); null when out of memory.
Bn FromBytes(const uint8_t* data, size_t length);
// The value as exactly `size` big-endian bytes; false when it does not fit.
bool ToBytes(const BIGNUM* value, uint8_t* out, size_t size);

// A public key of the curve from its uncompressed point 04 || X || Y (1 + 2 * 66
// bytes); null when the point is not one of the curve.
Pkey PublicKeyFromPoint(const uint8_t* point, size_t length);

// Drops what the library queued about a failure that was answered as false.
void ClearErrors();

}  // namespace tv::ossl
