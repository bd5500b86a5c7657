// The scale's signature as a signature block carries it: its DER form
// SEQUENCE { INTEGER r, INTEGER s } written as hexadecimal digits.
#pragma once

#include <cstddef>
#include <string>

namespace tv {

// Digits of one integer of the signature at most: 66 bytes.
constexpr size_t kScalarHexDigits = 132;

// The plain signature (r then s, each left-padded with "0" to 132 digits) of the
// count digits of a DER signature: three header bytes (tag, length form, length),
// then tag and length LX of r, the 2 * LX digits of r, tag and length LY of s and
// the 2 * LY digits of s. Only the two lengths are read of the header fields. False
// when a length is not hexadecimal, is above 66 bytes or reaches beyond the digits.
bool PlainSignatureFromDerHex(const char* digits, size_t count, std::string& plain);

}  // namespace tv
