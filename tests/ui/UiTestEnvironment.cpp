#include "UiTestEnvironment.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "app/AppContext.h"

namespace tv::test {

namespace fs = std::filesystem;

UiTestEnvironment::UiTestEnvironment() {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    char pattern[] = "/tmp/tallyvault-uitest-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (made == nullptr) throw std::runtime_error("no temporary folder");
    root_ = made;
    fs::create_directories(DataFolder());
    real_ = CreateSystemPlatform();
    platform_ = std::make_unique<FaultyPlatform>(*real_);
    platform_->SetNow(1456827302);  // 2016-03-01 10:15:02
    platform_->SetLocale("en-US");
    InstallEnvironment(*platform_, ui, DataFolder());
}

UiTestEnvironment::~UiTestEnvironment() {
    DestroyAppContext();
    std::error_code ec;
    fs::remove_all(root_, ec);
}

std::string UiTestEnvironment::Folder(const std::string& name) const {
    const std::string path = Path(name);
    fs::create_directories(path);
    return path;
}

void UiTestEnvironment::WriteConfig(const std::vector<std::string>& overrides) const {
    std::vector<std::string> lines = {"Language=English",          "MaxSizeOfArchiveFileInMB=25",
                                      "UseDefaultArchivePath=NO",  "ArchivePath=" + DataFolder(),
                                      "SMCProfilePath=" + DataFolder(), "LogPath=" + DataFolder(),
                                      "BackupSMCOnArchive=NO",     "YearEndsOn=31-Dec",
                                      "ScaleType=Auto-detect"};
    for (const std::string& o : overrides) {
        const std::string key = o.substr(0, o.find('=') + 1);
        bool replaced = false;
        for (std::string& l : lines) {
            if (l.compare(0, key.size(), key) == 0) {
                l = o;
                replaced = true;
            }
        }
        if (!replaced) lines.push_back(o);
    }
    std::string content = "[Config]\r\n";
    for (const std::string& l : lines) content += l + "\r\n";
    WriteRawConfig(content);
}

void UiTestEnvironment::WriteRawConfig(const std::string& content) const {
    std::ofstream out(ConfigPath(), std::ios::binary | std::ios::trunc);
    out << content;
}

std::string UiTestEnvironment::ReadConfig() const {
    std::ifstream in(ConfigPath(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string UiTestEnvironment::ConfigValue(const std::string& key) const {
    std::istringstream lines(ReadConfig());
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.compare(0, key.size() + 1, key + "=") == 0) return line.substr(key.size() + 1);
    }
    return {};
}

}  // namespace tv::test
