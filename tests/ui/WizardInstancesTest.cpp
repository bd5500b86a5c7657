// The wizard as a process beside others: a second wizard hands over to the
// first, a command-line run on its data folder is refused while it runs.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "support/TestEnvironment.h"

namespace tv::test {
namespace {

class WizardInstancesTest : public TestEnvironment {
protected:
    void TearDown() override {
        if (first_ > 0) {
            ::kill(first_, SIGKILL);
            ::waitpid(first_, nullptr, 0);
        }
        TestEnvironment::TearDown();
    }
    // Starts a program with its arguments; its output goes to a file of the test.
    pid_t Start(const char* program, const std::string& dataDir) {
        const std::string out = TempPath("output");
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            // The wizards of this test find each other only, never another run's.
            ::setenv("USER", ("tv-instances-" + std::to_string(::getppid())).c_str(), 1);
            if (std::freopen(out.c_str(), "a", stderr) == nullptr) ::_exit(126);
            ::execl(program, program, "--data-dir", dataDir.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        return pid;
    }
    // The exit status of a process, or -1 when it is still running after the time.
    static int Wait(pid_t pid, int seconds) {
        for (int i = 0; i < seconds * 20; ++i) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return -1;
    }
    int Cli(const std::string& dataDir) {
        const std::string command = std::string(TV_CLI_PATH) + " --data-dir " + dataDir + " settings >/dev/null 2>>" +
                                    TempPath("output");
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // Whether some program holds the data folder.
    bool Held(const std::string& dataDir) { return real_->TryLockFile(dataDir + "/Tallyvault.lock") == nullptr; }

    pid_t first_ = -1;
};

TEST_F(WizardInstancesTest, SecondWizardHandsOverAndTheCommandLineWaitsItsTurn) {
    first_ = Start(TV_WIZARD_PATH, DataFolder());
    ASSERT_GT(first_, 0);
    bool up = false;
    for (int i = 0; i < 600 && !up; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        up = FileExists(DataFolder() + "/Tallyvault.lock") && Held(DataFolder()) && FileExists(ConfigPath());
    }
    ASSERT_TRUE(up) << ReadFile(TempPath("output"));
    // The first wizard has started up (it listens before it takes the folder).

    const pid_t second = Start(TV_WIZARD_PATH, DataFolder());
    EXPECT_EQ(Wait(second, 30), 0) << ReadFile(TempPath("output"));
    EXPECT_EQ(Wait(first_, 0), -1);  // still running

    EXPECT_EQ(Cli(DataFolder()), 75);
    EXPECT_NE(ReadFile(TempPath("output")).find("Another Tallyvault program is already using the data folder"),
              std::string::npos);
    EXPECT_EQ(Cli(TempPath("other")), 0);

    // Ended, even by a kill: the folder is free again.
    ::kill(first_, SIGKILL);
    ::waitpid(first_, nullptr, 0);
    first_ = -1;
    EXPECT_EQ(Cli(DataFolder()), 0);
}

TEST_F(WizardInstancesTest, WizardOnAFolderInUseTellsTheUserAndTouchesNothing) {
    const std::string busy = TempPath("busy");
    std::filesystem::create_directories(busy);
    std::unique_ptr<FileLock> other = real_->TryLockFile(busy + "/Tallyvault.lock");
    ASSERT_TRUE(other);
    first_ = Start(TV_WIZARD_PATH, busy);
    ASSERT_GT(first_, 0);
    // It waits with its message box open: the log has told why by then.
    bool told = false;
    for (int i = 0; i < 600 && !told; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        told = ReadFile(busy + "/Tallyvault.log").find("Data folder is in use by another Tallyvault program") !=
               std::string::npos;
    }
    EXPECT_TRUE(told) << ReadFile(TempPath("output"));
    EXPECT_FALSE(FileExists(busy + "/Tallyvault.ini"));
}

}  // namespace
}  // namespace tv::test
