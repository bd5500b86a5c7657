#include "ui-win32/Win32SingleInstance.h"

#include "ui-win32/Win32Text.h"

namespace tv {

namespace {

constexpr wchar_t kWindowMark[] = L"Tallyvault.Wizard";

BOOL CALLBACK FindMarked(HWND window, LPARAM found) {
    if (GetPropW(window, kWindowMark) == nullptr) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace

std::u16string InstanceMutexName(const std::u16string& title, const std::u16string& user) {
    std::u16string name = u"Local\\" + title + u"-" + user;
    // Backslashes separate the namespace from the name: none may follow.
    for (size_t i = 7; i < name.size(); ++i) {
        if (name[i] == u'\\' || name[i] == u' ') name[i] = u'-';
    }
    return name;
}

Win32SingleInstance::Win32SingleInstance(const std::u16string& mutexName)
    : mutex_(CreateMutexW(nullptr, FALSE, Wide(mutexName))) {
    alreadyRunning_ = mutex_.Get() != nullptr ? GetLastError() == ERROR_ALREADY_EXISTS
                                              : GetLastError() == ERROR_ACCESS_DENIED;
}

bool Win32SingleInstance::RaiseFirst() {
    HWND first = nullptr;
    EnumWindows(FindMarked, reinterpret_cast<LPARAM>(&first));
    if (first == nullptr) return false;
    DWORD process = 0;
    GetWindowThreadProcessId(first, &process);
    AllowSetForegroundWindow(process);
    PostMessageW(first, RaiseRequestMessage(), 0, 0);
    return true;
}

void MarkWizardWindow(HWND window) { SetPropW(window, kWindowMark, reinterpret_cast<HANDLE>(1)); }

void UnmarkWizardWindow(HWND window) { RemovePropW(window, kWindowMark); }

UINT RaiseRequestMessage() {
    static const UINT message = RegisterWindowMessageW(L"Tallyvault.Wizard.Raise");
    return message;
}

void BringToFront(HWND window) {
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(GetLastActivePopup(window));
}

}  // namespace tv
