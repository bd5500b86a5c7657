// The identity of a dX card, from its origin of trust block and info sector.
#pragma once

#include "store/WormBlock.h"

namespace tv {

class AppContext;

// block: the origin of trust block (block number 0, three sectors). The
// customisation ID comes from the open card's info sector.
bool ReadDxStoreInfo(AppContext& ctx, const WormBlock& block, StoreInfo& info);

}  // namespace tv
