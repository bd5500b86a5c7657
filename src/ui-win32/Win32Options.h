// The command line of tallyvault.exe.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tv {

struct Win32Options {
    bool help = false;
    std::string dataDir;                                   // narrow path of the platform
    std::vector<std::pair<char, std::string>> cardImages;  // drive letter, image folder
};

extern const char kWin32Usage[];

// "--help", "--data-dir DIR" and any number of "--card-image L=DIR" (the program
// name not included); false with the reason.
bool ParseWin32Options(const std::vector<std::u16string>& args, Win32Options& options, std::string& error);

}  // namespace tv
