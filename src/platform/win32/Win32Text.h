// Narrow text of the Windows platform (the ANSI code page) to and from the
// UTF-16 of the system calls.
#pragma once

#include <string>
#include <string_view>

namespace tv {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows keeps UTF-16 in wchar_t");

std::wstring WideFromAnsi(std::string_view ansi);
std::string AnsiFromWide(std::wstring_view wide);
// The same; false when some character has no form in the ANSI code page (the
// text then holds the code page's stand-in for it).
bool AnsiFromWide(std::wstring_view wide, std::string& ansi);

inline const wchar_t* AsWide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
inline wchar_t* AsWide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }

}  // namespace tv
