// The wizard's window on Windows: the dialog of template 129 with its buttons,
// the breadcrumb in the blue band, the logo, help and settings, and a child
// dialog per page placed at the page area. It runs its own message loop so that
// the keys of table 179 and the dialog keys work in every page.
#pragma once

#include "ui-win32/Win32Windows.h"

#include <map>
#include <memory>

#include "ui-win32/Win32Handles.h"
#include "wizard/WizardWindow.h"

namespace tv {

class CMasterDlg;
class Win32PageView;

class Win32WizardWindow : public WizardWindow {
public:
    explicit Win32WizardWindow(HINSTANCE instance);
    ~Win32WizardWindow() override;
    Win32WizardWindow(const Win32WizardWindow&) = delete;
    Win32WizardWindow& operator=(const Win32WizardWindow&) = delete;

    // Makes the (hidden) window for the wizard; false when it cannot be made.
    bool Create(CMasterDlg& wizard);
    HWND Handle() const { return window_.Get(); }
    // Opens the wizard's first page, shows the window and runs until the wizard
    // ends; returns its end code. The pages are told the window is going away.
    int Run();
    // Handles what is pending without waiting (the engine's pump during a run).
    void PumpPending();
    bool Ended() const { return ended_; }
    int EndCode() const { return endCode_; }
    // What the loop does with a message before it is dispatched: the keys of
    // table 179, then the dialog keys; true when it was used up.
    bool PreTranslate(MSG& message);
    // The window of a page's panel (null before its first activation).
    HWND PageWindow(const CWizardPage& page) const;
    // The control ID of the highlighted breadcrumb caption (0: none).
    int HighlightedCaption() const;
    // The tooltips of the help and settings buttons and of shortened captions.
    HWND Tooltips() const { return tooltip_.Get(); }

    // WizardWindow
    void ShowButton(WizardButton button, bool show) override;
    bool IsButtonVisible(WizardButton button) const override;
    void EnableButton(WizardButton button, bool enable) override;
    bool IsButtonEnabled(WizardButton button) const override;
    void SetButtonText(WizardButton button, const std::u16string& text) override;
    void SetDefaultButton(WizardButton button) override;
    void FocusButton(WizardButton button) override;
    PageView* CreatePageView(CWizardPage& page) override;
    void ShowPageView(CWizardPage& page, bool show) override;
    void EndDialog(int code) override;
    void SetTitle(const std::u16string& title) override;
    void ShowBreadcrumb(const BreadcrumbPlan& plan) override;
    void EnableSettings(bool enable) override;
    bool IsSettingsEnabled() const override;
    void FocusSettings() override;
    bool OpenDocument(const std::string& path) override;
    void RunSettings(CSettingsDlg& dialog) override;
    void Redraw() override;

private:
    struct PageHost;
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    bool OnCommand(int id);
    INT_PTR OnColour(HDC dc, HWND control);
    void MakeFonts();
    void MakeImages();
    void RefreshOwnTips();
    void AddTip(HWND control, const std::u16string& text);
    void LayOutBreadcrumb();
    void LayOutButtons();
    HWND Button(WizardButton button) const;
    void FinishLoop();

    HINSTANCE instance_;
    CMasterDlg* wizard_ = nullptr;
    OwnedWindow window_;
    OwnedWindow tooltip_;
    HACCEL keys_ = nullptr;
    GdiObject<HBRUSH> windowBrush_;
    GdiObject<HBRUSH> buttonBrush_;
    GdiObject<HBRUSH> bandBrush_;
    GdiObject<HFONT> captionFont_;
    GdiObject<HFONT> highlightFont_;
    IconHandle helpIcon_;
    IconHandle settingsIcon_;
    IconHandle bigIcon_;
    IconHandle smallIcon_;
    GdiObject<HBITMAP> logo_;
    std::map<const CWizardPage*, std::unique_ptr<PageHost>> pages_;
    BreadcrumbPlan plan_;
    int highlight_ = -1;
    bool ended_ = false;
    int endCode_ = 0;
};

}  // namespace tv
