#include "emulator/CalendarDate.h"

#include <cstdio>

namespace tv {

namespace {

bool IsLeapYear(int32_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

bool ReadDigits(std::string_view text, size_t at, size_t count, int32_t& value) {
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

}  // namespace

int32_t DaysInMonth(int32_t year, int32_t month) {
    static constexpr int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool CalendarDate::Parse(std::string_view text, CalendarDate& date) {
    CalendarDate d;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    if (!ReadDigits(text, 0, 4, d.year) || !ReadDigits(text, 5, 2, d.month) ||
        !ReadDigits(text, 8, 2, d.day)) {
        return false;
    }
    if (!d.IsValid()) return false;
    date = d;
    return true;
}

bool CalendarDate::IsValid() const {
    return year >= 1900 && year <= 9999 && day >= 1 && day <= DaysInMonth(year, month);
}

CalendarDate CalendarDate::NextDay() const {
    CalendarDate next = *this;
    if (++next.day > DaysInMonth(next.year, next.month)) {
        next.day = 1;
        if (++next.month > 12) {
            next.month = 1;
            ++next.year;
        }
    }
    return next;
}

bool CalendarDate::IsLastOfMonth() const { return day == DaysInMonth(year, month); }

std::string CalendarDate::Text() const {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", static_cast<int>(year),
                  static_cast<int>(month), static_cast<int>(day));
    return text;
}

std::string CalendarDate::TextAt(int32_t secondsOfDay) const {
    char text[32];
    const int s = static_cast<int>(secondsOfDay);
    std::snprintf(text, sizeof text, "%s %02d:%02d:%02d", Text().c_str(), s / 3600 % 24,
                  s / 60 % 60, s % 60);
    return text;
}

}  // namespace tv
