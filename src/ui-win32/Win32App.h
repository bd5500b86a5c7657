// The wizard program on Windows: its command line, one instance per user, the
// engine's environment, and the window with its pages in start-up order.
#pragma once

#include "ui-win32/Win32Windows.h"

#include <string>
#include <vector>

namespace tv {

// The program; returns the process exit status.
int RunTallyvaultWin32(HINSTANCE instance, const std::vector<std::u16string>& args);

// The folder of the running program file (narrow path of the platform).
std::string ProgramFolder();

}  // namespace tv
