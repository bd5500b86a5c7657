// The program's diagnostic record, Tallyvault.log: one line per entry, opened,
// appended and closed for every entry, renamed aside at 80 KiB.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace tv {

enum LogLevel : int { kLogError = 0, kLogWarning = 1, kLogInfo = 2 };

// Module numbers of the components that write to the log.
enum LogModule : int {
    kModCore = 1,
    kModArchiverDx = 2,
    kModCompleteDx = 3,
    kModDateBasedDx = 4,
    kModPartialDx = 5,
    kModVerifierDx = 6,
    kModMasterDlg = 7,
    kModWelcomePage = 9,
    kModArchiverSelectionPage = 10,
    kModCompleteArchiverPage = 11,
    kModPartialArchiverPage = 12,
    kModDateBasedArchiverPage = 13,
    kModVerificationPage = 14,
    kModSbcSelectionPage = 15,
    kModVerificationSbcSelectionPage = 16,
    kModArchiverZt4 = 17,
    kModBaseArchiver = 18,
    kModCompleteZt4 = 19,
    kModDateBasedZt4 = 20,
    kModPartialZt4 = 21,
    kModArchiverPathSelectionPage = 22,
    kModVerificationSelectionPage = 23,
    kModSignature = 24,
    kModArchiveVerifierZt4 = 25,
    kModLogVerifierZt4 = 26,
};

class LogFile {
public:
    static constexpr int32_t kSizeLimit = 81920;
    static constexpr const char* kFileName = "Tallyvault.log";

    static LogFile& Instance();

    // Binds the log to a platform and points it at the data folder's log
    // (an empty folder leaves the path empty: entries are then dropped).
    void Attach(Platform& platform, const std::string& dataFolder);

    // Appends one entry; never fails to the caller.
    void Write(int module, int line, int level, std::string_view message);
    // Renames the current file aside and opens a fresh one; used by Write.
    bool Rotate();
    // Re-derives the path from the configured log folder (or the data folder);
    // false when the path leaves fewer than 14 characters of 260.
    bool UseConfiguredFolder();
    void SetFolder(std::string_view folder);

    const std::string& Path() const { return path_; }

    // The first error entry's message since the last call of ClearFirstError:
    // what a failed job shows as its cause when it has no other text for it.
    void ClearFirstError() { firstError_.clear(); }
    const std::string& FirstError() const { return firstError_; }

private:
    std::string firstError_;
    Platform* platform_ = nullptr;
    std::unique_ptr<File> file_;
    std::string path_;
};

}  // namespace tv

// Log entries carry the line of their call site.
#define TV_LOG_ERROR(module, message) ::tv::LogFile::Instance().Write((module), __LINE__, ::tv::kLogError, (message))
#define TV_LOG_WARNING(module, message) ::tv::LogFile::Instance().Write((module), __LINE__, ::tv::kLogWarning, (message))
#define TV_LOG_INFO(module, message) ::tv::LogFile::Instance().Write((module), __LINE__, ::tv::kLogInfo, (message))
