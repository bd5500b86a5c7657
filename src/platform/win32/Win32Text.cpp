#include "platform/win32/Win32Text.h"

#include <climits>

#include "platform/Text.h"
#include "platform/win32/Win32Api.h"

namespace tv {

std::wstring WideFromAnsi(std::string_view ansi) {
    if (ansi.empty() || ansi.size() > INT_MAX) return {};
    const int length = static_cast<int>(ansi.size());
    const int n = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), n);
    return wide;
}

bool AnsiFromWide(std::wstring_view wide, std::string& ansi) {
    ansi.clear();
    if (wide.empty() || wide.size() > INT_MAX) return true;
    const int length = static_cast<int>(wide.size());
    // UTF-8 as the ANSI code page has a form for everything and refuses the question.
    BOOL lossy = FALSE;
    BOOL* const askLossy = ::GetACP() == CP_UTF8 ? nullptr : &lossy;
    const int n = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, askLossy);
    if (n <= 0) return false;
    ansi.assign(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, ansi.data(), n, nullptr, askLossy);
    return !lossy;
}

std::string AnsiFromWide(std::wstring_view wide) {
    std::string ansi;
    AnsiFromWide(wide, ansi);
    return ansi;
}

std::u16string ToUtf16(std::string_view narrow) {
    const std::wstring wide = WideFromAnsi(narrow);
    return std::u16string(wide.begin(), wide.end());
}

std::string ToNarrow(std::u16string_view wide) {
    return AnsiFromWide(std::wstring_view(reinterpret_cast<const wchar_t*>(wide.data()), wide.size()));
}

}  // namespace tv
