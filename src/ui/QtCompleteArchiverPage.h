// The run of the complete archive of the card.
#pragma once

#include "ui/QtArchiverRunPage.h"

namespace tv {

class QtCompleteArchiverPage : public QtArchiverRunPage {
    Q_OBJECT
public:
    explicit QtCompleteArchiverPage(QWidget* parent = nullptr);
};

}  // namespace tv
