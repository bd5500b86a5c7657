// What the engine asks of the user interface, on Windows: message boxes owned by
// the wizard's window, the message pump of a run, and repainting.
#pragma once

#include "ui-win32/Win32Windows.h"

#include "messages/UiHost.h"

namespace tv {

class Win32WizardWindow;

class Win32UiHost : public UiHost {
public:
    void SetOwner(Win32WizardWindow* window) { owner_ = window; }

    int MessageBox(const std::u16string& text, const std::u16string& caption, unsigned style) override;
    void Pump() override;
    void Repaint() override;

private:
    HWND OwnerWindow() const;
    Win32WizardWindow* owner_ = nullptr;
};

}  // namespace tv
