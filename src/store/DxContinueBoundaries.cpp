// The rule set of a dX archive that continues from the last one.
#include "app/AppContext.h"
#include "store/ArchiveResult.h"
#include "store/BoundaryVerification.h"
#include "store/DxBoundaryScans.h"

namespace tv {

bool VerifyDxContinueBoundaries(AppContext& ctx, uint32_t start, uint32_t lastIndex, const BoundaryScan& scan,
                                BlockBoundaries& b, int& result) {
    BoundaryScanner s(ctx, scan, ScaleFamily::Dx);
    if (start > lastIndex) return s.Fail(__LINE__, kBoundaryFailed);
    WormBlock block;
    if (!s.HeaderAt(start, block)) return false;
    if (block.recordType != 'W') {
        return s.Fail(__LINE__, "Signature Incident block not found ! Boundary block verification failed");
    }
    if (start == lastIndex) return s.Fail(__LINE__, "No new data in SMC", 1, result);

    DxForwardMarks m;
    if (!ScanDxForward(s, start + 1, lastIndex, DxForwardRules::FromIncident, m, b, result)) return false;
    if (!m.dated) return s.Fail(__LINE__, "No new data in SMC", 1, result);
    if (!m.s2) return s.Fail(__LINE__, kBoundaryFailed);
    return ScanDxBackward(s, lastIndex, b, result);
}

}  // namespace tv
