// The block order of a ZT4 card checked before a complete run writes anything:
// identifier and fusing blocks, a signature incident and signature pair, then
// the journal; the last journal block gives the end of the run.
#pragma once

#include <cstdint>

#include "store/BoundaryVerification.h"

namespace tv {

class AppContext;

// lastIndex: the card's last write index. lastClosure receives the first sector
// of the last journal block (E, S or T), lastIncident its last sector.
bool VerifyZt4CompleteBoundaries(AppContext& ctx, uint32_t lastIndex, const BoundaryScan& scan,
                                 BlockBoundaries& boundaries, int& result);

}  // namespace tv
