// The complete archive of a ZT4 card: every block from the first to the last
// journal block, in as many files as the year ends and the maximum size ask for.
#pragma once

#include "zt4/ArchiverZT4.h"

namespace tv {

class CCompleteArchiverZT4 : public CArchiverZT4 {
public:
    using CArchiverZT4::CArchiverZT4;

    bool Run(ProgressView* progress, int& result, ResultList* results, StatusView* status) override;
    bool VerifyBoundaryBlocks(uint32_t lastIndex, int& result) override;
};

}  // namespace tv
