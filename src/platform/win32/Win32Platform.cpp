// System information and process services of the Windows platform.
#include "platform/win32/Win32Platform.h"

#include <shlobj.h>

#include <cstdio>
#include <ctime>

#include "platform/win32/Win32Text.h"

namespace tv {

int SystemErrorFromWin32(DWORD code) {
    switch (code) {
        case ERROR_OUTOFMEMORY: return kErrNotEnoughMemory;
        case ERROR_NEGATIVE_SEEK: return kErrInvalidParameter;
        default: return static_cast<int>(code);
    }
}

bool Win32Platform::Fail(int error) {
    lastError_ = error;
    return false;
}

bool Win32Platform::FailLastError() { return Fail(SystemErrorFromWin32(::GetLastError())); }

std::string Win32Platform::DataFolderRoot() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return CurrentDirectory();
    }
    std::string root = AnsiFromWide(path);
    while (root.size() > 3 && EndsWithSeparator(root)) root.pop_back();
    return root;
}

std::string Win32Platform::CurrentDirectory() {
    const DWORD n = ::GetCurrentDirectoryW(0, nullptr);
    if (n == 0) return {};
    std::wstring path(n, L'\0');
    const DWORD written = ::GetCurrentDirectoryW(n, path.data());
    if (written == 0 || written >= n) return {};
    path.resize(written);
    return AnsiFromWide(path);
}

std::string Win32Platform::UserLocaleName() {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    const int n = ::GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
    if (n <= 1) return "en-US";
    return AnsiFromWide(std::wstring_view(name, static_cast<size_t>(n - 1)));
}

int64_t Win32Platform::Now() { return static_cast<int64_t>(::_time64(nullptr)); }

bool Win32Platform::ToLocalTime(int64_t t, std::tm& out) {
    // The C runtime's zone, read again each time so that a changed TZ counts.
    ::_tzset();
    const __time64_t value = t;
    return ::_localtime64_s(&out, &value) == 0;
}

void Win32Platform::Exit(int code) {
    std::fflush(nullptr);
    ::ExitProcess(static_cast<UINT>(code));
}

std::unique_ptr<Platform> CreateSystemPlatform() { return std::make_unique<Win32Platform>(); }

}  // namespace tv
