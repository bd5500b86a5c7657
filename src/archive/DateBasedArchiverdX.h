// The archive of a dX card between two dates. The run itself arrives with its
// own rules; until then it fails and the log says why.
#pragma once

#include "dx/ArchiverdX.h"

namespace tv {

class CDateBasedArchiverdX : public CArchiverdX {
public:
    using CArchiverdX::CArchiverdX;
    // The chosen range (seconds since 1970).
    void SetStartDate(int64_t date) override { rangeStart = date; }
    void SetEndDate(int64_t date) override { rangeEnd = date; }
    int64_t rangeStart = 0;
    int64_t rangeEnd = 0;

    bool Run(ProgressView* progress, int& result, ResultList* results, StatusView* status) override;
    bool VerifyBoundaryBlocks(uint32_t lastIndex, int& result) override;
};

}  // namespace tv
