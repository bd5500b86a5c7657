// The trading days of a generated card, one at a time: receipts with their
// items, user messages and incidents in time order, and the closures with their
// totals. Both card families render the same plan in their own block formats.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emulator/CalendarDate.h"
#include "emulator/CardOptions.h"
#include "emulator/SeededRandom.h"

namespace tv {

struct ReceiptItem {
    uint32_t plu = 0;
    std::string name;
    bool weighed = false;
    uint32_t quantity = 0;   // grams when weighed, pieces otherwise
    uint32_t unitCents = 0;  // per kilogram when weighed, per piece otherwise
    uint32_t amountCents = 0;
};

enum class JournalEventKind { Receipt, UserMessage, Incident };

struct JournalEvent {
    JournalEventKind kind = JournalEventKind::Receipt;
    int32_t seconds = 0;  // time of day
    // Receipt
    uint32_t number = 0;  // running over the whole card, from 1
    uint32_t operatorNumber = 1;
    bool large = false;  // meant to span several sectors
    std::vector<ReceiptItem> items;
    uint32_t totalCents = 0;
    // User message or incident
    char incident = 0;  // C, F, P or R
    std::string text;
};

// Totals of a closure: the day's, the month's or the year's.
struct ClosureTotals {
    uint32_t number = 0;  // running number of closures of this kind, from 1
    uint32_t receipts = 0;
    uint64_t cents = 0;
};

struct JournalDay {
    CalendarDate date;
    bool closed = true;  // false for the unclosed tail after the last closure
    int32_t openSeconds = 0;
    int32_t closeSeconds = 0;
    std::vector<JournalEvent> events;  // in time order
    ClosureTotals day;
    bool monthEnd = false;
    bool yearEnd = false;
    ClosureTotals month;        // filled at a month end
    ClosureTotals year;         // filled at a year end
    char trailingIncident = 0;  // an incident after the closure group, or 0
    int32_t trailingSeconds = 0;
    std::string trailingText;
};

// How many items the receipts of a family have: few enough to fit one sector,
// or enough to need several.
struct ItemLimits {
    uint32_t singleMax = 3;
    uint32_t multiMin = 6;
    uint32_t multiMax = 20;
};

class JournalPlanner {
public:
    JournalPlanner(const CardOptions& options, const ItemLimits& limits, uint64_t seed);

    // The next day: the closed days first, then the unclosed tail when there is
    // one. False when all days have been given.
    bool NextDay(JournalDay& day);

private:
    JournalEvent MakeReceipt(int32_t seconds);

    const CardOptions options_;
    const ItemLimits limits_;
    SeededRandom random_;
    CalendarDate date_;
    uint32_t dayIndex_ = 0;
    uint32_t receiptNumber_ = 0;
    uint32_t monthNumber_ = 0;
    uint32_t yearNumber_ = 0;
    ClosureTotals monthTotals_;
    ClosureTotals yearTotals_;
};

}  // namespace tv
