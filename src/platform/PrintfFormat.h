// Marks a function taking a printf format so that the compiler checks its
// callers. mingw's C99 printf family (the one this project builds with) is
// the GNU dialect, which gcc calls gnu_printf there.
#pragma once

#if defined(__MINGW32__) && !defined(__clang__)
#define TV_PRINTF_LIKE(formatIndex, firstArg) [[gnu::format(gnu_printf, formatIndex, firstArg)]]
#else
#define TV_PRINTF_LIKE(formatIndex, firstArg) [[gnu::format(printf, formatIndex, firstArg)]]
#endif
