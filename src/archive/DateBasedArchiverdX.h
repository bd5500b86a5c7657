// The archive of a dX card between two dates. The range starts at the signature
// incident block before the first dated block of the start date (or at the
// card's first block) and ends with the signature block after the last closure
// of the end date; incident blocks after that signature belong to no date.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "archive/DateRange.h"
#include "dx/ArchiverdX.h"

namespace tv {

class CDateBasedArchiverdX : public CArchiverdX, public CDateRange {
public:
    explicit CDateBasedArchiverdX(AppContext& context);

    void SetStartDate(int64_t date) override { startTime = date; }
    void SetEndDate(int64_t date) override { endTime = date; }

    bool PrepareDateRange(DayDate* first, DayDate* last) override;
    bool FindBlockRange() override;
    bool Run(ProgressView* progress, int& result, ResultList* results, StatusView* status) override;
    bool VerifyBoundaryBlocks(uint32_t lastIndex, int& result) override;

    // The first date (of the first dated block) and the last one (of the last
    // closure) on the card.
    bool FindValidBlockRange(DayDate& first, DayDate& last, uint32_t nextWriteIndex);
    // The closure at closureBlock lies after the end date: when the block before
    // it is of the end date, the run takes that closure group in as well.
    bool ExtendPastEndDate(uint32_t closureBlock, uint32_t previousSectors, uint32_t nextWriteIndex);
    // No closure of the end date: the run may end with the signature block after
    // the last closure before it, if the user agrees.
    bool FindSignatureAfterClosure(uint32_t nextWriteIndex);
    bool AskArchiveFrom(uint32_t block);
    bool AskArchiveTill();

private:
    struct Header {
        char type = 0;
        uint32_t sectors = 0;
        std::array<uint8_t, 512> bytes{};
        WormBlock decoded;
    };
    // One sector read and decoded as a block header; failures log the message.
    bool ReadBlockHeaderAt(uint32_t sector, const char* failure, Header& header);
    // The block's date text and day (types H, E, T, U: the date at offset 22).
    static bool BlockDay(const Header& header, std::string& text, DayDate& day);
};

}  // namespace tv
