#pragma once

#include <QObject>

namespace tv::test {

// The pages that set up an archive run: the archive choice with what the
// card's profile entry allows, the archive folder and the date range.
class ArchivingChoiceTest : public QObject {
    Q_OBJECT
private slots:
    void cardWithoutProfileOffersCompleteAndDateOnly();
    void soundProfileOffersContinueWithThePreviousDates();
    void unsupportedCardCannotBeArchived();
    void choiceLeadsToTheFolderPageOrStraightOn();
    void folderChecksAndTheLengthBoundary();
    void defaultFolderSwitchedInTheSettingsFillsTheEdit();
    void datePickersHoldTheCardsRange();
    void fromAfterToIsRefusedAndEqualDatesAreAccepted();
    void unavailableRangeMovesOnToTheRun();
    void cardDateThatIsNoCalendarDayStopsTheQuery();
};

}  // namespace tv::test
