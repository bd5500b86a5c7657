// The archive of a ZT4 card from where its last archive ended: the card's
// profile section names the last sector that archive took, and the new archive
// starts at the sector after it, behind the card's leading blocks.
#pragma once

#include <cstdint>

#include "zt4/ArchiverZT4.h"

namespace tv {

class CPartialArchiverZT4 : public CArchiverZT4 {
public:
    using CArchiverZT4::CArchiverZT4;

    // The card's profile section, checked against the card; lastArchived is the
    // last sector of the last archive.
    bool ReadLastArchived() override;
    bool Run(ProgressView* progress, int& result, ResultList* results, StatusView* status) override;
    // From the sector after lastArchived up to lastIndex.
    bool VerifyBoundaryBlocks(uint32_t lastIndex, int& result) override;

    uint32_t lastArchived = 0;
};

}  // namespace tv
