// Conversions between the narrow text of the platform and UTF-16, and small
// text helpers shared by the layers above.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tv {

// UTF-8 and UTF-16. Invalid input never fails and is never lost: each byte of
// a broken sequence becomes the lone surrogate U+DC80..U+DCFF, which
// Utf16ToUtf8 turns back into that byte; other lone surrogates become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view wide);

// The narrow text of the platform (paths, the log, INI files): UTF-8 on Linux,
// as above; the ANSI code page on Windows, where a character the code page has
// no form for becomes the code page's stand-in.
std::u16string ToUtf16(std::string_view narrow);
std::string ToNarrow(std::u16string_view wide);

// Comparison without regard to case (ASCII letters and the Latin-1 letters).
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);
char16_t FoldCase(char16_t c);

// Value of the leading decimal digits after optional blanks and one sign, as
// strtol/_wtoi read them; no digits give 0. Saturates instead of overflowing.
int64_t LeadingDecimal(std::u16string_view text);
int64_t LeadingDecimal(std::string_view text);

// Whether a file name matches a pattern of "*" (any run of characters) and "?"
// (any one character), without regard to case; every other character stands
// for itself.
bool MatchesNamePattern(std::u16string_view name, std::u16string_view pattern);

}  // namespace tv
