#include "zt4/Zt4BlockReader.h"

#include <algorithm>
#include <cstdio>

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "store/ArchiveResult.h"
#include "store/BlockDecoder.h"
#include "smc/WormChannel.h"

namespace tv {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool DigitsAt(const std::string& text, std::initializer_list<size_t> positions) {
    for (size_t at : positions) {
        if (at >= text.size() || !IsDigit(text[at])) return false;
    }
    return true;
}

const char* ReaderMessage(int code) {
    switch (code) {
        case CXmlParse::kNoSerialNumber: return "Scale serial number not found.";
        case CXmlParse::kNoPrintableUid: return "SMC printable UID not found.";
        case CXmlParse::kNoDate: return "Date text not found.";
        case CXmlParse::kNoSignature: return "Signature not found.";
        case CXmlParse::kNoPublicKey: return "Public key not found.";
        default: return "Invalid XML format!";
    }
}

}  // namespace

std::string CZt4BlockReader::CompactDate(const std::string& d) {
    if (!DigitsAt(d, {0, 1, 2, 3, 5, 6, 8, 9})) return {};
    return d.substr(0, 4) + d.substr(5, 2) + d.substr(8, 2);
}

std::string CZt4BlockReader::Stamp(const std::string& d) {
    if (!DigitsAt(d, {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18})) return {};
    return d.substr(0, 4) + d.substr(5, 2) + d.substr(8, 2) + d.substr(11, 2) + d.substr(14, 2) + d.substr(17, 2);
}

bool CZt4BlockReader::FillWindow(uint32_t first, uint32_t count) {
    windowCount_ = 0;
    window_.resize(size_t{count} * kBlockSectorSize);
    if (WORM_READ_SECTORS(ctx_.worm.get(), window_.data(), first, count) != kWormOk) return false;
    windowFirst_ = first;
    windowCount_ = count;
    return true;
}

bool CZt4BlockReader::ReadFromWindow(uint32_t number) {
    if (!ctx_.worm) return false;
    uint64_t storeSectors = 0;
    for (uint32_t i = 0; i < ctx_.worm->storeFileCount && i < static_cast<uint32_t>(kMaxStoreFiles); ++i) {
        storeSectors += ctx_.worm->storeSectors[i];
    }
    if (number >= storeSectors) return false;
    const auto fill = [&](uint32_t sectors) {
        const uint64_t count = std::min<uint64_t>(std::max(sectors, kReadAheadSectors), storeSectors - number);
        return FillWindow(number, static_cast<uint32_t>(count));
    };
    if ((number < windowFirst_ || number >= uint64_t{windowFirst_} + windowCount_) && !fill(1)) return false;
    const uint8_t* first = window_.data() + size_t{number - windowFirst_} * kBlockSectorSize;
    if (!DecodeBlockHeader(first, ScaleFamily::Zt4, number, block)) return false;
    if (uint64_t{number} + block.sectorCount > storeSectors) return false;
    if (uint64_t{number} + block.sectorCount > uint64_t{windowFirst_} + windowCount_) {
        if (!fill(block.sectorCount)) return false;
        first = window_.data();
    }
    block.bytes.assign(first, first + size_t{block.sectorCount} * kBlockSectorSize);
    const uint8_t* trailer = block.bytes.data() + block.paddedLength;
    std::copy_n(trailer, 32, block.previousHash.begin());
    std::copy_n(trailer + 32, 32, block.currentHash.begin());
    return true;
}

bool CZt4BlockReader::Read(uint32_t number, int& result) {
    bool damaged = false;
    if (!(readAhead && ReadFromWindow(number)) && !ReadBlock(ctx_, ScaleFamily::Zt4, number, block, &damaged)) {
        // A failed read has been logged where the card was read.
        if (damaged) result = kArchiveDataCheckFailed;
        return false;
    }
    yearClosure = false;
    if (block.contentLength == 0) {
        kind = block.recordType;
        return true;
    }
    // ReadBlock has checked that the entry lies within the sectors read.
    if (block.bytes.size() < size_t{block.contentLength} + 4) {
        result = kArchiveDataCheckFailed;
        TV_LOG_ERROR(module_, "Invalid XML format!");
        return false;
    }
    xml.Load(block.bytes.data() + 4, block.contentLength);
    const int parsed = xml.Parse();
    if (number == 0) {
        kind = 'I';
        scaleType.assign(reinterpret_cast<const char*>(block.bytes.data()) + 4,
                         block.contentLength < 3 ? block.contentLength : 3);
        return true;
    }
    if (parsed != CXmlParse::kOk) {
        char message[128];
        std::snprintf(message, sizeof message, "%s BlockNum - %u", ReaderMessage(parsed), number);
        TV_LOG_ERROR(module_, message);
        result = kArchiveDataCheckFailed;
        return false;
    }
    previousDateText = dateText;
    dateText = std::string(xml.DateText());
    const std::string_view name = xml.KindName();
    if (name == "fpg") {
        kind = 'O';
    } else if (name == "fsg") {
        kind = 'S';
    } else if (name == "fcd" || name == "fcm" || name == "fcy") {
        kind = 'E';
        yearClosure = name == "fcy";
    } else {
        kind = 'T';
    }
    return true;
}

}  // namespace tv
