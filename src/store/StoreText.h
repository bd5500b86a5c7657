// Reading the text fields of store blocks: label/value pairs, the scale family
// of sector 0 and the dates of dated dX blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "store/WormBlock.h"

namespace tv {

// The n characters between the ";" that ends the label and the next ";". The text
// ends at its first zero byte (or at its end). Fails silently when the label is
// missing; logs when the value has another length.
bool ExtractLabelValue(std::string_view text, std::string_view label, size_t n, std::string& value);
// The text of a block from an offset up to its first zero byte.
std::string_view BlockText(const uint8_t* bytes, size_t size, size_t offset);

// From sector 0 (512 bytes): "ZT4" at bytes 4 to 6, else the balance type label.
ScaleFamily DetectScaleFamily(const uint8_t* sector0, size_t size);

struct BlockDate {
    std::string compact;  // YYYYMMDDhhmm
    std::string text;     // the ten characters of the date as stored
};
// Only for record types E, T and U; false for any other.
bool ExtractBlockDate(const uint8_t* sector, char recordType, BlockDate& date);

// Labels of the dX origin of trust block (their bytes 0xF8 and 0xE9 as stored).
extern const std::string_view kLabelSerialNumber;
extern const std::string_view kLabelBalanceType;
extern const std::string_view kLabelSmcUid;
extern const std::string_view kLabelPublicKey;
extern const std::string_view kLabelFiscalVersion;

}  // namespace tv
