// The journal of a dX scale: the origin of trust block (followed, when asked, by
// an incident block), two signature incident / signature pairs, then per day a
// header, the day's receipts, user messages and incidents, and the closure group
// (closure, signature incident, signature), which may be followed by an incident.
//
// Every sector of a long-form block carries the 22-byte dX header: bytes 0-3 the
// content length in the first sector and, in later ones, the content bytes that
// remain from that sector's offset 4; ";"; the sector's index in the block; ";";
// the record type; ";"; the DS version 2; the sector's own block number; the
// block's sector count; the block number of the last header block; ";". The
// payload text follows at offset 22; a block's last sector always holds payload.
#pragma once

#include <string>

#include "emulator/CardWriter.h"

namespace tv {

class DxCardWriter : public CardWriter {
public:
    using CardWriter::CardWriter;

    bool Write(std::string& error) override;

    // Receipts with at most singleMax items fit one sector; from multiMin on they
    // need several.
    static ItemLimits Limits() { return ItemLimits{6, 18, 60}; }

    // A long-form dX block of the payload text, starting at the block number. A
    // text that would leave the last sector without payload is padded with blanks.
    static FramedBlock FrameBlock(char type, std::string payload, uint32_t blockNumber,
                                  uint32_t lastHeader, uint8_t dsVersion = 2);

    // A long-form dX block of the payload text (padded with blanks) whose padded
    // length P lies tail bytes past the start of its last sector: -48 to 16 in
    // steps of 16. Up to 0 the sector before ends with the payload and the last
    // sector holds only the hashes; at 16 the payload fills whole sectors and the
    // block ends 16 bytes into the last sector's header.
    static FramedBlock FrameShortTailBlock(char type, std::string payload, uint32_t blockNumber,
                                           uint32_t lastHeader, int32_t tail);

private:
    bool WriteOrigin(std::string& error);
    bool WriteDay(const JournalDay& day, uint32_t dayIndex, std::string& error);
    bool WriteLong(char type, std::string payload, const CalendarDate* date, bool damage,
                   std::string& error, int32_t shortTail = kNoShortTail);
    bool WriteShort(const std::string& content, std::string& error);
    bool WriteSignature(const std::string& dateTime, bool damaged, std::string& error);
    std::string ReceiptText(const CalendarDate& date, const JournalEvent& receipt) const;

    static constexpr int32_t kNoShortTail = 1000;
    uint32_t lastHeader_ = 0;
};

}  // namespace tv
