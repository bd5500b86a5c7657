#pragma once

#include <QObject>

namespace tv::test {

// The card pages with generated and bad cards: the list, the fill level and
// every refusal on Next.
class CardPageTest : public QObject {
    Q_OBJECT
private slots:
    void listsCardsSortedAfterThePlaceholder();
    void fillLevelShowsOnlyWhenLittleRoomIsLeft();
    void cardThatCannotBeOpenedIsRefusedOnSelection();
    void refusalsOnNextKeepThePageWithNextDisabled_data();
    void refusalsOnNextKeepThePageWithNextDisabled();
    void verificationCardPageRefusesZt4Cards();
    void frenchPlaceholderStillDisablesNext();
};

}  // namespace tv::test
