// The archive of a ZT4 card between two dates. The run itself arrives with its
// own rules; until then it fails and the log says why.
#pragma once

#include "zt4/ArchiverZT4.h"

namespace tv {

class CDateBasedArchiverZT4 : public CArchiverZT4 {
public:
    using CArchiverZT4::CArchiverZT4;
    // The chosen range (seconds since 1970).
    void SetStartDate(int64_t date) override { rangeStart = date; }
    void SetEndDate(int64_t date) override { rangeEnd = date; }
    int64_t rangeStart = 0;
    int64_t rangeEnd = 0;

    bool Run(ProgressView* progress, int& result, ResultList* results, StatusView* status) override;
    bool VerifyBoundaryBlocks(uint32_t lastIndex, int& result) override;
};

}  // namespace tv
