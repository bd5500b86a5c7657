#include "archive/DateRange.h"

#include <cstdio>
#include <ctime>

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "smc/SmcAccess.h"
#include "store/ArchiveResult.h"

namespace tv {

int CompareDates(const DayDate& a, const DayDate& b) {
    if (a.year != b.year) return a.year < b.year ? -1 : 1;
    if (a.month != b.month) return a.month < b.month ? -1 : 1;
    if (a.day != b.day) return a.day < b.day ? -1 : 1;
    return 0;
}

DayDate DayOfTime(AppContext& ctx, int64_t time) {
    std::tm tm{};
    if (!ctx.platform.ToLocalTime(time, tm)) return {};
    return DayDate{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

// Seconds since 1970 of a calendar time read as UTC (timegm, which not every C
// library has): days from the civil date, after Howard Hinnant's algorithm.
static int64_t UtcSeconds(const std::tm& tm) {
    int64_t year = tm.tm_year + 1900;
    const int64_t month = tm.tm_mon + 1;
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + tm.tm_mday - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const int64_t days = era * 146097 + dayOfEra - 719468;
    return days * 86400 + tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec;
}

bool TimeOfDay(AppContext& ctx, const DayDate& day, int64_t& time) {
    // The local midnight: start from the UTC one and correct by the offset the
    // local clock shows there (twice, for days on which the offset changes).
    std::tm utc{};
    utc.tm_year = day.year - 1900;
    utc.tm_mon = day.month - 1;
    utc.tm_mday = day.day;
    int64_t guess = UtcSeconds(utc);
    for (int i = 0; i < 2; ++i) {
        std::tm local{};
        if (!ctx.platform.ToLocalTime(guess, local)) return false;
        std::tm asUtc = local;
        const int64_t shown = UtcSeconds(asUtc);
        guess -= shown - UtcSeconds(utc);
    }
    time = guess;
    return true;
}

bool ParseDateText(const std::string& text, DayDate& day) {
    if (text.size() < 10 || text[4] != '-' || text[7] != '-') return false;
    auto digits = [&text](size_t from, size_t count, int& value) {
        value = 0;
        for (size_t i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9') return false;
            value = value * 10 + (text[i] - '0');
        }
        return true;
    };
    return digits(0, 4, day.year) && digits(5, 2, day.month) && digits(8, 2, day.day);
}

std::string DateText(const DayDate& day) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.year, day.month, day.day);
    return text;
}

bool CDateRange::RangeFailed(int line, const char* message) {
    LogFile::Instance().Write(rangeModule_, line, kLogError, message);
    rangeCtx_.dateArchiveFailed = true;
    return false;
}

bool CDateRange::RangeReadFailed() {
    rangeCtx_.dateArchiveFailed = true;
    return false;
}

bool CDateRange::PrepareDateRangeStart(const DayDate* first, const DayDate* last, uint32_t& nextWriteIndex) {
    rangeStart = 0;
    rangeEnd = 0;
    rangeResult = 0;
    WormUsage usage;
    if (!CheckSmcUsage(rangeCtx_, usage)) {
        rangeResult = kArchiveUsageUnreadable;
        LogFile::Instance().Write(rangeModule_, __LINE__, kLogError,
                                  "Find SMC date range failed.Date based archive operation failed");
        return false;
    }
    if (usage.nextWriteIndex == 0) {
        LogFile::Instance().Write(rangeModule_, __LINE__, kLogError, "No data in SMC.Date based archive operation failed");
        rangeResult = kArchiveNoData;
        ShowMessage(184, kMbIconError);
        rangeCtx_.ui.Repaint();
        return false;
    }
    if (first == nullptr || last == nullptr) {
        LogFile::Instance().Write(rangeModule_, __LINE__, kLogError,
                                  "Start date / end date is NULL.Date based archive operation failed");
        return false;
    }
    nextWriteIndex = usage.nextWriteIndex;
    return true;
}

bool CDateRange::AskFrom(const std::string& dateText) {
    const bool yes = AskDateQuestion(117, ToUtf16(dateText), 188, startTime);
    rangeCtx_.ui.Repaint();
    LogFile::Instance().Write(rangeModule_, __LINE__, kLogWarning,
                              yes ? "As per user's choice, Archive will be done from " + dateText
                                  : std::string(rangeModule_ == kModDateBasedDx ? "Date based archive operation stopped"
                                                                                : "Date based archival stopped"));
    return yes;
}

bool CDateRange::AskTill(int firstMessage, const std::string& dateText) {
    const bool yes = AskDateQuestion(firstMessage, ToUtf16(dateText), 138, endTime);
    rangeCtx_.ui.Repaint();
    LogFile::Instance().Write(rangeModule_, __LINE__, kLogWarning,
                              yes ? "As per user's choice, Archive will be done till " + dateText
                                  : std::string(rangeModule_ == kModDateBasedDx ? "Date based archive operation stopped"
                                                                                : "Date based archival stopped"));
    return yes;
}

}  // namespace tv
