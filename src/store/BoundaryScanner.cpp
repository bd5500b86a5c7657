#include "store/BoundaryScanner.h"

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "smc/SmcAccess.h"
#include "store/BlockDecoder.h"

namespace tv {

bool BoundaryScanner::Fail(int line, const char* message) const {
    LogFile::Instance().Write(scan_.module, line, kLogError, message);
    return false;
}

bool BoundaryScanner::Fail(int line, const char* message, int code, int& result) const {
    result = code;
    return Fail(line, message);
}

bool BoundaryScanner::HeaderAt(uint32_t sector, WormBlock& block) {
    uint8_t bytes[kBlockSectorSize] = {};
    if (!GetSmcBlocks(ctx_, 1, bytes, sector)) return Fail(__LINE__, kBoundaryFailed);
    if (!DecodeBlockHeader(bytes, family_, sector, block)) return Fail(__LINE__, kBoundaryFailed);
    return true;
}

bool BoundaryScanner::TypeAt(uint32_t sector, char& type) {
    WormBlock block;
    if (!HeaderAt(sector, block)) return false;
    type = block.recordType;
    return true;
}

bool BoundaryScanner::BlockStart(uint32_t sector, const WormBlock& block, uint32_t& first) {
    if (!FindDxBlockStart(ctx_, sector, block, first)) return Fail(__LINE__, kBoundaryFailed);
    return true;
}

BackwardScanProgress::BackwardScanProgress(AppContext& ctx, uint32_t lastIndex) : ctx_(ctx) {
    ctx_.boundaryCheck = true;
    ctx_.progressTotal = lastIndex;
    ctx_.progressDone = 0;
}

BackwardScanProgress::~BackwardScanProgress() { ctx_.boundaryCheck = false; }

void BackwardScanProgress::Step() { ++ctx_.progressDone; }

}  // namespace tv
