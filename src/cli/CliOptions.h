// The command line of tallyvault-cli: global options, then a command and its
// arguments.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tv {

constexpr int kExitNotChecked = 2;  // a file (or the card) could not be checked
constexpr int kExitUsage = 64;

struct CliOptions {
    std::string dataDir;
    std::vector<std::pair<char, std::string>> cardImages;  // drive letter, image folder
    std::optional<bool> answer;                            // --yes / --no
    bool help = false;
    bool version = false;
    bool json = false;  // --json after a command that prints one JSON document instead of its rows
    std::string command;
    std::vector<std::string> args;
};

// Parses argv; on a usage error returns false with the reason.
bool ParseCliOptions(int argc, const char* const* argv, CliOptions& options, std::string& error);

extern const char* const kCliUsage;

class Platform;
// Makes --data-dir absolute (from the current folder) and creates it with every
// missing parent; false with the reason when it cannot be a data folder.
bool ResolveDataDir(Platform& platform, std::string& dir, std::string& error);

}  // namespace tv
