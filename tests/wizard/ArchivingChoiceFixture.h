// The archiving choice pages of the core on the fake face, reached through the
// real welcome and card pages, with stand-ins for the run pages: a stand-in
// only counts how it was reached, so the choice pages' tests end where the run
// would start (the runs themselves have their own tests and the flow's). The
// user interface hands the active page its due timers whenever the engine
// pumps, as a face's event loop does.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "wizard/CoreWizardTest.h"

namespace tv::test {

class ArchivingChoiceFixture : public CoreWizardTest {
protected:
    // A run page: it stays where it was reached.
    class StandInPage : public CWizardPage {
    public:
        explicit StandInPage(int pageId) : CWizardPage(pageId) {}
        void OnEnterForward() override { ++entered; }
        int OnWizardNext() override { return -1; }
        int OnWizardBack() override { return -1; }
        int entered = 0;
    };

    class TickingUi : public RecordingUi {
    public:
        void Pump() override {
            RecordingUi::Pump();
            if (onPump) onPump();
        }
        std::function<void()> onPump;
    };

    void SetUp() override;

    // The configuration of the scale type with the overrides; the wizard opens
    // on its first page.
    void Open(const std::string& scaleType, const std::vector<std::string>& overrides = {});
    // From the first page through the card page to the archive choice.
    void ToChoice();
    // The archive choice, a radio button chosen, and Next.
    void ChooseAndNext(int button);
    // The texts of the message boxes shown since the last look.
    std::vector<std::string> Shown();
    // The style of the only box shown since the last look.
    unsigned OnlyStyle();

    // Writes the card's section of the profile with the scale serial number.
    void WriteProfile(const CardSummary& card, const std::string& scaleSn);
    // A new folder whose path is exactly `length` characters long.
    std::string FolderOfLength(size_t length);

    TickingUi ui;
};

}  // namespace tv::test
