// The continuity table under the verification page's result list, without any
// toolkit: which columns it shows, the text of every cell, and which cells tell
// of a failure (a face draws those in its failure colour).
#pragma once

#include <string>
#include <vector>

#include "audit/Continuity.h"
#include "messages/MessageTable.h"

namespace tv {

// The table's columns, in the order shown.
enum class ContinuityColumn { kCard, kFiles, kBlocks, kDates, kJoins, kLog };

struct ContinuityCell {
    std::u16string text;
    bool failed = false;
};

struct ContinuityRow {
    std::vector<ContinuityCell> cells;  // one per shown column
    // The card's unique ID, with the scale's serial number when it has one.
    std::u16string cardTip;
};

struct ContinuityTable {
    std::vector<ContinuityColumn> columns;  // the shown columns
    std::vector<std::u16string> headers;    // their headers in the configured language
    std::vector<int> widths;                // their widths (pixels at 96 dpi)
    std::vector<ContinuityRow> rows;        // one per card
};

// The headers of every column, for a table not filled yet.
ContinuityTable EmptyContinuityTable();

// One row per card of the report. Only ZT4 cards keep an Archive.log and only
// dX blocks carry numbers: a column that would stay empty for every card is
// left out.
ContinuityTable MakeContinuityTable(const ContinuityReport& report);

// The text with "%1" and "%2" replaced by the numbers.
std::u16string FillNumbers(std::u16string text, uint64_t first, uint64_t second = 0);

}  // namespace tv
