// The run of the complete archive of the card.
#pragma once

#include "wizard/ArchiverRunPage.h"

namespace tv {

constexpr int kCtlCompleteProgress = 1011;  // the progress bar of template 135

class CCompleteArchiverPage : public CArchiverRunPage {
public:
    CCompleteArchiverPage();
};

}  // namespace tv
