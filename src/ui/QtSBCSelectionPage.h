// The card page's panel: the cards in the computer's drives and the fill level
// of the selected one, as the core's card page (CSBCSelectionPage) decides them.
#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <memory>

#include "ui/QtPagePanel.h"
#include "wizard/SBCSelectionPage.h"

namespace tv {

class QtSBCSelectionPage : public QtPagePanel {
    Q_OBJECT
public:
    explicit QtSBCSelectionPage(QWidget* parent = nullptr);

    QComboBox* CardList() const { return list_; }
    QProgressBar* FillBar() const { return fill_; }

protected:
    // The panel of another card page of the same template (the verification's).
    QtSBCSelectionPage(std::unique_ptr<CSBCSelectionPage> page, int pageId, QWidget* parent);

private:
    std::unique_ptr<CSBCSelectionPage> card_;
    QGroupBox* box_;
    QComboBox* list_;
    QProgressBar* fill_;
    QLabel* fillIcon_;
};

}  // namespace tv
