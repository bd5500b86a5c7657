// A core page that keeps what the face told it, on the template of a page ID,
// and the Win32 window around a wizard of such pages.
#pragma once

#include <memory>
#include <vector>

#include "support/TestEnvironment.h"
#include "ui-win32/Win32WizardWindow.h"
#include "wizard/MasterDlg.h"
#include "wizard/WizardPage.h"

namespace tv::test {

class StubPage : public CWizardPage {
public:
    explicit StubPage(int pageId) : CWizardPage(pageId) {}

    int UpdateHeader() override {
        ShowHeader();
        return 0;
    }
    bool OnQueryCancel() override { return agreeToCancel; }
    int OnDeviceChange() override {
        ++deviceChanges;
        return 0;
    }
    void OnCommand(int control) override { commands.push_back(control); }
    void OnSelectionChange(int control) override { selections.push_back(control); }
    void OnEditChange(int control) override { edits.push_back(control); }
    void OnTimer(int id) override { timers.push_back(id); }
    void OnPaint() override { ++paints; }
    void OnBrowse() override { ++browses; }
    void OnPageButton() override { ++pageButtons; }

    bool agreeToCancel = true;
    int deviceChanges = 0;
    int paints = 0;
    int browses = 0;
    int pageButtons = 0;
    std::vector<int> commands;
    std::vector<int> selections;
    std::vector<int> edits;
    std::vector<int> timers;
};

class Win32FaceTest : public TestEnvironment {
protected:
    void SetUp() override;
    void TearDown() override;

    // The wizard on stub pages of these IDs, its window shown on the first.
    void Open(const std::vector<int>& pageIds, const std::string& scaleType = "dX",
              const std::vector<std::string>& settings = {});
    StubPage& Page(int pageId) { return *static_cast<StubPage*>(wizard_->FindPage(pageId)); }
    HWND Window() const { return window_->Handle(); }
    HWND Control(int id) const { return GetDlgItem(Window(), id); }
    HWND PageControl(int pageId, int id) { return GetDlgItem(window_->PageWindow(Page(pageId)), id); }
    // A click on a control of the window, as the mouse gives it.
    void ClickControl(HWND control);
    // Handles what is pending.
    void Pump() { window_->PumpPending(); }
    int ActiveId() const;
    bool Visible(HWND window) const { return (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

    std::unique_ptr<Win32WizardWindow> window_;
    std::unique_ptr<CMasterDlg> wizard_;
    std::vector<std::unique_ptr<StubPage>> pages_;
};

}  // namespace tv::test
