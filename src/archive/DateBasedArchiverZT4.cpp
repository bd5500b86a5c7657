#include "archive/DateBasedArchiverZT4.h"

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "smc/SmcAccess.h"
#include "store/BoundaryVerification.h"

namespace tv {

namespace {
constexpr char kFailed[] = "Date based archive operation failed";
constexpr char kRangeFailed[] = "Find block range failed";
constexpr char kValidFailed[] = "Find valid block range failed";
}  // namespace

CDateBasedArchiverZT4::CDateBasedArchiverZT4(AppContext& context)
    : CArchiverZT4(context), CDateRange(context, kModDateBasedZt4), walker_(context, kModDateBasedZt4) {
    // The range walks go forward through the whole card.
    walker_.readAhead = true;
}

bool CDateBasedArchiverZT4::ReadBlockHeaderAt(uint32_t sector, const char* failure, int& result) {
    // A block of no sectors would hold the walk in place.
    if (!walker_.Read(sector, result) || walker_.block.sectorCount == 0) {
        TV_LOG_ERROR(kModDateBasedZt4, failure);
        return false;
    }
    return true;
}

bool CDateBasedArchiverZT4::BlockDay(std::string& text, DayDate& day) const {
    // Short-form blocks carry no XML and so no date of their own.
    if (walker_.block.contentLength == 0 || walker_.dateText.size() < 10) return false;
    text = walker_.dateText.substr(0, 10);
    return ParseDateText(text, day);
}

// --- the card's dates ----------------------------------------------------------------------

bool CDateBasedArchiverZT4::PrepareDateRange(DayDate* first, DayDate* last) {
    ResetFields();
    uint32_t nextWriteIndex = 0;
    if (!PrepareDateRangeStart(first, last, nextWriteIndex)) return false;
    return FindValidBlockRange(*first, *last, nextWriteIndex);
}

bool CDateBasedArchiverZT4::FindValidBlockRange(DayDate& first, DayDate& last, uint32_t nextWriteIndex) {
    // One walk finds both: the first journal block gives the first date, the
    // last one the last date.
    bool found = false;
    std::string text;
    for (uint64_t at = 0; at < nextWriteIndex;) {
        PumpAndCheckAbort();
        int result = 0;
        if (!ReadBlockHeaderAt(static_cast<uint32_t>(at), kValidFailed, result)) {
            // A fusing block whose XML the reader refuses.
            if (at == 1 && result != 0) rangeResult = kArchiveDataCheckFailed;
            return false;
        }
        const char kind = walker_.kind;
        if (kind == 'T' || kind == 'E') {
            DayDate day;
            if (!BlockDay(text, day)) {
                TV_LOG_ERROR(kModDateBasedZt4, kValidFailed);
                return false;
            }
            if (!found) first = day;
            last = day;
            found = true;
        }
        at += walker_.block.sectorCount;
    }
    if (!found) {
        TV_LOG_ERROR(kModDateBasedZt4, "Start block not found.Date based archive operation failed");
        ShowMessage(187, kMbIconError);
        ctx.ui.Repaint();
        return false;
    }
    return true;
}

// --- the questions ---------------------------------------------------------------------------

bool CDateBasedArchiverZT4::AskArchiveFrom(uint32_t block) {
    int ignored = 0;
    std::string text;
    DayDate day;
    if (!ReadBlockHeaderAt(block, kRangeFailed, ignored)) return RangeReadFailed();
    if (!BlockDay(text, day)) return RangeFailed(__LINE__, kRangeFailed);
    return AskFrom(text);
}

bool CDateBasedArchiverZT4::AskArchiveTill() {
    int ignored = 0;
    std::string text;
    DayDate day;
    if (!ReadBlockHeaderAt(lastClosure, kRangeFailed, ignored)) return RangeReadFailed();
    if (!BlockDay(text, day)) return RangeFailed(__LINE__, kRangeFailed);
    cutDate_ = day;
    return AskTill(238, text);
}

// --- the range of the chosen dates -----------------------------------------------------------

bool CDateBasedArchiverZT4::FindBlockRange() {
    ctx.dateArchiveFailed = false;
    firstBlock = 0;
    lastClosure = 0;
    rangeStart = 0;
    rangeEnd = 0;
    cutDate_ = DayDate{};
    WormUsage usage;
    if (!CheckSmcUsage(ctx, usage)) {
        rangeResult = kArchiveUsageUnreadable;
        return RangeFailed(__LINE__, kRangeFailed);
    }
    const uint32_t nextWriteIndex = usage.nextWriteIndex;
    const DayDate start = DayOfTime(ctx, startTime);
    const DayDate end = DayOfTime(ctx, endTime);

    bool started = false, afterW = false, endByT = false, endByE = false, tillAsked = false, done = false;
    uint32_t transactions = 0;
    uint32_t lastJournal = 0;  // first sector of the last T or E block of the range so far
    uint32_t tail = 0;         // last sector of the last T, E or S block of the range so far
    ctx.progressTotal = nextWriteIndex;
    for (uint64_t at = 0; at < nextWriteIndex && !done;) {
        PumpAndCheckAbort();
        ctx.progressDone = static_cast<int32_t>(at);
        const auto n = static_cast<uint32_t>(at);
        int ignored = 0;
        if (!ReadBlockHeaderAt(n, kRangeFailed, ignored)) {
            ctx.dateArchiveFailed = true;
            return false;
        }
        const char kind = walker_.kind;
        const uint64_t sectors = walker_.block.sectorCount;
        const auto lastSector = static_cast<uint32_t>(at + sectors - 1);
        at += sectors;
        if (kind == 'W') {
            if (!started) {
                rangeStart = n;
                afterW = true;
            }
            continue;
        }
        if (kind == 'S') {
            if (started) tail = lastSector;
            if (started && endByE) rangeEnd = lastSector;
            continue;
        }
        if (kind != 'T' && kind != 'E') continue;

        std::string text;
        DayDate day;
        if (!BlockDay(text, day)) return RangeFailed(__LINE__, kRangeFailed);
        if (kind == 'T') ++transactions;
        if (!started) {
            if (kind == 'T' && afterW) {
                firstBlock = n;
                afterW = false;
            }
            const int c = CompareDates(day, start);
            if (c < 0) continue;  // before the start date, and so before the end date
            if (c > 0 && !AskArchiveFrom(n)) {
                TV_LOG_ERROR(kModDateBasedZt4, kRangeFailed);
                return false;
            }
            if (kind == 'E' && c == 0) firstBlock = n;
            rangeStart = n;
            started = true;
            // The card's journal begins here: the run starts with the card.
            if (transactions == (kind == 'T' ? 1u : 0u)) rangeStart = 0;
        }
        lastJournal = n;
        tail = lastSector;
        // The end check.
        bool& endReached = kind == 'T' ? endByT : endByE;
        const int c = CompareDates(day, end);
        if (c < 0) continue;
        if (c == 0) {
            endReached = true;
            rangeEnd = lastSector;
            continue;
        }
        if (tillAsked) {
            const int cut = CompareDates(day, cutDate_);
            if (cut == 0) {
                endReached = true;
                rangeEnd = lastSector;
            } else if (cut > 0) {
                done = true;
            }
            continue;
        }
        if (endByT || endByE) {
            done = true;
            continue;
        }
        lastClosure = n;
        if (!AskArchiveTill()) {
            TV_LOG_ERROR(kModDateBasedZt4, kRangeFailed);
            return false;
        }
        tillAsked = true;
        endReached = true;
        rangeEnd = lastSector;
    }
    // The end date lies after the card's last journal block: the run may end
    // with the card, if the user agrees.
    if (started && !done && !endByT && !endByE && !tillAsked && lastJournal != 0) {
        lastClosure = lastJournal;
        if (!AskArchiveTill()) {
            TV_LOG_ERROR(kModDateBasedZt4, kRangeFailed);
            return false;
        }
        rangeEnd = tail;
        done = true;
    }
    // A range that ends with the card's last closure group ends with the card:
    // no later block marks it done.
    if (!started || !(done || endByT || endByE) || rangeEnd < rangeStart) return RangeFailed(__LINE__, kRangeFailed);
    lastClosure = rangeEnd;
    firstBlock = rangeStart;
    return true;
}

// --- the run -----------------------------------------------------------------------------------

bool CDateBasedArchiverZT4::VerifyBoundaryBlocks(uint32_t lastIndex, int& result) {
    BlockBoundaries b;
    const BoundaryScan scan{kModDateBasedZt4, [this] { PumpAndCheckAbort(); }};
    const bool ok = VerifyZt4DateBoundaries(ctx, rangeStart, lastIndex, scan, b, result);
    TakeBoundaries(b);
    return ok;
}

bool CDateBasedArchiverZT4::Run(ProgressView* progress, int& result, ResultList* results, StatusView* status) {
    ResetFields();
    TV_LOG_INFO(kModDateBasedZt4, "Date based archive operation started");
    auto stop = [&] {
        TV_LOG_ERROR(kModDateBasedZt4, kFailed);
        return false;
    };
    WormUsage usage;
    if (!CheckSmcUsage(ctx, usage)) {
        result = kArchiveUsageUnreadable;
        return stop();
    }
    if (usage.nextWriteIndex == 0) {
        result = kArchiveNoData;
        TV_LOG_ERROR(kModDateBasedZt4, "No data in SMC.Date based archive operation failed");
        return false;
    }
    // A run without a range found for its dates has nothing to write.
    if (rangeEnd < rangeStart || rangeEnd == 0 || rangeEnd >= usage.nextWriteIndex) {
        TV_LOG_ERROR(kModDateBasedZt4, "No block range for the selected dates");
        return stop();
    }
    // The backward scan starts at the range's last sector, so that it finds the
    // range's last block even when that block fills one sector only.
    if (!VerifyBoundaryBlocks(rangeEnd, result)) return stop();
    if (!CheckPublicKeyIntegrity(usage.nextWriteIndex)) {
        result = kArchiveDataCheckFailed;
        return stop();
    }
    if (!InitArchive(result, progress, results, status)) return stop();
    if (rangeStart != 0 && !WritePreamble(usage.nextWriteIndex, result)) return stop();
    SetPleaseWaitText(status, 123);
    if (!CreateArchive(rangeEnd - rangeStart + 1, rangeEnd, rangeStart, result, progress, results, status)) {
        return FailRun(kModDateBasedZt4, kFailed, results);
    }
    return FinishRun(kModDateBasedZt4, false, kFailed, kFailed, "Date based archive operation finished", results,
                     status);
}

}  // namespace tv
