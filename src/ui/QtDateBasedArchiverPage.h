// The run of the archive of the dates chosen on the date page. When the card's
// dates could not be prepared there, nothing runs and the page tells why.
#pragma once

#include "ui/QtArchiverRunPage.h"

namespace tv {

class QtDateBasedArchiverPage : public QtArchiverRunPage {
    Q_OBJECT
public:
    explicit QtDateBasedArchiverPage(QWidget* parent = nullptr);
};

}  // namespace tv
