#include "log/LogFile.h"

#include <cstdio>

#include "app/AppContext.h"

namespace tv {

namespace {

constexpr size_t kMaxPath = 260;
constexpr size_t kRoomForName = 14;

const char* LevelPrefix(int level) {
    switch (level) {
        case kLogError: return " ERROR   - ";
        case kLogWarning: return " WARNING - ";
        case kLogInfo: return " INFO    - ";
        default: return " UNKNOWN - ";
    }
}

// The line as it goes to disk: every line break becomes CR LF.
std::string ToDisk(const std::string& line) {
    std::string out;
    out.reserve(line.size() + 2);
    for (char c : line) {
        if (c == '\n') out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

}  // namespace

LogFile& LogFile::Instance() {
    static LogFile log;
    return log;
}

void LogFile::Attach(Platform& platform, const std::string& dataFolder) {
    file_.reset();
    platform_ = &platform;
    path_ = dataFolder.empty() ? std::string() : platform.JoinPath(dataFolder, kFileName);
}

void LogFile::Write(int module, int line, int level, std::string_view message) {
    if (level == kLogError && firstError_.empty()) firstError_ = message;
    if (platform_ == nullptr || path_.empty()) return;
    file_ = platform_->OpenFile(path_, OpenMode::Append);
    if (!file_) return;

    std::string entry = platform_->FormatNow("%Y-%m-%d %H:%M:%S");
    entry += LevelPrefix(level);
    if (level == kLogError || level == kLogWarning) {
        char numbers[32];
        std::snprintf(numbers, sizeof numbers, "%d:%d ", module, line);
        entry += numbers;
    }
    // Messages can carry text from cards and files: a control character would
    // break the one-line-per-entry form (a CR LF would forge a second entry).
    for (const char c : message) {
        entry.push_back((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F ? '?' : c);
    }
    entry.push_back('\n');

    // The size test comes before the write, so that the file never reaches the
    // limit: the entry that would reach it starts the next file. A line break
    // counts as one character, as the file's text mode would count it.
    file_->SeekEnd();
    const int64_t size = file_->Size();
    if (size >= 0 && size + static_cast<int64_t>(entry.size()) >= kSizeLimit) {
        if (!Rotate()) {
            // The entry is kept in the file that could not be renamed rather
            // than lost: a log slightly over its limit beats a missing entry.
            file_ = platform_->OpenFile(path_, OpenMode::Append);
        }
    }
    if (file_) {
        const std::string bytes = ToDisk(entry);
        file_->Write(bytes.data(), bytes.size());
    }
    file_.reset();
}

bool LogFile::Rotate() {
    file_.reset();
    if (platform_ == nullptr) return false;
    const std::string logPath = HasAppContext() ? GetAppContext().logPath : std::string();
    const std::string stamp = platform_->FormatNow("%Y_%m_%d_%H_%M_%S");
    std::string current;
    std::string rotated;
    if (!logPath.empty()) {
        if (logPath.size() > kMaxPath || kMaxPath - logPath.size() < kRoomForName) return false;
        current = logPath + kFileName;
        rotated = logPath + "Tallyvault_" + stamp + ".log";
        if (rotated.size() > kMaxPath) return false;
    } else {
        const std::string data = GetDataFolder();
        current = platform_->JoinPath(data, kFileName);
        rotated = platform_->JoinPath(data, "Tallyvault_" + stamp + ".log");
    }
    if (!platform_->MoveFile(current, rotated)) return false;
    file_ = platform_->OpenFile(current, OpenMode::Append);
    return true;
}

bool LogFile::UseConfiguredFolder() {
    file_.reset();
    const AppContext& ctx = GetAppContext();
    if (!ctx.logPath.empty()) {
        path_ = ctx.logPath + kFileName;
    } else {
        const std::string data = GetDataFolder();
        path_ = data.empty() ? std::string() : ctx.platform.JoinPath(data, kFileName);
    }
    return path_.size() <= kMaxPath - kRoomForName;
}

void LogFile::SetFolder(std::string_view folder) {
    if (folder.empty() || platform_ == nullptr) return;
    path_ = platform_->WithTrailingSeparator(folder) + kFileName;
}

}  // namespace tv
