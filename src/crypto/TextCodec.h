// Text forms of binary data: Base64 (standard alphabet, "=" padding, one line)
// and upper-case hexadecimal without separators.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tv {

std::string EncodeBase64(const uint8_t* data, size_t length);
inline std::string EncodeBase64(const std::vector<uint8_t>& bytes) {
    return EncodeBase64(bytes.data(), bytes.size());
}
// Characters outside the Base64 alphabet, "=" among them, are skipped; a last
// incomplete group gives the whole bytes it holds.
std::vector<uint8_t> DecodeBase64(std::string_view text);

std::string EncodeHex(const uint8_t* data, size_t length);
inline std::string EncodeHex(const std::vector<uint8_t>& bytes) {
    return EncodeHex(bytes.data(), bytes.size());
}
// Hex digits of either case, two per byte. False (and nothing decoded) for an odd
// count of digits or any other character.
bool DecodeHex(std::string_view text, std::vector<uint8_t>& bytes);

}  // namespace tv
