#include "wizard/ContinuityRows.h"

#include "messages/Messages.h"
#include "platform/Text.h"

namespace tv {

namespace {

constexpr MessageId kHeaders[] = {707, 708, 709, 710, 711, 712};
constexpr int kWidths[] = {110, 70, 130, 180, 180, 180};
// Without the blocks the room goes to the gaps and the log's mismatches.
constexpr int kZt4Widths[] = {110, 60, 0, 170, 170, 180};

std::u16string Number(uint64_t n) { return ToUtf16(std::to_string(n)); }

std::u16string JoinText(const Join& join) {
    switch (join.kind) {
        case JoinKind::kJoined:
            return {};
        case JoinKind::kGap:
            return FillNumbers(GetMessageText(714), join.missingFirst, join.missingLast);
        case JoinKind::kOverlap:
            return FillNumbers(GetMessageText(715), join.repeatedFirst, join.repeatedLast);
        case JoinKind::kChainBreak:
            return FillNumbers(GetMessageText(716), join.before + 1);
        case JoinKind::kUnknown:
            return FillNumbers(GetMessageText(717), join.before + 1);
    }
    return {};
}

std::u16string Joined(const std::vector<std::u16string>& parts) {
    std::u16string text;
    for (const std::u16string& part : parts) {
        if (!text.empty()) text += u", ";
        text += part;
    }
    return text;
}

// The days the card's archives cover, first to last ("YYYY-MM-DD").
std::u16string DaysText(const CardContinuity& card) {
    std::string first;
    std::string last;
    for (const CoveredSpan& span : card.covered) {
        if (first.empty()) first = span.firstDate;
        if (!span.lastDate.empty()) last = span.lastDate;
    }
    if (first.empty() && last.empty()) return {};
    return ToUtf16(first.substr(0, 10)) + u" - " + ToUtf16(last.substr(0, 10));
}

std::u16string BlocksText(const CardContinuity& card) {
    std::vector<std::u16string> blocks;
    for (const CoveredSpan& span : card.covered) {
        if (span.hasNumbers) blocks.push_back(Number(span.firstNumber) + u"-" + Number(span.lastNumber));
    }
    return Joined(blocks);
}

// The kinds of mismatch with the card's log there are, or "none"; failed when any.
ContinuityCell LogCell(const CardContinuity& card) {
    const bool zt4 = card.family == "ZT4";
    if (!card.logGiven) return {zt4 ? GetMessageText(720) : u"-", false};
    std::vector<std::u16string> mismatches;
    if (!card.missingFromFolder.empty()) mismatches.push_back(FillNumbers(GetMessageText(723), card.missingFromFolder.size()));
    if (!card.differingFromLog.empty()) mismatches.push_back(FillNumbers(GetMessageText(724), card.differingFromLog.size()));
    if (!card.notInLog.empty()) mismatches.push_back(FillNumbers(GetMessageText(725), card.notInLog.size()));
    if (mismatches.empty()) return {GetMessageText(713), false};
    return {Joined(mismatches), zt4};
}

ContinuityRow RowOf(const CardContinuity& card) {
    std::vector<std::u16string> joins;
    for (const Join& join : card.joins) {
        std::u16string text = JoinText(join);
        if (!text.empty()) joins.push_back(std::move(text));
    }
    ContinuityRow row;
    // The scale's serial number names the card; the tip gives its unique ID too.
    row.cells.push_back({ToUtf16(card.scaleSerial.empty() ? card.smcUid : card.scaleSerial), false});
    row.cells.push_back({Number(card.files.size()), false});
    row.cells.push_back({BlocksText(card), false});
    row.cells.push_back({DaysText(card), false});
    row.cells.push_back({joins.empty() ? GetMessageText(713) : Joined(joins), !joins.empty()});
    row.cells.push_back(LogCell(card));
    row.cardTip = ToUtf16(card.smcUid);
    if (!card.scaleSerial.empty()) row.cardTip += u" (" + ToUtf16(card.scaleSerial) + u")";
    return row;
}

}  // namespace

std::u16string FillNumbers(std::u16string text, uint64_t first, uint64_t second) {
    const std::u16string marks[] = {u"%1", u"%2"};
    const uint64_t values[] = {first, second};
    for (int i = 0; i < 2; ++i) {
        const std::u16string value = Number(values[i]);
        for (size_t at = text.find(marks[i]); at != std::u16string::npos; at = text.find(marks[i], at + value.size())) {
            text.replace(at, 2, value);
        }
    }
    return text;
}

ContinuityTable EmptyContinuityTable() {
    ContinuityTable table;
    for (int c = 0; c < 6; ++c) {
        table.columns.push_back(static_cast<ContinuityColumn>(c));
        table.headers.push_back(GetMessageText(kHeaders[c]));
        table.widths.push_back(kWidths[c]);
    }
    return table;
}

ContinuityTable MakeContinuityTable(const ContinuityReport& report) {
    bool anyZt4 = false;
    bool anyDx = false;
    for (const CardContinuity& card : report.cards) {
        anyZt4 = anyZt4 || card.family == "ZT4";
        anyDx = anyDx || card.family != "ZT4";
    }
    const bool zt4Only = anyZt4 && !anyDx;
    ContinuityTable table;
    std::vector<int> shown;
    for (int c = 0; c < 6; ++c) {
        const auto column = static_cast<ContinuityColumn>(c);
        if (column == ContinuityColumn::kLog && !anyZt4) continue;
        if (column == ContinuityColumn::kBlocks && zt4Only) continue;
        shown.push_back(c);
        table.columns.push_back(column);
        table.headers.push_back(GetMessageText(kHeaders[c]));
        table.widths.push_back(zt4Only ? kZt4Widths[c] : kWidths[c]);
    }
    for (const CardContinuity& card : report.cards) {
        ContinuityRow all = RowOf(card);
        ContinuityRow row;
        row.cardTip = all.cardTip;
        for (int c : shown) row.cells.push_back(all.cells[static_cast<size_t>(c)]);
        table.rows.push_back(std::move(row));
    }
    return table;
}

}  // namespace tv
