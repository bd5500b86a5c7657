// The archive of a dX card from where its last archive ended: the card's
// profile section names the last signature incident block archived, and the
// new archive starts there again (after the card's leading blocks), so that it
// chains on to the last one.
#pragma once

#include <cstdint>

#include "dx/ArchiverdX.h"

namespace tv {

class CPartialArchiverdX : public CArchiverdX {
public:
    using CArchiverdX::CArchiverdX;

    // archiveUpToEnd values.
    static constexpr uint16_t kUpToLastBlock = 0;   // the user chose to stop at the last closure
    static constexpr uint16_t kUpToEnd = 1;
    static constexpr uint16_t kNothingToClose = 2;  // the last archive already reaches the last closure group

    // The card's profile section, checked against the card; lastArchived is the
    // block the run starts at.
    bool ReadLastArchived() override;
    bool Run(ProgressView* progress, int& result, ResultList* results, StatusView* status) override;
    bool VerifyBoundaryBlocks(uint32_t lastIndex, int& result) override;

    uint32_t lastArchived = 0;
    uint32_t lastBlock = 0;  // last block to archive
    uint16_t archiveUpToEnd = kUpToEnd;
};

}  // namespace tv
