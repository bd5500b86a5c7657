// The archive of a dX card from where its last archive ended. The run itself arrives with its
// own rules; until then it fails and the log says why.
#pragma once

#include "dx/ArchiverdX.h"

namespace tv {

class CPartialArchiverdX : public CArchiverdX {
public:
    using CArchiverdX::CArchiverdX;

    bool Run(ProgressView* progress, int& result, ResultList* results, StatusView* status) override;
    bool VerifyBoundaryBlocks(uint32_t lastIndex, int& result) override;
};

}  // namespace tv
