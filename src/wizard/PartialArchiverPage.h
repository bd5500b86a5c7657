// The run of the archive that continues from the card's last archive.
#pragma once

#include "wizard/ArchiverRunPage.h"

namespace tv {

constexpr int kCtlPartialProgress = 1018;  // the progress bar of template 136

class CPartialArchiverPage : public CArchiverRunPage {
public:
    CPartialArchiverPage();
};

}  // namespace tv
