#pragma once

#include <QObject>

namespace tv::test {

// Archiving from the first page to the question that ends the run, as a user
// does it: welcome, card, archive choice, folder, dates, run. Every file
// written is checked by the verifiers.
class WholeFlowTest : public QObject {
    Q_OBJECT
private slots:
    void dxCompleteContinueAndDateRuns();
    void zt4CompleteContinueAndDateRuns();
    void autoDetectStartsAgainOnTheCardPage();
    void endDateWithoutClosureAsksWhetherToStopEarlier();
    void enterInAPathFieldIsOneNext();
};

}  // namespace tv::test
