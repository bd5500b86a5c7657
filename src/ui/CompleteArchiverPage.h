// The run of the complete archive of the card.
#pragma once

#include "ui/ArchiverRunPage.h"

namespace tv {

class CCompleteArchiverPage : public CArchiverRunPage {
    Q_OBJECT
public:
    explicit CCompleteArchiverPage(QWidget* parent = nullptr);
};

}  // namespace tv
