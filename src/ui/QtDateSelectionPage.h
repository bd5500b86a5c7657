// The dates' panel of a date-based archive: the two day pickers bound by the
// card's first and last days, as the core's page (CDateSelectionPage) decides.
#pragma once

#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>

#include "ui/QtPagePanel.h"
#include "wizard/DateSelectionPage.h"

namespace tv {

class QtDateSelectionPage : public QtPagePanel {
    Q_OBJECT
public:
    explicit QtDateSelectionPage(QWidget* parent = nullptr);

    QDateEdit* FromDate() const { return from_; }
    QDateEdit* ToDate() const { return to_; }
    QLabel* StatusLine() const { return status_; }
    bool RangeFailed() const { return dates_.RangeFailed(); }

private:
    CDateSelectionPage dates_;
    QGroupBox* box_;
    QLabel* fromLabel_;
    QLabel* toLabel_;
    QDateEdit* from_;
    QDateEdit* to_;
    QLabel* status_;
};

}  // namespace tv
