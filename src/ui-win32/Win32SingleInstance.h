// One wizard per user: a named mutex of the session, and the window of the
// first program found by its mark and asked to come to the front.
#pragma once

#include "ui-win32/Win32Windows.h"

#include <string>

#include "ui-win32/Win32Handles.h"

namespace tv {

// "Local\Tallyvault-2.0.0-<user>": the session's name of the user's instance.
std::u16string InstanceMutexName(const std::u16string& title, const std::u16string& user);

class Win32SingleInstance {
public:
    explicit Win32SingleInstance(const std::u16string& mutexName);
    // True when another program of this user holds the name.
    bool AlreadyRunning() const { return alreadyRunning_; }
    // Asks the first program's window to come to the front (false: none found).
    static bool RaiseFirst();

private:
    KernelHandle mutex_;
    bool alreadyRunning_ = false;
};

// The window's mark, and the message that asks it to come to the front.
void MarkWizardWindow(HWND window);
void UnmarkWizardWindow(HWND window);
UINT RaiseRequestMessage();
void BringToFront(HWND window);

}  // namespace tv
