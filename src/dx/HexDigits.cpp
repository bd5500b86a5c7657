#include "dx/HexDigits.h"

namespace tv {

bool AllHexDigits(const char* text, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (HexDigitValue(static_cast<uint8_t>(text[i])) < 0) return false;
    }
    return true;
}

bool HexFieldValue(const char* text, size_t count, uint32_t& value) {
    if (count > 8) return false;
    uint32_t v = 0;
    for (size_t i = 0; i < count; ++i) {
        const int d = HexDigitValue(static_cast<uint8_t>(text[i]));
        if (d < 0) return false;
        v = (v << 4) | static_cast<uint32_t>(d);
    }
    value = v;
    return true;
}

bool HexToBytes(const char* text, size_t count, uint8_t* bytes) {
    int bad = 0;  // any digit of value -1 sets the sign bit
    for (size_t i = 0; i < count; ++i) {
        const int high = HexDigitValue(static_cast<uint8_t>(text[2 * i]));
        const int low = HexDigitValue(static_cast<uint8_t>(text[2 * i + 1]));
        bad |= high | low;
        bytes[i] = static_cast<uint8_t>(((high & 0x0F) << 4) | (low & 0x0F));
    }
    return bad >= 0;
}

void BytesToUpperHex(const uint8_t* bytes, size_t count, char* text) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (size_t i = 0; i < count; ++i) {
        text[2 * i] = kDigits[bytes[i] >> 4];
        text[2 * i + 1] = kDigits[bytes[i] & 0x0F];
    }
}

}  // namespace tv
