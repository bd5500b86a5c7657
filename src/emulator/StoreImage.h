// The files of a card image folder: the store, written sector by sector as the
// scale fills it and spread over the store files at the end, the info sector
// and the command sector.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tv {

class File;

using InfoSectorBytes = std::array<uint8_t, 512>;

class StoreImage {
public:
    StoreImage();
    // An image that was started but not finished is removed again (its store and
    // info files), so that no half-written card is left behind.
    ~StoreImage();
    StoreImage(const StoreImage&) = delete;
    StoreImage& operator=(const StoreImage&) = delete;

    // Creates the folder (and its parents) when missing and starts the store.
    bool Create(const std::string& folder, std::string& error);
    // Appends whole sectors to the store.
    bool Append(const uint8_t* data, size_t sectors);
    uint32_t SectorsWritten() const { return written_; }

    // Ends the store at totalSectors (at least the sectors written; the rest are
    // free, zero sectors) in fileCount store files of nearly equal size, and
    // writes WORMINFO.DAT and an all-zero WORMCOMM.DAT. Store files of an earlier
    // image beyond fileCount are removed.
    bool Finish(uint32_t totalSectors, uint32_t fileCount, const InfoSectorBytes& info,
                std::string& error);

    // WORMSTOR.DAT for 0, WORMSTO1.DAT .. WORMSTO9.DAT, WORMSTOA.DAT .. WORMSTOF.DAT.
    static std::string StoreFileName(uint32_t index);

private:
    bool Flush();
    bool MoveTail(uint64_t firstSector, uint64_t sectors, const std::string& path);
    bool WriteSector(const std::string& name, const uint8_t* data, std::string& error);
    bool Fail(const std::string& what, const std::string& path, std::string& error);

    std::string folder_;
    std::unique_ptr<File> spool_;  // WORMSTOR.DAT while the store is written
    std::vector<uint8_t> buffer_;
    uint32_t written_ = 0;
    bool failed_ = false;
    bool started_ = false;
    bool finished_ = false;
};

}  // namespace tv
