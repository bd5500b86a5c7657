// The rule set of a complete archive of a dX card.
#include "app/AppContext.h"
#include "smc/SmcAccess.h"
#include "store/ArchiveResult.h"
#include "store/BlockDecoder.h"
#include "store/BoundaryVerification.h"
#include "store/DxBoundaryScans.h"

namespace tv {

bool VerifyDxCompleteBoundaries(AppContext& ctx, uint32_t lastIndex, const BoundaryScan& scan,
                                BlockBoundaries& b, int& result) {
    BoundaryScanner s(ctx, scan, ScaleFamily::Dx);
    uint8_t origin[3 * kBlockSectorSize] = {};
    if (!GetSmcBlocks(ctx, 3, origin, 0)) return s.Fail(__LINE__, kBoundaryFailed);
    WormBlock block;
    if (!DecodeBlockHeader(origin, ScaleFamily::Dx, 0, block)) return s.Fail(__LINE__, kBoundaryFailed);
    if (block.recordType != 'O') {
        return s.Fail(__LINE__, "Origin of trust block not found ! Boundary block verification failed", kArchiveCorrupted,
                      result);
    }

    // Forward: two signature incident / signature pairs, a header, then the first dated block.
    DxForwardMarks m;
    if (lastIndex > 2 && !ScanDxForward(s, 3, lastIndex, DxForwardRules::FromOrigin, m, b, result)) return false;
    if (!(m.w1 && m.s1 && m.w2 && m.s2)) {
        return s.Fail(__LINE__, "Corrupted SMC.Boundary block verification failed", kArchiveCorrupted, result);
    }
    // Backward: the last closure group E, W, S and the incident blocks after it.
    return ScanDxBackward(s, lastIndex, b, result);
}

}  // namespace tv
