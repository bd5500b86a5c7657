// A fresh process environment for the Qt tests of the wizard: a temporary data
// folder, the real platform behind a fault-injecting one with a fixed clock, and
// a UI host that answers message boxes from a script and records them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/FaultyPlatform.h"
#include "support/RecordingUi.h"

namespace tv::test {

class UiTestEnvironment {
public:
    UiTestEnvironment();
    ~UiTestEnvironment();
    UiTestEnvironment(const UiTestEnvironment&) = delete;
    UiTestEnvironment& operator=(const UiTestEnvironment&) = delete;

    std::string Path(const std::string& name) const { return root_ + "/" + name; }
    // Creates the folder (and its parents); returns its path.
    std::string Folder(const std::string& name) const;
    std::string DataFolder() const { return root_ + "/data"; }
    std::string ConfigPath() const { return DataFolder() + "/Tallyvault.ini"; }
    // Writes Tallyvault.ini: a valid file whose folders are the data folder,
    // with "Key=value" overrides replacing or adding keys.
    void WriteConfig(const std::vector<std::string>& overrides = {}) const;
    void WriteRawConfig(const std::string& content) const;
    std::string ReadConfig() const;
    // The value of a key of the file ("" when missing).
    std::string ConfigValue(const std::string& key) const;

    FaultyPlatform& platform() { return *platform_; }
    RecordingUi ui;

private:
    std::string root_;
    std::unique_ptr<Platform> real_;
    std::unique_ptr<FaultyPlatform> platform_;
};

}  // namespace tv::test
