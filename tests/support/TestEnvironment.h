// A fresh process environment per test: a temporary data folder, the real
// platform behind a fault-injecting one with a fixed clock, a recording UI.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/FaultyPlatform.h"
#include "support/RecordingUi.h"

namespace tv::test {

// 2016-03-01 10:15:02 in the test time zone (UTC).
constexpr int64_t kTestNow = 1456827302;

// The messages of the log's error entries of one module, oldest first.
std::vector<std::string> LoggedErrors(const std::string& log, int module);

class TestEnvironment : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Path inside the test's temporary folder.
    std::string TempPath(const std::string& name) const;
    std::string DataFolder() const { return dataFolder_; }
    std::string ConfigPath() const;
    // Paths as the engine composes them, with the platform's separator: a name
    // in a folder, and a folder with the separator at its end.
    std::string Join(const std::string& folder, const std::string& name) const;
    std::string AsFolder(const std::string& folder) const;

    static std::string ReadFile(const std::string& path);
    static void WriteFile(const std::string& path, const std::string& content);
    static bool FileExists(const std::string& path);
    // Writes Tallyvault.ini in the data folder with the given lines (CR LF).
    void WriteConfig(const std::vector<std::string>& lines);
    // A valid configuration whose folders are the data folder, with overrides
    // as "Key=value" lines replacing or adding keys.
    std::vector<std::string> ValidConfig(const std::vector<std::string>& overrides = {}) const;
    std::string LogText() const;

    // Where the test's temporary folder is made (empty: the system's temporary
    // folder); a test that flushes files thousands of times may choose a
    // memory file system.
    std::string tempBase_;
    // A child process of a test works in its parent's folder: set before SetUp,
    // the folder is used as it is and left in place.
    std::string givenRoot_;
    std::unique_ptr<Platform> real_;
    std::unique_ptr<FaultyPlatform> platform_;
    RecordingUi ui_;
    std::string root_;
    std::string dataFolder_;
};

}  // namespace tv::test
