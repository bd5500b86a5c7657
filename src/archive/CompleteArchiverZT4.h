// The complete archive of a ZT4 card. The run itself arrives with its
// own rules; until then it fails and the log says why.
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
