// What the date-based runs of both families share: the chosen dates and the
// range of blocks they give, the dates compared as calendar days, the first
// steps of the date range query, and the questions asked when a chosen date
// falls between the card's closures.
#pragma once

#include <cstdint>
#include <string>

namespace tv {

class AppContext;

// A calendar day; times of day play no part in date-based runs.
struct DayDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// -1, 0 or 1, year first.
int CompareDates(const DayDate& a, const DayDate& b);
// The day of a time value in the local time zone.
DayDate DayOfTime(AppContext& ctx, int64_t time);
// Local midnight of the day.
bool TimeOfDay(AppContext& ctx, const DayDate& day, int64_t& time);
// "YYYY-MM-DD" (digits at 0-3, 5-6, 8-9, as a block stores its date). False
// for anything else.
bool ParseDateText(const std::string& text, DayDate& day);
std::string DateText(const DayDate& day);

// The fields and shared steps of CDateBasedArchiverdX and CDateBasedArchiverZT4.
class CDateRange {
public:
    CDateRange(AppContext& context, int module) : rangeCtx_(context), rangeModule_(module) {}
    virtual ~CDateRange() = default;

    int64_t startTime = 0;    // the chosen start and end dates (seconds since 1970)
    int64_t endTime = 0;
    uint32_t rangeStart = 0;  // first block (dX) or sector (ZT4) of the run; 0: the card's first
    uint32_t rangeEnd = 0;    // last block (dX) or sector (ZT4) of the run
    int rangeResult = 0;      // left for the page by the preparation steps (6, 9, 4, 2)

    // The dates the card can offer, for the date pickers.
    virtual bool PrepareDateRange(DayDate* first, DayDate* last) = 0;
    // The range of blocks of the chosen dates, asking the user where a date
    // falls between closures. On failure the page reads rangeResult and the
    // context's dateArchiveFailed.
    virtual bool FindBlockRange() = 0;

protected:
    // Steps 2 to 4 of PrepareDateRange: the card's usage (result 9), data on the
    // card (result 6, message 184), both outputs present. nextWriteIndex: the
    // card's next write index.
    bool PrepareDateRangeStart(const DayDate* first, const DayDate* last, uint32_t& nextWriteIndex);
    // "Transaction not available for the selected start date (<start>). Do you
    // want to continue archiving from <dateText>?" The answer is logged.
    bool AskFrom(const std::string& dateText);
    // The end-date question: message pair first/138 (137 dX, 238 ZT4) with the
    // end date and the block's date text.
    bool AskTill(int firstMessage, const std::string& dateText);
    // Logs the error and tells the page the preparation failed.
    bool RangeFailed(int line, const char* message);
    // Tells the page the preparation failed, for a failure already logged.
    bool RangeReadFailed();

    AppContext& rangeCtx_;
    int rangeModule_;
};

}  // namespace tv
