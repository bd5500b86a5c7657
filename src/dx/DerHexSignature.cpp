#include "dx/DerHexSignature.h"

#include "dx/HexDigits.h"

namespace tv {

namespace {

// Appends the integer of 2 * length digits at `at`, left-padded to 132 digits.
void AppendPadded(const char* digits, size_t at, uint32_t length, std::string& plain) {
    plain.append(kScalarHexDigits - 2 * static_cast<size_t>(length), '0');
    plain.append(digits + at, 2 * static_cast<size_t>(length));
}

}  // namespace

bool PlainSignatureFromDerHex(const char* digits, size_t count, std::string& plain) {
    plain.clear();
    constexpr size_t kLengthOfR = 8;  // after the three header bytes and the tag of r
    constexpr size_t kMaxLength = kScalarHexDigits / 2;
    uint32_t lx = 0;
    if (digits == nullptr || count < kLengthOfR + 2 || !HexFieldValue(digits + kLengthOfR, 2, lx) ||
        lx > kMaxLength) {
        return false;
    }
    const size_t r = kLengthOfR + 2;
    const size_t lengthOfS = r + 2 * static_cast<size_t>(lx) + 2;  // after r and the tag of s
    uint32_t ly = 0;
    if (count < lengthOfS + 2 || !HexFieldValue(digits + lengthOfS, 2, ly) || ly > kMaxLength) {
        return false;
    }
    const size_t s = lengthOfS + 2;
    if (count < s + 2 * static_cast<size_t>(ly)) return false;
    plain.reserve(2 * kScalarHexDigits);
    AppendPadded(digits, r, lx, plain);
    AppendPadded(digits, s, ly, plain);
    return true;
}

}  // namespace tv
