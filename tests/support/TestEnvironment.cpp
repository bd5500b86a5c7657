#include "support/TestEnvironment.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/AppContext.h"
#include "platform/Text.h"
#include "support/TempFolder.h"

namespace tv::test {

std::vector<std::string> RecordingUi::ShownTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : shown) texts.push_back(ToNarrow(m.text));
    return texts;
}

namespace {

void UseUtc() {
#ifdef _WIN32
    ::_putenv_s("TZ", "UTC");
    ::_tzset();
#else
    ::setenv("TZ", "UTC", 1);
    ::tzset();
#endif
}

}  // namespace

void TestEnvironment::SetUp() {
    UseUtc();
    real_ = CreateSystemPlatform();
    if (givenRoot_.empty()) {
        root_ = MakeUniqueFolder(tempBase_, "tallyvault-test");
        ASSERT_FALSE(root_.empty()) << "no temporary folder";
    } else {
        root_ = givenRoot_;
    }
    dataFolder_ = real_->JoinPath(root_, "data");
    platform_ = std::make_unique<FaultyPlatform>(*real_);
    platform_->SetNow(kTestNow);
    platform_->SetLocale("en-US");
    InstallEnvironment(*platform_, ui_, dataFolder_);
}

void TestEnvironment::TearDown() {
    DestroyAppContext();
    if (!givenRoot_.empty()) return;
    RemoveFolderTree(root_);
}

std::string TestEnvironment::TempPath(const std::string& name) const { return real_->JoinPath(root_, name); }

std::string TestEnvironment::Join(const std::string& folder, const std::string& name) const {
    return real_->JoinPath(folder, name);
}

std::string TestEnvironment::AsFolder(const std::string& folder) const { return real_->WithTrailingSeparator(folder); }

std::string TestEnvironment::ConfigPath() const { return real_->JoinPath(dataFolder_, "Tallyvault.ini"); }

std::string TestEnvironment::ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void TestEnvironment::WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

bool TestEnvironment::FileExists(const std::string& path) {
    return std::filesystem::exists(path);
}

void TestEnvironment::WriteConfig(const std::vector<std::string>& lines) {
    std::filesystem::create_directories(dataFolder_);
    std::string content;
    for (const auto& l : lines) content += l + "\r\n";
    WriteFile(ConfigPath(), content);
}

std::vector<std::string> TestEnvironment::ValidConfig(const std::vector<std::string>& overrides) const {
    std::vector<std::string> lines = {
        "[Config]",
        "Language=English",
        "MaxSizeOfArchiveFileInMB=25",
        "UseDefaultArchivePath=NO",
        "ArchivePath=" + dataFolder_,
        "SMCProfilePath=" + dataFolder_,
        "LogPath=" + dataFolder_,
        "BackupSMCOnArchive=NO",
        "YearEndsOn=31-Dec",
        "ScaleType=Auto-detect",
    };
    for (const auto& o : overrides) {
        const std::string key = o.substr(0, o.find('=') + 1);
        bool replaced = false;
        for (auto& l : lines) {
            if (l.rfind(key, 0) == 0) {
                l = o;
                replaced = true;
            }
        }
        if (!replaced) lines.push_back(o);
    }
    return lines;
}

std::vector<std::string> LoggedErrors(const std::string& log, int module) {
    std::vector<std::string> errors;
    const std::string prefix = " ERROR   - " + std::to_string(module) + ":";
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t at = line.find(prefix);
        if (at == std::string::npos) continue;
        const size_t space = line.find(' ', at + prefix.size());
        if (space != std::string::npos) errors.push_back(line.substr(space + 1));
    }
    return errors;
}

std::string TestEnvironment::LogText() const { return ReadFile(real_->JoinPath(dataFolder_, "Tallyvault.log")); }

}  // namespace tv::test
