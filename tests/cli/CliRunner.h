// Runs tallyvault-cli as a user would, with its output and exit status.
#pragma once

#include <string>
#include <vector>

#include "support/Process.h"
#include "support/TestEnvironment.h"

namespace tv::test {

using CliRun = ChildResult;

class CliTest : public TestEnvironment {
protected:
    // The arguments as a command line: split at blanks, quotes keep an argument
    // whole. With a time limit, a run that outlives it is killed (status 137).
    CliRun Cli(const std::string& args, int timeLimitSeconds = 0) {
        return Cli(SplitArguments(args), timeLimitSeconds);
    }
    CliRun Cli(const std::vector<std::string>& args, int timeLimitSeconds = 0) {
        ChildOptions options;
        options.timeLimitSeconds = timeLimitSeconds;
        return RunChild(TV_CLI_PATH, args, options);
    }
};

}  // namespace tv::test
