#include "store/StoreText.h"

#include <algorithm>
#include <cstring>

#include "log/LogFile.h"

namespace tv {

const std::string_view kLabelSerialNumber = "Balance N\xF8 de Serie:;";
const std::string_view kLabelBalanceType = "Balance type:;";
const std::string_view kLabelSmcUid = "SMC Unique ID:;";
const std::string_view kLabelPublicKey = "SMC signature clef public:;";
const std::string_view kLabelFiscalVersion = "Version fiscalis\xE9" "e:;";

std::string_view BlockText(const uint8_t* bytes, size_t size, size_t offset) {
    if (bytes == nullptr || offset >= size) return {};
    const char* start = reinterpret_cast<const char*>(bytes) + offset;
    const size_t available = size - offset;
    const void* zero = std::memchr(start, 0, available);
    return {start, zero != nullptr ? static_cast<size_t>(static_cast<const char*>(zero) - start) : available};
}

bool ExtractLabelValue(std::string_view text, std::string_view label, size_t n, std::string& value) {
    text = text.substr(0, text.find('\0'));
    const size_t at = text.find(label);
    if (at == std::string_view::npos) return false;
    const size_t open = text.find(';', at);
    const size_t close = open == std::string_view::npos ? std::string_view::npos : text.find(';', open + 1);
    if (close == std::string_view::npos || close - open - 1 != n) {
        TV_LOG_ERROR(kModCore, "Parsed data is of unexpected length");
        return false;
    }
    value = std::string(text.substr(open + 1, n));
    return true;
}

ScaleFamily DetectScaleFamily(const uint8_t* sector0, size_t size) {
    if (sector0 == nullptr || size < 7) return ScaleFamily::Unsupported;
    if (std::memcmp(sector0 + 4, "ZT4", 3) == 0) return ScaleFamily::Zt4;
    std::string type;
    if (ExtractLabelValue(BlockText(sector0, size, 22), kLabelBalanceType, 4, type) &&
        (type == "dX  " || type == "dMax" || type == "NV  ")) {
        return ScaleFamily::Dx;
    }
    return ScaleFamily::Unsupported;
}

bool ExtractBlockDate(const uint8_t* sector, char recordType, BlockDate& date) {
    if (sector == nullptr || (recordType != 'E' && recordType != 'T' && recordType != 'U')) return false;
    const char* s = reinterpret_cast<const char*>(sector);
    date.compact = std::string(s + 22, 4) + std::string(s + 27, 2) + std::string(s + 30, 2) +
                   std::string(s + 33, 2) + std::string(s + 36, 2);
    date.text = std::string(s + 22, 10);
    return true;
}

}  // namespace tv
