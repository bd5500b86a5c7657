// A day of the proleptic Gregorian calendar, as the journal of a card dates its
// records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tv {

struct CalendarDate {
    int32_t year = 2015;
    int32_t month = 1;  // 1..12
    int32_t day = 1;    // 1..31

    // "YYYY-MM-DD" with a real day of a year from 1900 to 9999.
    static bool Parse(std::string_view text, CalendarDate& date);

    bool IsValid() const;
    CalendarDate NextDay() const;
    bool IsLastOfMonth() const;
    bool IsLastOfYear() const { return month == 12 && day == 31; }
    // "YYYY-MM-DD", and with a time of day "YYYY-MM-DD HH:MM:SS".
    std::string Text() const;
    std::string TextAt(int32_t secondsOfDay) const;

    friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

int32_t DaysInMonth(int32_t year, int32_t month);

}  // namespace tv
