#include "zt4/ScaleSignature.h"

#include <vector>

#include "crypto/Signature.h"
#include "crypto/TextCodec.h"

namespace tv {

std::string Zt4PublicKeyHex(std::string_view pck) {
    const std::vector<uint8_t> point = DecodeBase64(pck);
    if (point.size() != 133 || point[0] != 0x04) return {};
    return EncodeHex(point);
}

bool VerifyZt4SignatureBlock(std::string_view sig, std::string_view pck, const BlockHash& previousHash) {
    const std::string key = Zt4PublicKeyHex(pck);
    if (key.empty()) return false;
    std::string plain;
    if (!DerSignatureToPlainHex(DecodeBase64(sig), plain)) return false;
    return VerifyDigest(plain, std::string_view(key).substr(2), EncodeHex(previousHash.data(), previousHash.size()));
}

}  // namespace tv
