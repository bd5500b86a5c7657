// What the boundary rule sets share: reading one block header at a time,
// logging a violation with the run's module and result code, and pumping the
// user interface between blocks.
#pragma once

#include <cstdint>

#include "store/BoundaryVerification.h"
#include "store/WormBlock.h"

namespace tv {

class AppContext;

inline constexpr char kBoundaryFailed[] = "Boundary block verification failed";

class BoundaryScanner {
public:
    BoundaryScanner(AppContext& ctx, const BoundaryScan& scan, ScaleFamily family)
        : ctx_(ctx), scan_(scan), family_(family) {}

    bool Fail(int line, const char* message) const;
    bool Fail(int line, const char* message, int code, int& result) const;
    // The decoded header of the block that starts at a sector. A failed read or
    // decode logs the rule set's failure.
    bool HeaderAt(uint32_t sector, WormBlock& block);
    bool TypeAt(uint32_t sector, char& type);
    // dX: the first sector of the block whose sector at `sector` was decoded
    // into block (FindDxBlockStart); a card without that start fails the rule set.
    bool BlockStart(uint32_t sector, const WormBlock& block, uint32_t& first);
    void Between() const {
        if (scan_.betweenBlocks) scan_.betweenBlocks();
    }
    AppContext& Context() const { return ctx_; }

private:
    AppContext& ctx_;
    const BoundaryScan& scan_;
    ScaleFamily family_;
};

inline bool IsIncidentType(char t) { return t == 'C' || t == 'F' || t == 'P' || t == 'R'; }

// Sets the context's boundary-check progress for a backward scan and clears
// the flag when the scan ends, on every path.
class BackwardScanProgress {
public:
    BackwardScanProgress(AppContext& ctx, uint32_t lastIndex);
    ~BackwardScanProgress();
    BackwardScanProgress(const BackwardScanProgress&) = delete;
    BackwardScanProgress& operator=(const BackwardScanProgress&) = delete;
    void Step();

private:
    AppContext& ctx_;
};

}  // namespace tv
