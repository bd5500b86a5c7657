// The archive of a ZT4 card between two dates. The range runs from the first
// journal block of the start date (or from the card's first block when the
// card's journal begins on that day) to the last journal block of the end date,
// taking in the signature block of a closure group that ends on that day.
#pragma once

#include <cstdint>
#include <string>

#include "archive/DateRange.h"
#include "zt4/ArchiverZT4.h"

namespace tv {

class CDateBasedArchiverZT4 : public CArchiverZT4, public CDateRange {
public:
    explicit CDateBasedArchiverZT4(AppContext& context);

    void SetStartDate(int64_t date) override { startTime = date; }
    void SetEndDate(int64_t date) override { endTime = date; }

    bool PrepareDateRange(DayDate* first, DayDate* last) override;
    bool FindBlockRange() override;
    bool Run(ProgressView* progress, int& result, ResultList* results, StatusView* status) override;
    bool VerifyBoundaryBlocks(uint32_t lastIndex, int& result) override;

    // The date of the card's first journal block and that of its last one.
    bool FindValidBlockRange(DayDate& first, DayDate& last, uint32_t nextWriteIndex);
    // The range would start at a later day than the chosen one: ask.
    bool AskArchiveFrom(uint32_t block);
    // The end date holds no journal: ask whether the run may take in the day of
    // the block at lastClosure, which becomes the cut date.
    bool AskArchiveTill();

private:
    // One block read and classified with the walk's own reader; failures log
    // the given message.
    bool ReadBlockHeaderAt(uint32_t sector, const char* failure, int& result);
    // The walk reader's block date (T and E blocks carry one).
    bool BlockDay(std::string& text, DayDate& day) const;

    CZt4BlockReader walker_;
    DayDate cutDate_;
};

}  // namespace tv
