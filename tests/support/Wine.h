// Whether the tests run under wine rather than Windows: wine's INI functions
// are known to differ from Windows' in a few places, which the tests name.
#pragma once

#include <string>

#ifdef _WIN32
#include "platform/win32/Win32Api.h"
#endif

namespace tv::test {

inline bool RunningUnderWine() {
#ifdef _WIN32
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

// Wine writes an INI file anew from what it parsed: without blank lines, and
// without the blanks at the end of lines it did not change; Windows changes
// only the lines concerned. Files compared with wine's are compared as wine
// would write them.
inline std::string AsWineRewritesIt(std::string text, const std::string& lineEnd = "\r\n") {
    const std::string doubled = lineEnd + lineEnd;
    for (size_t at = text.find(doubled); at != std::string::npos; at = text.find(doubled, at)) {
        text.erase(at, lineEnd.size());
    }
    for (size_t at = text.find(" " + lineEnd); at != std::string::npos; at = text.find(" " + lineEnd)) {
        text.erase(at, 1);
    }
    return text;
}

}  // namespace tv::test
