// Small card images written by hand: an info sector with chosen fields, a
// command sector, and store files whose sectors tell their own global number.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace tv::test {

struct InfoFields {
    std::string custId = "ZT4A";
    std::array<uint8_t, 16> uid = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                   0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    uint32_t totalSectors = 8;
    uint32_t nextWriteIndex = 6;
    uint8_t flags = 0;             // byte 28, bit 7 fused
    uint8_t commandSelector = 0;   // byte 29
    uint8_t rollback = 0;          // byte 30
    uint32_t lastWriteIndex = 5;
    std::string printableUid = "00112233445566778899AABBCCDDEEFF";
};

inline void PutBigEndian32(std::string& s, size_t at, uint32_t v) {
    s[at] = static_cast<char>(v >> 24);
    s[at + 1] = static_cast<char>(v >> 16);
    s[at + 2] = static_cast<char>(v >> 8);
    s[at + 3] = static_cast<char>(v);
}

inline std::string InfoSector(const InfoFields& f) {
    std::string s(512, '\0');
    s.replace(0, 4, f.custId.substr(0, 4));
    for (size_t i = 0; i < 16; ++i) s[4 + i] = static_cast<char>(f.uid[i]);
    PutBigEndian32(s, 20, f.totalSectors);
    PutBigEndian32(s, 24, f.nextWriteIndex);
    s[28] = static_cast<char>(f.flags);
    s[29] = static_cast<char>(f.commandSelector);
    s[30] = static_cast<char>(f.rollback);
    PutBigEndian32(s, 64, f.lastWriteIndex);
    s.replace(256, 32, f.printableUid.substr(0, 32));
    // Bytes the card does not describe stay recognisable, so that a reader that
    // takes a wrong field shows it.
    for (size_t i = 300; i < 512; ++i) s[i] = static_cast<char>(0xA5);
    return s;
}

// One store sector: its global number big-endian, then a pattern derived from it.
inline std::string StoreSector(uint32_t global) {
    std::string s(512, '\0');
    PutBigEndian32(s, 0, global);
    for (size_t i = 4; i < 512; ++i) s[i] = static_cast<char>((global * 31 + i) & 0xFF);
    return s;
}

inline std::string StoreSectors(uint32_t first, uint32_t count) {
    std::string s;
    for (uint32_t i = 0; i < count; ++i) s += StoreSector(first + i);
    return s;
}

inline std::string StoreFile(int index) {
    std::string name = "WORMSTOR.DAT";
    if (index > 0) name[7] = static_cast<char>(index < 10 ? '0' + index : 'A' + (index - 10));
    return name;
}

inline void WriteImageFile(const std::string& folder, const std::string& name,
                           const std::string& content) {
    std::filesystem::create_directories(folder);
    std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
    out << content;
}

inline std::string ReadImageFile(const std::string& folder, const std::string& name) {
    std::ifstream in(folder + "/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Writes a card image: the info sector, a zeroed command sector and the store
// split into files of the given sector counts (numbered globally in order).
inline void WriteCardImage(const std::string& folder, const InfoFields& info,
                           const std::vector<uint32_t>& fileSectors) {
    WriteImageFile(folder, "WORMINFO.DAT", InfoSector(info));
    WriteImageFile(folder, "WORMCOMM.DAT", std::string(512, '\0'));
    uint32_t first = 0;
    for (size_t k = 0; k < fileSectors.size(); ++k) {
        WriteImageFile(folder, StoreFile(static_cast<int>(k)), StoreSectors(first, fileSectors[k]));
        first += fileSectors[k];
    }
}

// Every file of an image folder with its bytes.
inline std::map<std::string, std::string> ImageSnapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (!entry.is_regular_file()) continue;
        const std::string name = entry.path().filename().string();
        files[name] = ReadImageFile(folder, name);
    }
    return files;
}

}  // namespace tv::test
