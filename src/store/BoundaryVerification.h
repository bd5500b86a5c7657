// The block order a scale produces, checked before an archive run writes
// anything: the origin, the signature pairs that authenticate it and, at the end,
// a complete closure group. The check also finds the run's boundaries. Each kind
// of run has its rule set; the failures carry the run's result codes.
#pragma once

#include <cstdint>
#include <functional>

namespace tv {

class AppContext;

struct BlockBoundaries {
    uint32_t firstBlock = 0;    // first dated block
    uint32_t lastClosure = 0;   // last closure block E
    uint32_t lastIncident = 0;  // last signature incident block W
    uint32_t lastBlock = 0;     // last block to archive
};

// What the scans call between blocks (the run pumps the user interface and
// honours an abort there), and the module their log entries carry.
struct BoundaryScan {
    int module = 0;
    std::function<void()> betweenBlocks;
};

// dX complete run up to the last index (next write index - 1, or the last
// signature block when the user chose to stop at the last closure).
bool VerifyDxCompleteBoundaries(AppContext& ctx, uint32_t lastIndex, const BoundaryScan& scan,
                                BlockBoundaries& boundaries, int& result);

}  // namespace tv
