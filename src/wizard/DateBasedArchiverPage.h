// The run of the archive of the dates chosen on the date page. When the card's
// dates could not be prepared there, nothing runs and the page tells why.
#pragma once

#include "wizard/ArchiverRunPage.h"

namespace tv {

constexpr int kCtlDateBasedProgress = 1086;  // the progress bar of template 137

class CDateBasedArchiverPage : public CArchiverRunPage {
public:
    CDateBasedArchiverPage();

protected:
    bool RangeUnavailable(const AppContext& ctx) const override;
};

}  // namespace tv
