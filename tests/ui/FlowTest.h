#pragma once

#include <QObject>

namespace tv::test {

// The page flow with the three configured scale types, the closing questions,
// the language switch, help and the window's keys.
class FlowTest : public QObject {
    Q_OBJECT
private slots:
    void firstPageFollowsTheConfiguredScaleType();
    void dxVerificationWithAndWithoutTheCard();
    void zt4VerificationSkipsTheCardPage();
    void autoDetectStartsOnTheCardPageAndLeadsToWelcome();
    void archivingGoesOnToTheArchiveChoice();
    void cancelAsksOnceAndNoKeepsThePage();
    void yesToCloseEndsTheProgram();
    void languageSwitchRedrawsEveryText();
    void frenchDateRunShortensTheBreadcrumb();
    void helpOpensThePageOfTheLanguage();
    void helpWithoutAViewerIsShownInTheProgram();
    void qtDialogsSpeakTheChosenLanguage();
    void oneFontForPagesAndWindowsOfTheirOwn();
    void backspaceOnTheCardPageDoesNotGoBack();
};

}  // namespace tv::test
