#pragma once

#include <QObject>

namespace tv::test {

// The archive run pages on generated cards: the runs and their files, the
// closure question, an archive kept, Abort and a card pulled out during a run,
// the end of the run and the question that follows it.
class RunPagesTest : public QObject {
    Q_OBJECT
private slots:
    void completeRunShowsItsRowsAndNothingNewFails();
    void unclosedReceiptsAskForTheLastClosure();
    void keepingAnExistingArchive();
    void abortDuringARunLeavesNothingHalfWritten();
    void cardPulledOutDuringARunFailsCleanly();
    void anotherOperationStartsOverOrEndsTheProgram();
    void statusLineDuringAndAfterTheRun();
    void progressTextReadsOnTheFilledPart();
    void dateRunAndDatesThatCouldNotBePrepared();
    void failedRunsWithoutRowsShowTheirReason();
};

}  // namespace tv::test
