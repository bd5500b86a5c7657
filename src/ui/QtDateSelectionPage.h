// The dates of a date-based archive: the card's first and last days bound the
// two pickers; Next finds the blocks of the chosen days before the run.
#pragma once

#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QTimer>

#include "ui/QtWizardPage.h"

namespace tv {

class CDateRange;

class QtDateSelectionPage : public QtWizardPage {
    Q_OBJECT
public:
    explicit QtDateSelectionPage(QWidget* parent = nullptr);

    QDateEdit* FromDate() const { return from_; }
    QDateEdit* ToDate() const { return to_; }
    QLabel* StatusLine() const { return status_; }
    bool RangeFailed() const { return rangeFailed_; }

    int UpdateHeader() override;
    void UpdateTexts() override;
    void OnBeforeNext() override;
    void OnEnterForward() override;
    void OnReturnTo(bool flag) override;
    void OnSetActive() override;
    bool OnKillActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;

private:
    static CDateRange* Range();
    // The picker's day handed to the operation as its start or end.
    void PassDate(const QDateEdit* picker, bool start);
    void PassBothDates();
    // The card's dates could not be found: Next goes on to the run page, which
    // tells why.
    void RangeUnavailable();
    void ShowPreparing();

    QGroupBox* box_;
    QLabel* fromLabel_;
    QLabel* toLabel_;
    QDateEdit* from_;
    QDateEdit* to_;
    QLabel* status_;
    QTimer preparing_;
    QTimer finding_;
    bool dots_ = false;
    bool filling_ = false;
    bool rangeFailed_ = false;
};

}  // namespace tv
