#pragma once

#include <QObject>

namespace tv::test {

// Verification of dX archives and validation of ZT4 archives and logs through
// the pages: the path checks, the run, the result list and the end of the run.
class VerificationPagesTest : public QObject {
    Q_OBJECT
private slots:
    void pathChecksRefuseWithTheirMessage();
    void dxArchivesVerifyStandaloneAndAgainstTheCard();
    void dxFolderWithATamperedArchiveFails();
    void dxFolderRowsComeInNameOrder();
    void zt4ArchivesAndLogsValidate();
    void anotherOperationYesStartsOverAndNoEndsTheWizard();
    void closingAfterTheRunAborts();
    void abortDuringARunEndsTheProgram();
    void reportButtonSavesHtmlAndPdf();
    void reportOfAValidationAndAFailedSave();
    void allFindingsBoxReachesTheRunOptions();
    void continuityTableShowsForAFolderOnly();
    void zt4FolderIsComparedWithTheCardsLog();
};

}  // namespace tv::test
