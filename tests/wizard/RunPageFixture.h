// The run pages on the core wizard: the start-up page list, a card identified
// and an operation prepared as the choice pages leave them, a launcher page
// that hands over to a run page, and a user interface that acts while the
// engine pumps events.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "wizard/ArchiverRunPage.h"
#include "wizard/CoreWizardTest.h"

namespace tv::test {

// A user interface whose pumps can act as the user would while a run goes on.
class PumpingUi : public RecordingUi {
public:
    void Pump() override {
        RecordingUi::Pump();
        if (!duringPump) return;
        std::function<void()> action = std::move(duringPump);
        duringPump = nullptr;
        action();
    }
    // Called at the next pump; it may set itself again.
    std::function<void()> duringPump;
};

// The launcher: it moves to a run page as the path and date pages do once
// their checks passed, so that a run can start from states those pages would
// refuse (a folder gone after its check, dates the card could not give). The
// way through the real pages is the flow's test.
class StandInPage : public CWizardPage {
public:
    explicit StandInPage(int id) : CWizardPage(id) {}
    int OnWizardNext() override { return next; }
    int next = 0;
};

class RunPageFixture : public CoreWizardTest {
protected:
    // The page that hands over to the run pages here, in place of the path and date pages.
    static constexpr int kLauncher = 9000;

    void SetUp() override;
    // The configuration of the scale type, the start-up steps, the pages of the
    // list order and the launcher, and the wizard on its first page.
    void Open(const std::string& scaleType, const std::vector<std::string>& overrides = {});
    // The mounted card at E: identified for archiving, the kind of run chosen
    // (1 complete, 2 continue, 3 dates), archives going to the folder.
    void PrepareRun(int archiveType, const std::string& folder);
    // Next from the page before the run, as the user moves there.
    CArchiverRunPage& EnterRun(int pageId);
    // Each of the above, with the program's end caught: its exit code, -1 when
    // it did not end.
    int EnterRunExpectingExit(int pageId);

    CArchiverRunPage& Run(int pageId) { return Page<CArchiverRunPage>(pageId); }
    std::u16string Status(int pageId) { return View(pageId).StatusOf(kCtlRunStatus).text; }
    std::u16string Message(int pageId) { return View(pageId).At(kCtlRunMessage).text; }
    // The texts of the messages shown since the last look.
    std::vector<std::string> TakeShown();
    // The wizard as a finished run leaves it.
    void ExpectFinished(int pageId, bool success);
    // The regular files under a folder whose names end so, sorted.
    static std::vector<std::string> FilesUnder(const std::string& folder, const std::string& ending);

    PumpingUi ui;
};

}  // namespace tv::test
