#include "ui-win32/Win32SettingsDialog.h"

#include <commctrl.h>

#include "messages/Messages.h"
#include "ui-win32/Resource.h"
#include "ui-win32/Win32Text.h"
#include "wizard/SettingsDlg.h"

namespace tv {

namespace {

constexpr int kCtlSaveAndClose = 1115;
constexpr int kCtlSizeUpDown = 1066;
constexpr int kCtlDayUpDown = 1102;
constexpr COLORREF kSettingsColour = RGB(240, 240, 240);

// The one settings dialog of the thread while it runs.
Win32SettingsDialog* g_running = nullptr;

}  // namespace

HWND Win32SettingsDialog::Current() { return g_running != nullptr ? g_running->window_ : nullptr; }

INT_PTR Win32SettingsDialog::Run(HWND owner) {
    Win32SettingsDialog* outer = g_running;
    g_running = this;
    // F3 reaches the dialog through a filter of the dialog's own loop.
    HHOOK hook = SetWindowsHookExW(WH_MSGFILTER, KeyFilter, nullptr, GetCurrentThreadId());
    const INT_PTR result = DialogBoxParamW(instance_, MAKEINTRESOURCEW(CSettingsDlg::kTemplateId), owner, DialogProc,
                                           reinterpret_cast<LPARAM>(this));
    if (hook != nullptr) UnhookWindowsHookEx(hook);
    g_running = outer;
    view_.reset();
    window_ = nullptr;
    return result;
}

LRESULT CALLBACK Win32SettingsDialog::KeyFilter(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && g_running != nullptr && message->message == WM_KEYDOWN &&
        message->wParam == VK_F3 && (message->hwnd == g_running->window_ || IsChild(g_running->window_, message->hwnd))) {
        g_running->dialog_.OnBrowse();
        return TRUE;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

INT_PTR CALLBACK Win32SettingsDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Win32SettingsDialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->OnInitDialog(window);
        return TRUE;
    }
    auto* self = reinterpret_cast<Win32SettingsDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    return self != nullptr ? self->OnMessage(message, wParam, lParam) : FALSE;
}

void Win32SettingsDialog::OnInitDialog(HWND window) {
    window_ = window;
    view_ = std::make_unique<Win32PageView>(window, *this, kSettingsColour);
    SendDlgItemMessageW(window, kCtlSizeUpDown, UDM_SETRANGE32, 1, 2048);
    SendDlgItemMessageW(window, kCtlDayUpDown, UDM_SETRANGE32, 1, 31);
    view_->SetTitleControl(TV_CTL_SETTINGS_TITLE);
    dialog_.OnInitDialog(*view_);
    SetWindowTextW(window, Wide(GetMessageText(200)));
    dialog_.UpdateTexts();
}

INT_PTR Win32SettingsDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && lParam != 0 && HIWORD(wParam) == BN_CLICKED) {
        const int id = LOWORD(wParam);
        if (id == IDOK || id == kCtlSaveAndClose) {
            if (dialog_.OnOk()) EndDialog(window_, IDOK);
            return TRUE;
        }
        if (id == IDCANCEL) {
            EndDialog(window_, IDCANCEL);
            return TRUE;
        }
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL && lParam == 0) {
        EndDialog(window_, IDCANCEL);  // Escape and the close box
        return TRUE;
    }
    INT_PTR result = FALSE;
    if (view_ && view_->HandleMessage(message, wParam, lParam, result)) return result;
    return FALSE;
}

void Win32SettingsDialog::OnClicked(int control) { dialog_.OnCommand(control); }

void Win32SettingsDialog::OnSelectionChanged(int control) { dialog_.OnSelectionChange(control); }

void Win32SettingsDialog::OnEdited(int control) { dialog_.OnEditChange(control); }

void Win32SettingsDialog::OnPainted() { dialog_.UpdateTexts(); }

}  // namespace tv
