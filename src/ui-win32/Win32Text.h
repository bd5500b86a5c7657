// UTF-16 texts between the core (std::u16string) and the Windows API (wchar_t,
// also 16 bits with mingw-w64).
#pragma once

#include "ui-win32/Win32Windows.h"

#include <string>

namespace tv {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the Windows API takes UTF-16");

inline const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline std::u16string FromWide(const wchar_t* text) {
    return text == nullptr ? std::u16string() : std::u16string(reinterpret_cast<const char16_t*>(text));
}
inline std::wstring ToWide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// The text of a window or control.
std::u16string WindowText(HWND window);

}  // namespace tv
