#include "ui-win32/Win32UiHost.h"

#include "ui-win32/Win32Text.h"
#include "ui-win32/Win32WizardWindow.h"

namespace tv {

HWND Win32UiHost::OwnerWindow() const {
    HWND window = owner_ != nullptr ? owner_->Handle() : nullptr;
    if (window == nullptr || !IsWindowVisible(window)) return GetActiveWindow();
    // A dialog open above the window (the settings) owns the box, so that it waits too.
    return GetLastActivePopup(window);
}

int Win32UiHost::MessageBox(const std::u16string& text, const std::u16string& caption, unsigned style) {
    const int answer = ::MessageBoxW(OwnerWindow(), Wide(text), Wide(caption), style);
    return answer == 0 ? kIdCancel : answer;
}

void Win32UiHost::Pump() {
    if (owner_ != nullptr) {
        owner_->PumpPending();
        return;
    }
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Win32UiHost::Repaint() {
    if (HWND window = OwnerWindow()) RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace tv
