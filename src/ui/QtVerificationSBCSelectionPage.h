// The card page of the verification choice: the card list without a fill
// level, as the core's page (CVerificationSBCSelectionPage) decides it.
#pragma once

#include "ui/QtSBCSelectionPage.h"

namespace tv {

class QtVerificationSBCSelectionPage : public QtSBCSelectionPage {
    Q_OBJECT
public:
    explicit QtVerificationSBCSelectionPage(QWidget* parent = nullptr);
};

}  // namespace tv
