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
    CliRun Cli(const std::string& args) {
        const std::string errFile = TempPath("stderr");
        const std::string command = std::string(TV_CLI_PATH) + " " + args + " 2>" + errFile + " </dev/null";
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
