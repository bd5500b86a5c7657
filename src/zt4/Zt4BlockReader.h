// Reading and classifying the blocks of a ZT4 card: the whole entry, its XML
// parsed with one reader for the whole walk, and the one-letter kind the writer
// and the checks work with (I identifier, O fusing, S signature, E closure, T
// any other XML block; short-form blocks keep their stored letter).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/WormBlock.h"
#include "zt4/XmlParse.h"

namespace tv {

class AppContext;

class CZt4BlockReader {
public:
    CZt4BlockReader(AppContext& context, int module) : ctx_(context), module_(module) {}

    // Reads the block at sector `number` and classifies it. A document that the
    // XML reader refuses (outside block 0) fails with the reader's message and
    // result code 2; so does a block that is read but not sound. A failed read
    // logs "Get block from WORM STORE failed".
    bool Read(uint32_t number, int& result);

    // The date of a dated block as YYYYMMDD and as YYYYMMDDhhmmss; empty when the
    // date text is not made of digits where digits belong.
    static std::string CompactDate(const std::string& dateText);
    static std::string Stamp(const std::string& dateText);

    // Walks that go forward through the card read many sectors per request and
    // serve the blocks from them; anything out of the ordinary (a failed read,
    // a block that does not decode) is read again block by block.
    bool readAhead = false;
    static constexpr uint32_t kReadAheadSectors = 128;

    WormBlock block;
    char kind = 0;
    bool yearClosure = false;     // an "fcy" block
    std::string dateText;         // <cte> of the last XML block read (19 characters)
    std::string previousDateText; // the one before it
    std::string scaleType;        // block 0: its first three letters
    CXmlParse xml;

private:
    bool ReadFromWindow(uint32_t number);
    bool FillWindow(uint32_t first, uint32_t count);

    std::vector<uint8_t> window_;
    uint32_t windowFirst_ = 0;
    uint32_t windowCount_ = 0;
    AppContext& ctx_;
    int module_;
};

}  // namespace tv
