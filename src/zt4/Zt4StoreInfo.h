// The identity of a ZT4 card: the walk over its first blocks up to the first
// scale signature, checking every block's hash chain and that signature.
#pragma once

#include <cstdint>

#include "store/WormBlock.h"

namespace tv {

class AppContext;

// Walks at most sectorCount sectors from block 0 of the open card: block 0 must
// be the identifier block, block 1 the fusing block; ends with success at the
// first signature block whose signature holds, or when the sectors are walked.
bool ReadZt4StoreInfo(AppContext& ctx, uint32_t sectorCount, StoreInfo& info);

}  // namespace tv
