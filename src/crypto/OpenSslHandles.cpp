#include "crypto/OpenSslHandles.h"

#include <openssl/core_names.h>
#include <openssl/err.h>
#include <openssl/obj_mac.h>
#include <openssl/params.h>

namespace tv::ossl {

const EC_GROUP* Curve() {
    static const std::unique_ptr<EC_GROUP, decltype(&EC_GROUP_free)> group(
        EC_GROUP_new_by_curve_name(NID_secp521r1), &EC_GROUP_free);
    return group.get();
}

const EVP_MD* Sha256() {
    static const std::unique_ptr<EVP_MD, decltype(&EVP_MD_free)> md(
        EVP_MD_fetch(nullptr, "SHA256", nullptr), &EVP_MD_free);
    return md.get();
}

Bn FromBytes(const uint8_t* data, size_t length) {
    if (length == 0) {
        Bn zero(BN_new());
        if (zero) BN_zero(zero.get());
        return zero;
    }
    return Bn(BN_bin2bn(data, static_cast<int>(length), nullptr));
}

bool ToBytes(const BIGNUM* value, uint8_t* out, size_t size) {
    return value != nullptr && BN_bn2binpad(value, out, static_cast<int>(size)) == static_cast<int>(size);
}

Pkey PublicKeyFromPoint(const uint8_t* point, size_t length) {
    PkeyCtx ctx(EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr));
    if (!ctx || EVP_PKEY_fromdata_init(ctx.get()) <= 0) return nullptr;
    OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_PKEY_PARAM_GROUP_NAME, const_cast<char*>(kCurveName), 0),
        OSSL_PARAM_construct_octet_string(OSSL_PKEY_PARAM_PUB_KEY, const_cast<uint8_t*>(point), length),
        OSSL_PARAM_construct_end()};
    EVP_PKEY* key = nullptr;
    if (EVP_PKEY_fromdata(ctx.get(), &key, EVP_PKEY_PUBLIC_KEY, params) <= 0) {
        ClearErrors();
        return nullptr;
    }
    return Pkey(key);
}

void ClearErrors() { ERR_clear_error(); }

}  // namespace tv::ossl
