// The run of the archive that continues from the card's last archive.
#pragma once

#include "ui/ArchiverRunPage.h"

namespace tv {

class CPartialArchiverPage : public CArchiverRunPage {
    Q_OBJECT
public:
    explicit CPartialArchiverPage(QWidget* parent = nullptr);
};

}  // namespace tv
