// Processes: another program run as a child process, without a shell (its
// arguments go to it as they are, its standard input is the null device, its
// output and error output are collected, and a run that outlives its time limit
// is killed), and what this process has used so far.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tv::test {

// A child that was killed at its time limit ends with this status (as a shell
// reports a process killed by SIGKILL).
constexpr int kKilledAtTimeLimit = 137;

struct ChildOptions {
    // 0: no limit.
    int timeLimitSeconds = 0;
    // Variables set in the child's environment besides the ones it inherits.
    std::vector<std::pair<std::string, std::string>> environment;
    // The child's current folder; empty: this process's.
    std::string workingFolder;
};

struct ChildResult {
    // The exit status; a child ended by a signal reports 128 + the signal, one
    // that could not be started -1.
    int status = -1;
    // Read as text: on Windows a line break "\r\n" becomes "\n", as in a file
    // opened in text mode.
    std::string out;
    std::string err;
    // Processor time (user + system) the child used.
    double cpuSeconds = 0;
};

ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     const ChildOptions& options = {});

// Splits a command line into arguments at blanks; text between single or double
// quotes stays one argument. Backslashes are ordinary characters (they separate
// folders on Windows).
std::vector<std::string> SplitArguments(const std::string& line);

// The path of the running program, to start it again.
std::string CurrentProgramPath();

// Processor time (user + system) of this process so far, in seconds.
double ProcessCpuSeconds();
// Peak resident memory of this process so far, in bytes.
double ProcessPeakMemoryBytes();

}  // namespace tv::test
