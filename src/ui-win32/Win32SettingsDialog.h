// The settings dialog on Windows: template 157 run modally, its controls handed
// to the core's CSettingsDlg, which decides what they show and what is saved.
#pragma once

#include "ui-win32/Win32Windows.h"

#include <memory>

#include "ui-win32/Win32PageView.h"

namespace tv {

class CSettingsDlg;

class Win32SettingsDialog : public Win32PageEvents {
public:
    Win32SettingsDialog(HINSTANCE instance, CSettingsDlg& dialog) : instance_(instance), dialog_(dialog) {}
    // Until OnOk agrees or the user cancels; IDOK or IDCANCEL.
    INT_PTR Run(HWND owner);
    // The dialog while it runs (for F3 and the tests), else null.
    static HWND Current();

    void OnClicked(int control) override;
    void OnSelectionChanged(int control) override;
    void OnEdited(int control) override;
    void OnPainted() override;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK KeyFilter(int code, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND window);

    HINSTANCE instance_;
    CSettingsDlg& dialog_;
    HWND window_ = nullptr;
    std::unique_ptr<Win32PageView> view_;
};

}  // namespace tv
