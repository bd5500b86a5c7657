#include "crypto/TextCodec.h"

#include <cryptopp/base64.h>
#include <cryptopp/filters.h>
#include <cryptopp/hex.h>

#include <exception>

namespace tv {

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Runs bytes through a Crypto++ encoder or decoder into a string sink.
template <typename Codec, typename... Options>
std::string Transform(const uint8_t* data, size_t length, Options... options) {
    std::string out;
    if (data == nullptr || length == 0) return out;
    try {
        CryptoPP::StringSource source(data, length, true,
                                      new Codec(new CryptoPP::StringSink(out), options...));
    } catch (const std::exception&) {
        out.clear();
    }
    return out;
}

const uint8_t* Bytes(std::string_view text) {
    return reinterpret_cast<const uint8_t*>(text.data());
}

std::vector<uint8_t> ToVector(const std::string& s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

}  // namespace

std::string EncodeBase64(const uint8_t* data, size_t length) {
    return Transform<CryptoPP::Base64Encoder>(data, length, false);
}

std::vector<uint8_t> DecodeBase64(std::string_view text) {
    return ToVector(Transform<CryptoPP::Base64Decoder>(Bytes(text), text.size()));
}

std::string EncodeHex(const uint8_t* data, size_t length) {
    return Transform<CryptoPP::HexEncoder>(data, length, true);
}

bool DecodeHex(std::string_view text, std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (text.size() % 2 != 0) return false;
    for (char c : text) {
        if (!IsHexDigit(c)) return false;
    }
    bytes = ToVector(Transform<CryptoPP::HexDecoder>(Bytes(text), text.size()));
    return bytes.size() == text.size() / 2;
}

}  // namespace tv
