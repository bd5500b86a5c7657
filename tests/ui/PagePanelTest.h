#pragma once

#include <QObject>

namespace tv::test {

// The Qt window on the wizard core: a moved page's panel beside a page not
// moved yet, what the panel tells the core page and what the page sets in it.
class PagePanelTest : public QObject {
    Q_OBJECT
private slots:
    void userActionsReachTheCorePageAndItsOwnChangesDoNot();
    void panelsShareTheNavigation();
    void radioButtonsAndTimersFollowThePage();
    void viewsOfBarsListsAndPickers();
};

}  // namespace tv::test
