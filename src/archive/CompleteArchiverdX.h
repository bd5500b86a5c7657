// The complete archive of a dX card: everything from the first block to the end
// of the last complete closure group.
#pragma once

#include <cstdint>

#include "dx/ArchiverdX.h"

namespace tv {

class CCompleteArchiverdX : public CArchiverdX {
public:
    using CArchiverdX::CArchiverdX;

    bool Run(ProgressView* progress, int& result, ResultList* results, StatusView* status) override;
    bool VerifyBoundaryBlocks(uint32_t lastIndex, int& result) override;

    uint32_t lastBlock = 0;      // last block to archive
    bool archiveUpToEnd = true;  // false: stop at lastBlock (the last closure the user chose)
};

}  // namespace tv
