#include "archive/DateBasedArchiverdX.h"

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "smc/SmcAccess.h"
#include "store/BlockDecoder.h"
#include "store/BoundaryVerification.h"

namespace tv {

namespace {

constexpr char kFailed[] = "Date based archive operation failed";
constexpr char kRangeFailed[] = "Find block range failed";
constexpr char kNoSignature[] = "Identify previous signature block failed";

bool IsDated(char t) { return t == 'E' || t == 'T' || t == 'U'; }
bool IsPassedBeforeSignature(char t) {
    return t == 'C' || t == 'F' || t == 'P' || t == 'R' || t == 'U' || t == 'W';
}

}  // namespace

CDateBasedArchiverdX::CDateBasedArchiverdX(AppContext& context)
    : CArchiverdX(context), CDateRange(context, kModDateBasedDx) {}

bool CDateBasedArchiverdX::ReadBlockHeaderAt(uint32_t sector, const char* failure, Header& header) {
    if (!GetSmcBlocks(ctx, 1, header.bytes.data(), sector)) {
        TV_LOG_ERROR(kModDateBasedDx, failure);
        return false;
    }
    WormBlock block;
    if (!DecodeBlockHeader(header.bytes.data(), ScaleFamily::Dx, sector, block)) {
        TV_LOG_ERROR(kModDateBasedDx, failure);
        return false;
    }
    header.type = block.recordType;
    header.sectors = block.sectorCount;
    header.decoded = std::move(block);
    return true;
}

bool CDateBasedArchiverdX::BlockDay(const Header& header, std::string& text, DayDate& day) {
    if (header.type != 'H' && !IsDated(header.type)) return false;
    // Short-form blocks hold no date at offset 22.
    if ((header.bytes[0] | header.bytes[1] | header.bytes[2] | header.bytes[3]) == 0) return false;
    text.assign(reinterpret_cast<const char*>(header.bytes.data()) + 22, 10);
    return ParseDateText(text, day);
}

// --- the card's dates ----------------------------------------------------------------------

bool CDateBasedArchiverdX::PrepareDateRange(DayDate* first, DayDate* last) {
    ResetFields();
    uint32_t nextWriteIndex = 0;
    if (!PrepareDateRangeStart(first, last, nextWriteIndex)) return false;
    return FindValidBlockRange(*first, *last, nextWriteIndex);
}

bool CDateBasedArchiverdX::FindValidBlockRange(DayDate& first, DayDate& last, uint32_t nextWriteIndex) {
    constexpr char kValidFailed[] = "Find valid block range failed";
    std::string text;
    bool found = false;
    for (uint64_t at = 0; at < nextWriteIndex && !found;) {
        PumpAndCheckAbort();
        Header h;
        if (!ReadBlockHeaderAt(static_cast<uint32_t>(at), kValidFailed, h)) return false;
        if (IsDated(h.type)) {
            if (!BlockDay(h, text, first)) {
                TV_LOG_ERROR(kModDateBasedDx, kValidFailed);
                return false;
            }
            found = true;
        }
        at += h.sectors;
    }
    if (!found) {
        TV_LOG_ERROR(kModDateBasedDx, "Start block not found.Date based archive operation failed");
        ShowMessage(187, kMbIconError);
        ctx.ui.Repaint();
        return false;
    }
    // Every sector of a long-form block carries its record type, so any sector
    // of the last closure finds it; its date stands in the closure's first sector.
    for (uint32_t n = nextWriteIndex - 1; n >= 2; --n) {
        PumpAndCheckAbort();
        Header h;
        if (!ReadBlockHeaderAt(n, kValidFailed, h)) return false;
        if (h.type == 'E') {
            uint32_t first = n;
            const bool start = FindDxBlockStart(ctx, n, h.decoded, first);
            if (start && first != n && !ReadBlockHeaderAt(first, kValidFailed, h)) return false;
            if (start && BlockDay(h, text, last)) return true;
            TV_LOG_ERROR(kModDateBasedDx, kValidFailed);
            return false;
        }
        if (n == 2) break;
    }
    TV_LOG_ERROR(kModDateBasedDx, "Closure block not found.Date based archive operation failed");
    rangeResult = kArchiveNoClosure;
    return false;
}

// --- the questions ---------------------------------------------------------------------------

bool CDateBasedArchiverdX::AskArchiveFrom(uint32_t block) {
    Header h;
    std::string text;
    DayDate day;
    if (!ReadBlockHeaderAt(block, kRangeFailed, h)) return RangeReadFailed();
    if (!BlockDay(h, text, day)) return RangeFailed(__LINE__, kRangeFailed);
    return AskFrom(text);
}

bool CDateBasedArchiverdX::AskArchiveTill() {
    Header h;
    std::string text;
    DayDate day;
    if (!ReadBlockHeaderAt(lastClosure, kRangeFailed, h)) return RangeReadFailed();
    if (!BlockDay(h, text, day)) return RangeFailed(__LINE__, kRangeFailed);
    return AskTill(137, text);
}

// --- the range of the chosen dates -----------------------------------------------------------

bool CDateBasedArchiverdX::ExtendPastEndDate(uint32_t closureBlock, uint32_t previousSectors, uint32_t nextWriteIndex) {
    constexpr char kExtendFailed[] = "Finding block range failed";
    // The walk read nothing before the closure, or the block before it would be
    // the card's first: nothing to extend.
    if (previousSectors == 0 || closureBlock <= previousSectors) return false;
    Header previous;
    // A block before the closure that cannot be read or holds no date gives up
    // the extension; the walk goes on to its questions.
    if (!ReadBlockHeaderAt(closureBlock - previousSectors, kExtendFailed, previous)) return false;
    const char t = previous.type;
    if (t != 'H' && t != 'O' && t != 'S' && t != 'T' && t != 'U') return false;
    std::string text;
    DayDate day;
    if (!BlockDay(previous, text, day) || CompareDates(day, DayOfTime(ctx, endTime)) != 0) return false;
    lastClosure = closureBlock - previousSectors;
    for (uint64_t at = closureBlock; at < nextWriteIndex;) {
        Header h;
        if (!ReadBlockHeaderAt(static_cast<uint32_t>(at), kExtendFailed, h)) return false;
        rangeEnd = static_cast<uint32_t>(at);
        if (h.type == 'S') break;
        at += h.sectors;
    }
    return true;
}

bool CDateBasedArchiverdX::FindSignatureAfterClosure(uint32_t nextWriteIndex) {
    if (lastClosure == 0) {
        ShowMessage(113, kMbIconWarning);
        ctx.ui.Repaint();
        ctx.dateArchiveFailed = true;
        return false;
    }
    Header closure;
    if (!ReadBlockHeaderAt(lastClosure, kNoSignature, closure)) return RangeReadFailed();
    if (closure.type != 'E') return RangeFailed(__LINE__, "Invalid data in SMC");
    // The search starts after the whole closure: its own later sectors carry
    // the record type E as well.
    for (uint64_t at = uint64_t{lastClosure} + closure.sectors;;) {
        if (at >= nextWriteIndex) return RangeFailed(__LINE__, kNoSignature);
        Header h;
        if (!ReadBlockHeaderAt(static_cast<uint32_t>(at), kNoSignature, h)) return RangeReadFailed();
        if (IsPassedBeforeSignature(h.type)) {
            at += h.sectors;
            continue;
        }
        if (h.type != 'S') return RangeFailed(__LINE__, "Invalid data in SMC");
        if (!AskArchiveTill()) {
            ctx.dateArchiveFailed = true;
            return false;
        }
        rangeEnd = static_cast<uint32_t>(at);
        return true;
    }
}

bool CDateBasedArchiverdX::FindBlockRange() {
    ctx.dateArchiveFailed = false;
    firstBlock = 0;
    lastClosure = 0;
    rangeStart = 0;
    rangeEnd = 0;
    endIsNotClosure = false;
    WormUsage usage;
    if (!CheckSmcUsage(ctx, usage)) {
        rangeResult = kArchiveUsageUnreadable;
        return RangeFailed(__LINE__, kRangeFailed);
    }
    const uint32_t nextWriteIndex = usage.nextWriteIndex;
    const DayDate start = DayOfTime(ctx, startTime);
    const DayDate end = DayOfTime(ctx, endTime);

    bool started = false, endReached = false, pending = false, afterW = false;
    bool tillAccepted = false, done = false, extended = false, stop = false;
    uint32_t datedSeen = 0;       // T and U blocks so far
    uint32_t previousSectors = 0;  // of the block read before
    ctx.progressTotal = nextWriteIndex;
    for (uint64_t at = 0; at < nextWriteIndex && !done && !stop;) {
        PumpAndCheckAbort();
        ctx.progressDone = static_cast<int32_t>(at);
        const auto n = static_cast<uint32_t>(at);
        Header h;
        if (!ReadBlockHeaderAt(n, kRangeFailed, h)) {
            ctx.dateArchiveFailed = true;
            return false;
        }
        std::string text;
        DayDate day;
        if (IsDated(h.type) && !BlockDay(h, text, day)) return RangeFailed(__LINE__, kRangeFailed);
        switch (h.type) {
            case 'W':
                if (!started) {
                    rangeStart = n;
                    afterW = true;
                }
                break;
            case 'E': {
                if (!started) {
                    const int c = CompareDates(day, start);
                    if (c == 0) {
                        started = true;
                        firstBlock = n;
                        if (datedSeen == 0) rangeStart = 0;
                    } else if (c > 0) {
                        if (!AskArchiveFrom(n)) {
                            TV_LOG_ERROR(kModDateBasedDx, kRangeFailed);
                            return false;
                        }
                        started = true;
                        lastClosure = n;
                    }
                }
                // Only closures inside the range bound it.
                if (!started) break;
                const int c = CompareDates(day, end);
                if (c < 0) {
                    lastClosure = n;
                } else if (c == 0) {
                    endReached = true;
                    lastClosure = n;
                    pending = false;
                } else if (pending) {
                    if (ExtendPastEndDate(n, previousSectors, nextWriteIndex)) {
                        endIsNotClosure = true;
                        extended = true;
                        done = true;
                    } else {
                        lastClosure = n;
                        if (!AskArchiveTill()) {
                            TV_LOG_ERROR(kModDateBasedDx, kRangeFailed);
                            return false;
                        }
                        tillAccepted = true;
                        pending = false;
                    }
                } else if (endReached) {
                    done = true;
                } else {
                    if (ExtendPastEndDate(n, previousSectors, nextWriteIndex)) {
                        endIsNotClosure = true;
                        extended = true;
                        done = true;
                    }
                    stop = true;
                }
                break;
            }
            case 'S':
                if (started && endReached) {
                    rangeEnd = n;
                    if (tillAccepted) done = true;
                }
                break;
            case 'T':
            case 'U':
                ++datedSeen;
                if (started) {
                    if (endReached) pending = CompareDates(day, end) == 0;
                    break;
                }
                if (afterW) {
                    firstBlock = n;
                    afterW = false;
                }
                if (CompareDates(day, start) < 0) break;
                if (CompareDates(day, start) > 0 && !AskArchiveFrom(n)) {
                    TV_LOG_ERROR(kModDateBasedDx, kRangeFailed);
                    return false;
                }
                started = true;
                if (datedSeen == 1) rangeStart = 0;
                break;
            default: break;
        }
        previousSectors = h.sectors;
        at += h.sectors;
    }

    // No closure of the end date: the last closure before it may end the run.
    // The user's Yes ends the range there.
    if (!endReached && !extended) {
        if (!FindSignatureAfterClosure(nextWriteIndex)) {
            TV_LOG_ERROR(kModDateBasedDx, kRangeFailed);
            return false;
        }
        done = true;
    }
    // The range starts at a signature incident block: blocks before the start
    // date between it and the start day are taken in only if the user agrees.
    Header first;
    if (!ReadBlockHeaderAt(firstBlock, kRangeFailed, first)) return false;
    if (IsDated(first.type)) {
        std::string text;
        DayDate day;
        if (!BlockDay(first, text, day)) return RangeFailed(__LINE__, kRangeFailed);
        if (CompareDates(day, start) < 0 && !AskArchiveFrom(firstBlock)) {
            TV_LOG_ERROR(kModDateBasedDx, kRangeFailed);
            return false;
        }
    }
    // The range ends with its signature block: incident blocks after it carry
    // no date and belong to no range.
    if (!(started && (done || endReached) && lastClosure < rangeEnd && rangeStart < rangeEnd)) {
        return RangeFailed(__LINE__, kRangeFailed);
    }
    return true;
}

// --- the run -----------------------------------------------------------------------------------

bool CDateBasedArchiverdX::VerifyBoundaryBlocks(uint32_t lastIndex, int& result) {
    BlockBoundaries b;
    const BoundaryScan scan{kModDateBasedDx, [this] { PumpAndCheckAbort(); }};
    const bool ok = VerifyDxDateBoundaries(ctx, rangeStart, lastIndex, endIsNotClosure, scan, b, result);
    if (b.firstBlock != 0) firstBlock = b.firstBlock;
    if (!endIsNotClosure && b.lastClosure != 0) lastClosure = b.lastClosure;
    lastIncident = b.lastIncident;
    return ok;
}

bool CDateBasedArchiverdX::Run(ProgressView* progress, int& result, ResultList* results, StatusView* status) {
    // What the range search found outlives the reset of the writer's fields.
    const uint32_t keptFirst = firstBlock;
    const uint32_t keptClosure = lastClosure;
    const bool keptEnd = endIsNotClosure;
    ResetFields();
    firstBlock = keptFirst;
    lastClosure = keptClosure;
    endIsNotClosure = keptEnd;
    TV_LOG_INFO(kModDateBasedDx, "Date based archive operation started");

    WormUsage usage;
    if (!CheckSmcUsage(ctx, usage)) {
        result = kArchiveUsageUnreadable;
        TV_LOG_ERROR(kModDateBasedDx, kFailed);
        return false;
    }
    if (usage.nextWriteIndex == 0) {
        result = kArchiveNoData;
        TV_LOG_ERROR(kModDateBasedDx, "No data in SMC.Date based archive operation failed");
        return false;
    }
    // A run without a range found for its dates has nothing to write.
    if (rangeEnd <= rangeStart || rangeEnd >= usage.nextWriteIndex) {
        TV_LOG_ERROR(kModDateBasedDx, "No block range for the selected dates");
        TV_LOG_ERROR(kModDateBasedDx, kFailed);
        return false;
    }
    if (!VerifyBoundaryBlocks(rangeEnd, result)) {
        TV_LOG_ERROR(kModDateBasedDx, kFailed);
        return false;
    }
    if (!CheckPublicKeyIntegrity(usage.nextWriteIndex)) {
        result = kArchiveDataCheckFailed;
        TV_LOG_ERROR(kModDateBasedDx, kFailed);
        return false;
    }
    if (!InitArchive(result, progress, results, status) || (rangeStart != 0 && !WriteOriginOfTrustInfo(rangeStart))) {
        TV_LOG_ERROR(kModDateBasedDx, kFailed);
        return false;
    }
    SetPleaseWaitText(status, 123);
    if (!CreateArchive(rangeEnd - rangeStart + 1, rangeEnd, rangeStart, result, progress, results, status)) {
        return FailRun(kModDateBasedDx, kFailed, results);
    }
    return FinishRun(kModDateBasedDx, false, kFailed, kFailed, "Date based archive operation finished", results,
                     status);
}

}  // namespace tv
