// The archiving choice pages of the core on the fake face, among stand-ins for
// the pages around them: the welcome and card pages (the card page's stand-in
// identifies the mounted card as the real one does) and the run pages (which
// only count how they were reached). The user interface hands the active
// page its due timers whenever the engine pumps, as a face's event loop does.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "wizard/CoreWizardTest.h"

namespace tv::test {

class ArchivingChoiceFixture : public CoreWizardTest {
protected:
    class StandInPage : public CWizardPage {
    public:
        StandInPage(int pageId, std::function<int()> next) : CWizardPage(pageId), next_(std::move(next)) {}
        void OnEnterForward() override { ++entered; }
        int OnWizardNext() override { return next_ ? next_() : -1; }
        int OnWizardBack() override { return -1; }
        int entered = 0;

    private:
        std::function<int()> next_;
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
