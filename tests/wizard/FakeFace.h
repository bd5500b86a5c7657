// A face for the wizard core's tests: a window and page panels that keep every
// state the core gives them, answer pickers from a script and let a test click.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <utility>
#include <memory>
#include <string>
#include <vector>

#include "messages/MemoryResultList.h"
#include "support/RecordingUi.h"
#include "wizard/PageView.h"
#include "wizard/SettingsDlg.h"
#include "wizard/WizardDialog.h"
#include "wizard/WizardPage.h"

namespace tv::test {

struct FakeControl {
    std::u16string text;
    std::u16string tip;
    bool visible = true;
    bool enabled = true;
    bool checked = false;
    bool focused = false;
    std::vector<std::u16string> items;
    int selection = -1;
    DayDate date;
    DayDate first;
    DayDate last;
    std::vector<std::u16string> headers;
    std::map<std::pair<int, int>, bool> failedCells;  // (row, column) marked failed
    int image = 0;
};

class FakePageView : public PageView {
public:
    // Every control the page touches comes to be; `Has` tells whether it was.
    FakeControl& At(int control) { return controls_[control]; }
    const FakeControl& At(int control) const { return controls_[control]; }
    bool Has(int control) const { return controls_.count(control) != 0; }
    int Focused() const;

    void SetText(int control, const std::u16string& text) override { At(control).text = text; }
    std::u16string GetText(int control) const override { return At(control).text; }
    void Show(int control, bool show) override { At(control).visible = show; }
    bool IsVisible(int control) const override { return At(control).visible; }
    void Enable(int control, bool enable) override { At(control).enabled = enable; }
    bool IsEnabled(int control) const override { return At(control).enabled; }
    void Focus(int control) override;
    void SetTip(int control, const std::u16string& tip) override { At(control).tip = tip; }
    void SetChecked(int control, bool checked) override { At(control).checked = checked; }
    bool IsChecked(int control) const override { return At(control).checked; }
    void ClearItems(int control) override;
    void AddItem(int control, const std::u16string& text) override { At(control).items.push_back(text); }
    int ItemCount(int control) const override { return static_cast<int>(At(control).items.size()); }
    std::u16string ItemText(int control, int index) const override;
    int Selection(int control) const override { return At(control).selection; }
    void Select(int control, int index) override { At(control).selection = index; }
    ProgressView* Progress(int control) override { return &progress_[control]; }
    StatusView* Status(int control) override { return &status_[control]; }
    ResultList* Results(int control) override { return &results_[control]; }
    void SetBarState(int control, BarState state) override { barStates[control] = state; }
    void SetColumns(int control, const std::vector<std::u16string>& headers, const std::vector<int>&) override {
        At(control).headers = headers;
    }
    void MarkCell(int control, int row, int column, bool failed) override {
        At(control).failedCells[{row, column}] = failed;
    }
    void SetImage(int control, int bitmap) override { At(control).image = bitmap; }
    DayDate GetDate(int control) const override { return At(control).date; }
    void SetDate(int control, const DayDate& date) override { At(control).date = date; }
    void SetDateRange(int control, const DayDate& first, const DayDate& last) override;
    void SetTimer(int id, int milliseconds) override { timers[id] = milliseconds; }
    void KillTimer(int id) override { timers.erase(id); }
    std::u16string ChooseFile(const std::u16string& title, const std::u16string& initial,
                              const std::vector<FileFilter>& filters) override;
    std::u16string ChooseFolder(const std::u16string& title, const std::u16string& initial) override;
    std::u16string ChooseSaveFile(const std::u16string& title, const std::u16string& initial,
                                  const std::vector<FileFilter>& filters) override;

    RecordingProgress& ProgressOf(int control) { return progress_[control]; }
    RecordingStatus& StatusOf(int control) { return status_[control]; }
    MemoryResultList& ResultsOf(int control) { return results_[control]; }

    std::map<int, int> timers;         // running timers: id → period
    std::map<int, BarState> barStates;  // the last colour of each progress bar
    std::deque<std::u16string> picks;  // the pickers' answers; empty: cancelled
    struct PickerCall {
        std::u16string kind;  // u"file", u"folder", u"save"
        std::u16string title;
        std::u16string initial;
        std::vector<FileFilter> filters;
    };
    std::vector<PickerCall> pickerCalls;

private:
    std::u16string Pick(PickerCall call);
    mutable std::map<int, FakeControl> controls_;
    std::map<int, RecordingProgress> progress_;
    std::map<int, RecordingStatus> status_;
    std::map<int, MemoryResultList> results_;
};

struct FakeButton {
    bool visible = true;
    bool enabled = true;
    std::u16string text;
};

class FakeWizardWindow : public WizardWindow {
public:
    FakeWizardWindow();

    void ShowButton(WizardButton b, bool show) override { Button(b).visible = show; }
    bool IsButtonVisible(WizardButton b) const override { return Button(b).visible; }
    void EnableButton(WizardButton b, bool enable) override { Button(b).enabled = enable; }
    bool IsButtonEnabled(WizardButton b) const override { return Button(b).enabled; }
    void SetButtonText(WizardButton b, const std::u16string& text) override { Button(b).text = text; }
    void SetDefaultButton(WizardButton b) override { defaultButton = b; }
    void FocusButton(WizardButton b) override { focusedButton = b; }
    PageView* CreatePageView(CWizardPage& page) override;
    void ShowPageView(CWizardPage& page, bool show) override;
    void EndDialog(int code) override { endCode = code; }
    void SetTitle(const std::u16string& t) override { title = t; }
    void ShowBreadcrumb(const BreadcrumbPlan& plan) override;
    void EnableSettings(bool enable) override { settingsEnabled = enable; }
    bool IsSettingsEnabled() const override { return settingsEnabled; }
    void FocusSettings() override { settingsFocused = true; }
    bool OpenDocument(const std::string& path) override;
    void RunSettings(CSettingsDlg& dialog) override;
    void Redraw() override { ++redraws; }

    FakeButton& Button(WizardButton b) { return buttons_[static_cast<int>(b)]; }
    const FakeButton& Button(WizardButton b) const { return buttons_[static_cast<int>(b)]; }
    FakePageView& View(int pageId) { return *views_.at(pageId); }
    bool HasView(int pageId) const { return views_.count(pageId) != 0; }
    // The page shown in the page area (0: none).
    int shownPage = 0;
    // A page whose panel cannot be made.
    int failingPage = 0;
    WizardButton defaultButton = WizardButton::kNext;
    WizardButton focusedButton = WizardButton::kNext;
    int endCode = 0;
    std::u16string title;
    std::vector<MessageId> breadcrumb;
    int highlight = -1;
    bool settingsEnabled = true;
    bool settingsFocused = false;
    int settingsRuns = 0;
    // Stands in for the user in the settings dialog (the dialog is not shown).
    std::function<void(CSettingsDlg&)> duringSettings;
    std::vector<std::string> opened;  // documents asked to open
    bool openSucceeds = true;
    int redraws = 0;

private:
    FakeButton buttons_[5];
    std::map<int, std::unique_ptr<FakePageView>> views_;
};

}  // namespace tv::test
