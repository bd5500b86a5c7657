// The card operations of the context: the one open card of the process, with
// log entries for every failure.
#pragma once

#include <cstdint>

#include "smc/WormChannel.h"

namespace tv {

class AppContext;

// WORM_INIT on the context's drive into its card.
bool InitSmc(AppContext& ctx, WormMode mode);
// Opens the card in data mode and reads its counters.
bool CheckSmcUsage(AppContext& ctx, WormUsage& usage);
bool GetSmcFusedState(AppContext& ctx, bool& fused);
// Reads count sectors from sector `first` of the open card; runs inside the
// written part of the store come from its read-ahead.
bool GetSmcBlocks(AppContext& ctx, uint32_t count, void* destination, uint32_t first);
void CloseSmc(AppContext& ctx);

// Two upper-case hex digits per byte and a terminating zero (2 * length + 1
// bytes); false when either pointer is missing.
bool BytesToHex(const uint8_t* bytes, size_t length, char* destination);

}  // namespace tv
