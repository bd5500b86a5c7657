// The two scans of the dX rule sets: forward from the origin (or from a
// signature incident block) to the first dated block, and backward from the end
// of the run to its last closure group.
#pragma once

#include <cstdint>

#include "store/BoundaryScanner.h"

namespace tv {

enum class DxForwardRules {
    FromOrigin,      // after the origin of trust block: two W/S pairs, a header
    FromOriginDate,  // the same for a date-based run (its U message carries result 5)
    FromIncident,    // after a signature incident block: W ignored, S sets S2
};

struct DxForwardMarks {
    bool w1 = false, s1 = false, w2 = false, s2 = false;
    bool dated = false;  // a dated block was found (firstBlock)
};

// Scans blocks from..lastIndex one sector per step, up to the first dated block.
bool ScanDxForward(BoundaryScanner& s, uint32_t from, uint32_t lastIndex, DxForwardRules rules,
                   DxForwardMarks& marks, BlockBoundaries& b, int& result);

// The backward scan of the complete and continue-from-last runs, from lastIndex
// down to block 2: the last closure group E, W, S and the incident blocks after
// it. Result 4 when journal blocks follow the last group, 3 when its signature
// is missing.
bool ScanDxBackward(BoundaryScanner& s, uint32_t lastIndex, BlockBoundaries& b, int& result);

}  // namespace tv
