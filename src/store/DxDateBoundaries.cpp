// The rule set of a dX archive between two dates.
#include "app/AppContext.h"
#include "store/ArchiveResult.h"
#include "store/BoundaryVerification.h"
#include "store/DxBoundaryScans.h"

namespace tv {

bool VerifyDxDateBoundaries(AppContext& ctx, uint32_t start, uint32_t end, bool endIsNotClosure,
                            const BoundaryScan& scan, BlockBoundaries& b, int& result) {
    BoundaryScanner s(ctx, scan, ScaleFamily::Dx);
    WormBlock block;
    if (!s.HeaderAt(start, block)) return false;
    const bool fromOrigin = start == 0;
    DxForwardMarks m;
    bool startOk = false;
    if (fromOrigin) {
        if (block.recordType != 'O') {
            return s.Fail(__LINE__, "Origin of Trust block not found ! Boundary block verification failed", kArchiveCorrupted,
                          result);
        }
        startOk = true;
        if (end > 2 && !ScanDxForward(s, 3, end, DxForwardRules::FromOriginDate, m, b, result)) return false;
    } else {
        if (block.recordType != 'W') {
            return s.Fail(__LINE__, "Signature Incident block not found ! Boundary block verification failed");
        }
        startOk = true;
        if (!ScanDxForward(s, start + 1, end, DxForwardRules::FromIncident, m, b, result)) return false;
    }

    // Backward from the end block to its closure group; nothing but incident
    // blocks may follow the group's signature.
    bool sig = false, incident = false, closure = false;
    {
        BackwardScanProgress progress(ctx, end);
        for (uint32_t n = end; n >= 2 && n <= end && !closure; --n) {
            s.Between();
            progress.Step();
            WormBlock found;
            if (!s.HeaderAt(n, found)) return false;
            const char t = found.recordType;
            if (IsIncidentType(t)) {
                // passed over
            } else if (t == 'S') {
                if (incident || closure) {
                    return s.Fail(__LINE__, "Closure block not found. Boundary block verification failed", kArchiveNoClosure,
                                  result);
                }
                sig = true;
            } else if (t == 'W') {
                if (!sig) {
                    return s.Fail(__LINE__, "Signature block not found.Boundary block verification failed", kArchiveNoSignature,
                                  result);
                }
                incident = true;
                b.lastIncident = n;
            } else if (t == 'E') {
                if (!incident) return s.Fail(__LINE__, "Signature block not found.Boundary block verification failed");
                closure = true;
                // A closure of several sectors is met at its last sector.
                uint32_t first = n;
                if (!s.BlockStart(n, found, first)) return false;
                if (!endIsNotClosure) b.lastClosure = first;
            } else {
                s.Fail(__LINE__, kBoundaryFailed);
                break;
            }
            if (n == 2) break;
        }
    }

    if (fromOrigin) {
        if (!(startOk && m.w1 && m.s1 && m.w2 && m.s2)) {
            return s.Fail(__LINE__, "Corrupted SMC.Boundary block verification failed", kArchiveCorrupted, result);
        }
        if (!closure) return s.Fail(__LINE__, "Closure block not found.Boundary block verification failed", kArchiveNoClosure, result);
        if (!incident || !sig) {
            return s.Fail(__LINE__, "Signature block not found.Boundary block verification failed", kArchiveNoSignature, result);
        }
        return true;
    }
    if (!(startOk && m.s2)) return s.Fail(__LINE__, kBoundaryFailed);
    if (!closure) return s.Fail(__LINE__, "Closure block not found.Boundary block verification failed");
    if (!incident || !sig) return s.Fail(__LINE__, "Signature block not found.Boundary block verification failed");
    return true;
}

}  // namespace tv
