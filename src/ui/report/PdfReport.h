// Prints a report's HTML to a PDF file through Qt's text layout, for the
// wizard and the command line alike. Works with or without a running Qt
// application (the command line has none: one is made for the call, off screen
// when there is no display).
#pragma once

#include <string>

namespace tv {

// Writes the PDF whole or not at all (a temporary name, then a rename); false
// with a user text in error.
bool WritePdfReport(const std::string& html, const std::string& path, std::u16string& error);

}  // namespace tv
