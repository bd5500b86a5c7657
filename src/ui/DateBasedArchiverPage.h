// The run of the archive of the dates chosen on the date page. When the card's
// dates could not be prepared there, nothing runs and the page tells why.
#pragma once

#include "ui/ArchiverRunPage.h"

namespace tv {

class CDateBasedArchiverPage : public CArchiverRunPage {
    Q_OBJECT
public:
    explicit CDateBasedArchiverPage(QWidget* parent = nullptr);

protected:
    bool RangeUnavailable(const AppContext& ctx) const override;
};

}  // namespace tv
