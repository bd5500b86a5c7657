#include "emulator/JournalPlanner.h"

#include <algorithm>

namespace tv {

namespace {

struct Product {
    uint32_t plu;
    const char* name;
    bool weighed;
    uint32_t unitCents;
};

constexpr Product kProducts[] = {
    {1001, "POMMES GALA", true, 249},
    {1002, "POIRES CONFERENCE", true, 289},
    {1003, "BANANES", true, 199},
    {1004, "TOMATES GRAPPE", true, 349},
    {1005, "CAROTTES", true, 129},
    {1006, "POMMES DE TERRE", true, 99},
    {1007, "CLEMENTINES", true, 279},
    {1008, "RAISIN BLANC", true, 459},
    {2001, "COMTE 18 MOIS", true, 2190},
    {2002, "BRIE DE MEAUX", true, 1690},
    {2003, "JAMBON CUIT", true, 1890},
    {2004, "SAUCISSON SEC", true, 2450},
    {2005, "POULET FERMIER", true, 1150},
    {2006, "ROTI DE PORC", true, 1390},
    {2007, "SAUMON FUME", true, 4990},
    {2008, "OLIVES VERTES", true, 1290},
    {3001, "BAGUETTE", false, 110},
    {3002, "CROISSANT", false, 105},
    {3003, "PAIN AUX CEREALES", false, 320},
    {3004, "TARTE AUX POMMES", false, 1450},
    {3005, "OEUFS X6", false, 289},
    {3006, "LAIT ENTIER 1L", false, 119},
    {3007, "MIEL DE FLEURS", false, 790},
    {3008, "CONFITURE FRAISE", false, 345},
};
constexpr uint32_t kProductCount = sizeof kProducts / sizeof kProducts[0];

constexpr const char* kUserMessages[] = {
    "PROMOTION FROMAGES -10%",
    "FERMETURE EXCEPTIONNELLE A 18H",
    "NOUVEL ARRIVAGE DE FRUITS",
    "CONTROLE METROLOGIQUE EFFECTUE",
};

struct IncidentKind {
    char letter;
    const char* text;
};

constexpr IncidentKind kIncidents[] = {
    {'C', "MODIFICATION CONFIGURATION"},
    {'F', "DEFAUT IMPRIMANTE"},
    {'P', "COUPURE SECTEUR"},
    {'R', "REDEMARRAGE"},
};

constexpr int32_t kHour = 3600;
constexpr int32_t kTradingStart = 8 * kHour;
constexpr int32_t kTradingEnd = 19 * kHour + 30 * 60;

}  // namespace

JournalPlanner::JournalPlanner(const CardOptions& options, const ItemLimits& limits, uint64_t seed)
    : options_(options), limits_(limits), random_(seed), date_(options.start) {}

JournalEvent JournalPlanner::MakeReceipt(int32_t seconds) {
    JournalEvent e;
    e.kind = JournalEventKind::Receipt;
    e.seconds = seconds;
    e.number = ++receiptNumber_;
    e.operatorNumber = random_.Between(1, 4);
    e.large = random_.Chance(options_.multiSectorPercent);
    const uint32_t count = e.large ? random_.Between(limits_.multiMin, limits_.multiMax)
                                   : random_.Between(1, limits_.singleMax);
    for (uint32_t i = 0; i < count; ++i) {
        const Product& p = kProducts[random_.Between(0, kProductCount - 1)];
        ReceiptItem item;
        item.plu = p.plu;
        item.name = p.name;
        item.weighed = p.weighed;
        item.unitCents = p.unitCents;
        if (p.weighed) {
            item.quantity = random_.Between(80, 2500);
            item.amountCents = static_cast<uint32_t>(
                (static_cast<uint64_t>(item.quantity) * p.unitCents + 500) / 1000);
        } else {
            item.quantity = random_.Between(1, 6);
            item.amountCents = item.quantity * p.unitCents;
        }
        e.totalCents += item.amountCents;
        e.items.push_back(std::move(item));
    }
    return e;
}

bool JournalPlanner::NextDay(JournalDay& day) {
    const bool tail = dayIndex_ == options_.days;
    if (dayIndex_ > options_.days || (tail && options_.unclosedTailReceipts == 0)) return false;

    day = JournalDay{};
    day.date = date_;
    day.closed = !tail;
    day.openSeconds = 7 * kHour + 30 * 60 + static_cast<int32_t>(random_.Between(0, 600));
    day.closeSeconds = 20 * kHour + 30 * 60 + static_cast<int32_t>(random_.Between(0, 1200));

    // Receipts spread over the trading hours, in order.
    const uint32_t receipts = tail ? options_.unclosedTailReceipts : options_.receiptsPerDay;
    const int32_t span = kTradingEnd - kTradingStart;
    const int32_t step =
        std::max<int32_t>(span / static_cast<int32_t>(std::max<uint32_t>(receipts, 1)), 1);
    day.events.reserve(receipts + 2);
    for (uint32_t i = 0; i < receipts; ++i) {
        int32_t t = kTradingStart + static_cast<int32_t>(static_cast<int64_t>(span) * i / receipts);
        t += static_cast<int32_t>(random_.Between(0, static_cast<uint32_t>(step - 1)));
        day.events.push_back(MakeReceipt(std::min(t, kTradingEnd)));
        day.day.receipts += 1;
        day.day.cents += day.events.back().totalCents;
    }

    if (!tail) {
        // Now and then a user message or an incident during the day.
        const auto insert = [&day](JournalEvent e) {
            auto at = std::upper_bound(
                day.events.begin(), day.events.end(), e.seconds,
                [](int32_t s, const JournalEvent& other) { return s < other.seconds; });
            day.events.insert(at, std::move(e));
        };
        if (random_.Chance(25)) {
            JournalEvent e;
            e.kind = JournalEventKind::UserMessage;
            e.seconds = kTradingStart + static_cast<int32_t>(random_.Between(0, span));
            e.text = kUserMessages[random_.Between(0, 3)];
            insert(std::move(e));
        }
        // Incidents come after the day's first receipt, so that a day (and, on a
        // ZT4 card, the file after a year closure) starts with a dated block.
        if (random_.Chance(15) && receipts != 0) {
            const IncidentKind& k = kIncidents[random_.Between(0, 3)];
            JournalEvent e;
            e.kind = JournalEventKind::Incident;
            e.seconds = std::max(kTradingStart + static_cast<int32_t>(random_.Between(0, span)),
                                 day.events.front().seconds + 1);
            e.incident = k.letter;
            e.text = k.text;
            insert(std::move(e));
        }

        day.day.number = dayIndex_ + 1;
        monthTotals_.receipts += day.day.receipts;
        monthTotals_.cents += day.day.cents;
        yearTotals_.receipts += day.day.receipts;
        yearTotals_.cents += day.day.cents;
        day.monthEnd = day.date.IsLastOfMonth();
        day.yearEnd = day.date.IsLastOfYear();
        if (day.monthEnd) {
            monthTotals_.number = ++monthNumber_;
            day.month = monthTotals_;
            monthTotals_ = ClosureTotals{};
        }
        if (day.yearEnd) {
            yearTotals_.number = ++yearNumber_;
            day.year = yearTotals_;
            yearTotals_ = ClosureTotals{};
        }
        // A power cut or a restart in the night, after the day was closed: on some
        // nights, or on every one when asked; never after a year closure, which
        // ends an archive file.
        if (!day.yearEnd && (random_.Chance(10) || options_.incidentAfterClosures)) {
            const IncidentKind& k = kIncidents[random_.Chance(50) ? 2 : 3];
            day.trailingIncident = k.letter;
            day.trailingText = k.text;
            day.trailingSeconds = 23 * kHour + static_cast<int32_t>(random_.Between(0, 3000));
        }
    }

    ++dayIndex_;
    date_ = date_.NextDay();
    return true;
}

}  // namespace tv
