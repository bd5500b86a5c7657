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

// ZT4 rule sets: firstBlock is the first dated block, lastClosure the first and
// lastIncident the last sector of the last journal block.

// dX complete run up to the last index (next write index - 1, or the last
// signature block when the user chose to stop at the last closure).
bool VerifyDxCompleteBoundaries(AppContext& ctx, uint32_t lastIndex, const BoundaryScan& scan,
                                BlockBoundaries& boundaries, int& result);

// dX continue from the last archive: from the signature incident block start (the
// last one archived) up to the last index. Result 1 when nothing new was written.
bool VerifyDxContinueBoundaries(AppContext& ctx, uint32_t start, uint32_t lastIndex, const BoundaryScan& scan,
                                BlockBoundaries& boundaries, int& result);

// dX date-based run from the start block (0, or a signature incident block) to
// the end block (a signature block). endIsNotClosure: the run ends past the end
// date with a closure of a later day, and lastClosure stays as the walk set it.
bool VerifyDxDateBoundaries(AppContext& ctx, uint32_t start, uint32_t end, bool endIsNotClosure,
                            const BoundaryScan& scan, BlockBoundaries& boundaries, int& result);

// ZT4 complete run up to the last index (the card's last write index). Result 6
// when the card holds no journal block.
bool VerifyZt4CompleteBoundaries(AppContext& ctx, uint32_t lastIndex, const BoundaryScan& scan,
                                 BlockBoundaries& boundaries, int& result);

// ZT4 continue from the last archive: from sector start (the one after the last
// archived) up to the last index. Result 1 when nothing new was written.
bool VerifyZt4ContinueBoundaries(AppContext& ctx, uint32_t start, uint32_t lastIndex, const BoundaryScan& scan,
                                 BlockBoundaries& boundaries, int& result);

// ZT4 date-based run from sector start (0: the card's first block) to the last index.
bool VerifyZt4DateBoundaries(AppContext& ctx, uint32_t start, uint32_t lastIndex, const BoundaryScan& scan,
                             BlockBoundaries& boundaries, int& result);

}  // namespace tv
