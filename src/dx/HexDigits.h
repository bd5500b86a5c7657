// Hexadecimal fields of archive lines: tests and values of runs of digits of
// either case. Every function reads exactly the count of characters it is given.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tv {

// The value 0-15 of a hexadecimal digit of either case, -1 for any other byte.
inline int HexDigitValue(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// True when all count characters are hexadecimal digits (true for none).
bool AllHexDigits(const char* text, size_t count);

// The value of count (at most 8) hexadecimal digits; false when one is not a digit.
bool HexFieldValue(const char* text, size_t count, uint32_t& value);

// Decodes 2 * count digits into count bytes; false when a digit is not hexadecimal
// (the bytes are then undefined).
bool HexToBytes(const char* text, size_t count, uint8_t* bytes);

// Writes count bytes as 2 * count upper-case digits (no terminator).
void BytesToUpperHex(const uint8_t* bytes, size_t count, char* text);

}  // namespace tv
