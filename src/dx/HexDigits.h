// Hexadecimal fields of archive lines: tests and values of runs of digits of
// either case. Every function reads exactly the count of characters it is given.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tv {

namespace hex_detail {
// The value of every byte as a hexadecimal digit: a table, since archive lines
// hold millions of digits.
constexpr std::array<int8_t, 256> MakeDigitTable() {
    std::array<int8_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[static_cast<size_t>(c)] = c >= '0' && c <= '9'   ? static_cast<int8_t>(c - '0')
                                        : c >= 'A' && c <= 'F' ? static_cast<int8_t>(c - 'A' + 10)
                                        : c >= 'a' && c <= 'f' ? static_cast<int8_t>(c - 'a' + 10)
                                                               : int8_t{-1};
    }
    return table;
}
inline constexpr std::array<int8_t, 256> kDigitTable = MakeDigitTable();
}  // namespace hex_detail

// The value 0-15 of a hexadecimal digit of either case, -1 for any other byte.
inline int HexDigitValue(uint8_t c) { return hex_detail::kDigitTable[c]; }

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
