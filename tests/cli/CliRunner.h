// Runs tallyvault-cli as a user would, with its output and exit status.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "support/TestEnvironment.h"

namespace tv::test {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

class CliTest : public TestEnvironment {
protected:
    // With a time limit, a run that outlives it is killed (status 137).
    CliRun Cli(const std::string& args, int timeLimitSeconds = 0) {
        const std::string errFile = TempPath("stderr");
        const std::string limit =
            timeLimitSeconds > 0 ? "timeout -s KILL " + std::to_string(timeLimitSeconds) + " " : std::string();
        const std::string command = limit + TV_CLI_PATH + " " + args + " 2>" + errFile + " </dev/null";
        CliRun r;
        FILE* pipe = ::popen(command.c_str(), "r");
        char buffer[4096];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
        const int status = ::pclose(pipe);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.err = ReadFile(errFile);
        return r;
    }
};

}  // namespace tv::test
