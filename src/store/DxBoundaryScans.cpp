#include "store/DxBoundaryScans.h"

#include "store/ArchiveResult.h"

namespace tv {

bool ScanDxForward(BoundaryScanner& s, uint32_t from, uint32_t lastIndex, DxForwardRules rules,
                   DxForwardMarks& m, BlockBoundaries& b, int& result) {
    const bool origin = rules != DxForwardRules::FromIncident;
    // After a signature incident block every violation is the rule set's one failure.
    auto fail = [&](int line, const char* message, bool coded) {
        if (!origin) return s.Fail(line, kBoundaryFailed);
        return coded ? s.Fail(line, message, kArchiveCorrupted, result) : s.Fail(line, message);
    };
    bool header = false;
    for (uint32_t n = from; n >= from && n <= lastIndex; ++n) {
        s.Between();
        char t = 0;
        if (!s.TypeAt(n, t)) return false;
        if (IsIncidentType(t)) continue;
        if (t == 'W') {
            if (origin) (m.w1 && m.s1 ? m.w2 : m.w1) = true;
        } else if (t == 'S') {
            if (!origin) {
                m.s2 = true;
            } else if (m.w1 && !m.s1) {
                m.s1 = true;
            } else if (!m.w2) {
                return fail(__LINE__, "Signature block without Signature incident block.Boundary block verification failed",
                            true);
            } else {
                m.s2 = true;
            }
        } else if (t == 'H') {
            if (!m.s2) {
                return fail(__LINE__, "Header block present without a signature block.Boundary block verification failed",
                            true);
            }
            header = true;
        } else if (t == 'T') {
            if (!header) {
                return fail(__LINE__,
                            "Transaction block present without a header block. Boundary block verification failed", false);
            }
            b.firstBlock = n;
            m.dated = true;
            return true;
        } else if (t == 'E') {
            if (!m.s2) return fail(__LINE__, "Closure block comes without a signature block.Boundary block verification failed", false);
            b.firstBlock = n;
            m.dated = true;
            return true;
        } else if (t == 'U') {
            if (!m.s2) {
                if (rules == DxForwardRules::FromOriginDate) {
                    return fail(__LINE__, "User message block comes without a signature block.Boundary block verification failed",
                                true);
                }
                return fail(__LINE__, "Usermessage block comes without a signature block.Boundary block verification failed",
                            false);
            }
            b.firstBlock = n;
            m.dated = true;
            return true;
        } else {
            return fail(__LINE__, "Origin of trust block present inbetween.Boundary block verification failed", true);
        }
    }
    return true;
}

bool ScanDxBackward(BoundaryScanner& s, uint32_t lastIndex, BlockBoundaries& b, int& result) {
    bool sig = false, incident = false, closure = false, other = false;
    uint32_t run = 0;
    BackwardScanProgress progress(s.Context(), lastIndex);
    for (uint32_t n = lastIndex; n >= 2 && !closure; --n) {
        s.Between();
        progress.Step();
        WormBlock block;
        if (!s.HeaderAt(n, block)) return false;
        const char t = block.recordType;
        if (IsIncidentType(t)) {
            if (!sig) {
                if (run == 0) {
                    b.lastBlock = n;
                    run = 1;
                } else if (b.lastBlock - run == n) {
                    ++run;
                }
            }
        } else if (t == 'S') {
            if (incident || closure) {
                return s.Fail(__LINE__, "Closure block not found.Boundary block verification failed", kArchiveNoClosure, result);
            }
            if (!(run != 0 && b.lastBlock - run == n)) b.lastBlock = n;
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
            if (!s.BlockStart(n, block, b.lastClosure)) return false;
        } else {
            other = true;
            run = 0;
        }
        if (n == 2) break;
    }
    if (!closure || other) {
        return s.Fail(__LINE__, "Closure block not found.Boundary block verification failed", kArchiveNoClosure, result);
    }
    if (!incident || !sig) {
        return s.Fail(__LINE__, "Signature block not found.Boundary block verification failed", kArchiveNoSignature, result);
    }
    return true;
}

}  // namespace tv
