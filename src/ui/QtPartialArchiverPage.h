// The run of the archive that continues from the card's last archive.
#pragma once

#include "ui/QtArchiverRunPage.h"

namespace tv {

class QtPartialArchiverPage : public QtArchiverRunPage {
    Q_OBJECT
public:
    explicit QtPartialArchiverPage(QWidget* parent = nullptr);
};

}  // namespace tv
