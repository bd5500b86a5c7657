// One decoded block of the card's store, and the card's identity gathered from
// the first blocks.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tv {

using BlockHash = std::array<uint8_t, 32>;

enum class ScaleFamily { Dx, Zt4, Unsupported };

struct WormBlock {
    uint32_t contentLength = 0;  // L; 0 for the short form
    uint16_t shortLength = 0;    // S; 0 for the long form
    uint32_t paddedLength = 0;   // P: where the 64-byte trailer starts
    uint32_t sectorCount = 0;    // N
    char recordType = 0;
    std::string bookKeeping;     // dX long form: "%02X|%08X|%04X|%08X;"
    uint16_t blockIndex = 0;     // dX long form
    BlockHash previousHash{};
    BlockHash currentHash{};
    std::vector<uint8_t> bytes;  // the N raw sectors, once read
};

struct StoreInfo {
    std::string scaleSerialNumber;
    std::string scaleTypeText;
    std::string customisationId;
    std::string smcUid;
    std::string printableUid;
    std::string publicKey;
    std::string fiscalVersion;
    BlockHash rootHash{};
};

}  // namespace tv
