// The rule sets of the three kinds of ZT4 runs: complete, continue from the
// last archive, between two dates. Blocks are walked by their sector counts;
// the backward scan finds the last journal block sector by sector.
#include <cstring>

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "smc/SmcAccess.h"
#include "store/ArchiveResult.h"
#include "store/BlockDecoder.h"
#include "store/BoundaryScanner.h"
#include "store/BoundaryVerification.h"
#include "zt4/Zt4BlockReader.h"

namespace tv {

namespace {

constexpr char kFusingInbetween[] = "Fusing block present inbetween.Boundary block verification failed";
constexpr char kInvalidType[] = "Invalid record type found.Boundary block verification failed";
constexpr char kCorrupted[] = "Corrupted SMC.Boundary block verification failed";

// Sector 0 holds the ZT4 identifier and the block at sector 1 must be the
// fusing block, read with its XML: one the reader refuses gives its message and
// result 2. A second block of another kind gives notFusingCode (0: none).
bool CheckOrigin(BoundaryScanner& s, int module, int notFusingCode, int& result) {
    uint8_t sector[kBlockSectorSize] = {};
    if (!GetSmcBlocks(s.Context(), 1, sector, 0)) return s.Fail(__LINE__, kBoundaryFailed);
    if (std::memcmp(sector + 4, "ZT4", 3) != 0) return s.Fail(__LINE__, kBoundaryFailed);
    CZt4BlockReader reader(s.Context(), module);
    if (!reader.Read(1, result)) return s.Fail(__LINE__, kBoundaryFailed);
    if (reader.kind != 'O') {
        if (notFusingCode != 0) result = notFusingCode;
        return s.Fail(__LINE__, "Fusing block not found ! Boundary block verification failed");
    }
    return true;
}

struct Zt4ForwardMarks {
    bool w = false, s = false;
    bool dated = false;
};

// From sector 2 after the fusing block: signature incident and signature blocks,
// then the first transaction or closure.
bool ScanFromFusing(BoundaryScanner& s, uint32_t lastIndex, Zt4ForwardMarks& m, BlockBoundaries& b, int& result) {
    uint64_t at = 2;
    while (at <= lastIndex) {
        s.Between();
        WormBlock block;
        if (!s.HeaderAt(static_cast<uint32_t>(at), block)) return false;
        const char t = block.recordType;
        if (t == 'W') {
            m.w = true;
        } else if (t == 'S') {
            if (!m.w) {
                return s.Fail(__LINE__, "Signature block without Signature incident block.Boundary block verification failed",
                              kArchiveCorrupted, result);
            }
            m.s = true;
        } else if (t == 'T' || t == 'E') {
            if (!m.s) {
                return s.Fail(__LINE__, t == 'T' ? "Transaction block present without a signature block. Boundary block verification failed"
                                                 : "Closure block comes without a signature block.Boundary block verification failed");
            }
            b.firstBlock = static_cast<uint32_t>(at);
            m.dated = true;
            return true;
        } else if (!IsIncidentType(t)) {
            return s.Fail(__LINE__, kFusingInbetween, kArchiveCorrupted, result);
        }
        at += block.sectorCount;
    }
    return true;
}

// From a sector inside the journal: anything but the origin blocks passes up to
// the first transaction or closure.
bool ScanFromJournal(BoundaryScanner& s, uint32_t from, uint32_t lastIndex, Zt4ForwardMarks& m, BlockBoundaries& b,
                     int& result) {
    uint64_t at = from;
    while (at <= lastIndex) {
        s.Between();
        WormBlock block;
        if (!s.HeaderAt(static_cast<uint32_t>(at), block)) return false;
        const char t = block.recordType;
        if (t == 'T' || t == 'E') {
            b.firstBlock = static_cast<uint32_t>(at);
            m.dated = true;
            return true;
        }
        if (t == 'I' || t == 'O') return s.Fail(__LINE__, kFusingInbetween, kArchiveCorrupted, result);
        if (!IsIncidentType(t) && t != 'S' && t != 'W') return s.Fail(__LINE__, kBoundaryFailed);
        at += block.sectorCount;
    }
    return true;
}

// Backward from the last index to the sector after lowest: the last journal
// block gives lastClosure (its first sector) and lastIncident (its last). A
// block of a type no journal holds sets result 2 and ends the scan; the run
// goes on.
bool ScanBackward(BoundaryScanner& s, uint32_t lastIndex, uint32_t lowest, const char* unknownType, BlockBoundaries& b,
                  int& result) {
    BackwardScanProgress progress(s.Context(), lastIndex);
    for (uint32_t n = lastIndex; n > lowest && n <= lastIndex; --n) {
        s.Between();
        progress.Step();
        uint8_t sector[kBlockSectorSize] = {};
        if (!GetSmcBlocks(s.Context(), 1, sector, n)) return s.Fail(__LINE__, kBoundaryFailed);
        const bool starts = (sector[0] | sector[1] | sector[2] | sector[3]) != 0 && std::memcmp(sector + 4, "<fit>", 5) == 0;
        if (!starts) continue;
        WormBlock block;
        if (!DecodeBlockHeader(sector, ScaleFamily::Zt4, n, block)) return s.Fail(__LINE__, kBoundaryFailed);
        const char t = block.recordType;
        if (t == 'E' || t == 'S' || t == 'T') {
            b.lastClosure = n;
            b.lastIncident = n + block.sectorCount - 1;
            return true;
        }
        if (t != 'I' && t != 'O') {
            s.Fail(__LINE__, unknownType, kArchiveDataCheckFailed, result);
            return true;
        }
    }
    return true;
}

}  // namespace

bool VerifyZt4CompleteBoundaries(AppContext& ctx, uint32_t lastIndex, const BoundaryScan& scan, BlockBoundaries& b,
                                 int& result) {
    BoundaryScanner s(ctx, scan, ScaleFamily::Zt4);
    if (!CheckOrigin(s, scan.module, 0, result)) return false;
    if (uint64_t{lastIndex} + 1 <= 2) return s.Fail(__LINE__, kCorrupted, kArchiveCorrupted, result);
    Zt4ForwardMarks m;
    if (!ScanFromFusing(s, lastIndex, m, b, result)) return false;
    if (!m.w || !m.s) return s.Fail(__LINE__, kCorrupted, kArchiveCorrupted, result);
    if (!m.dated) {
        s.Fail(__LINE__, "No data in SMC", kArchiveNoData, result);
        return s.Fail(__LINE__, kBoundaryFailed);
    }
    return ScanBackward(s, lastIndex, 0, kInvalidType, b, result);
}

bool VerifyZt4ContinueBoundaries(AppContext& ctx, uint32_t start, uint32_t lastIndex, const BoundaryScan& scan,
                                 BlockBoundaries& b, int& result) {
    BoundaryScanner s(ctx, scan, ScaleFamily::Zt4);
    if (start > lastIndex) {
        s.Fail(__LINE__, "No new data in SMC", 1, result);
        return s.Fail(__LINE__, kBoundaryFailed);
    }
    Zt4ForwardMarks m;
    if (!ScanFromJournal(s, start, lastIndex, m, b, result)) return false;
    if (!m.dated) {
        s.Fail(__LINE__, "No new data in SMC", 1, result);
        return s.Fail(__LINE__, kBoundaryFailed);
    }
    return ScanBackward(s, lastIndex, 1, kInvalidType, b, result);
}

bool VerifyZt4DateBoundaries(AppContext& ctx, uint32_t start, uint32_t lastIndex, const BoundaryScan& scan,
                             BlockBoundaries& b, int& result) {
    BoundaryScanner s(ctx, scan, ScaleFamily::Zt4);
    Zt4ForwardMarks m;
    bool fusing = false;
    if (start == 0) {
        if (!CheckOrigin(s, scan.module, kArchiveCorrupted, result)) return false;
        fusing = true;
        if (!ScanFromFusing(s, lastIndex, m, b, result)) return false;
    } else if (!ScanFromJournal(s, start, lastIndex, m, b, result)) {
        return false;
    }
    if (!ScanBackward(s, lastIndex, 0, kBoundaryFailed, b, result)) return false;
    if (start != 0 || (fusing && m.w && m.s)) return true;
    return s.Fail(__LINE__, kCorrupted, kArchiveCorrupted, result);
}

}  // namespace tv
