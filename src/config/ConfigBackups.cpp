// Backups of a damaged Tallyvault.ini or SMCProfile.ini: the file is copied to a
// time-stamped backup that is kept for good, then deleted, so that the caller can
// write a fresh one. The user is warned before and, when it fails, after.
#include <cstdio>

#include "app/AppContext.h"
#include "config/Configuration.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "platform/Text.h"

namespace tv {

namespace {

void Warn(MessageId id) {
    ShowMessage(id, kMbIconWarning);
    Ui().Repaint();
}

void LogWithError(int line, const char* format, int error) {
    char message[256];
    std::snprintf(message, sizeof message, format, error);
    LogFile::Instance().Write(kModCore, line, kLogError, message);
}

// Copies current to stem + suffix, or, when a backup of that name exists already
// (a second backup in the same second), to stem + "_2" + suffix and so on: an
// earlier backup is never replaced. backup receives the name used.
bool CopyToFreeName(Platform& p, const std::string& current, const std::string& stem, const std::string& suffix,
                    std::string& backup) {
    for (int k = 1; k <= 99; ++k) {
        backup = stem + (k == 1 ? std::string() : "_" + std::to_string(k)) + suffix;
        if (p.CopyFile(current, backup, true)) return true;
        if (p.LastError() != kErrFileExists) return false;
    }
    return false;
}

}  // namespace

bool BackUpConfiguration(AppContext& ctx) {
    Platform& p = ctx.platform;
    TV_LOG_INFO(kModCore,
                "Incorrect information in config file. Backup will be taken and new config file "
                "will be created");
    Warn(164);

    const std::string data = GetDataFolder();
    const std::string current = p.JoinPath(data, "Tallyvault.ini");
    const std::string stem = p.JoinPath(data, "Tallyvault_" + p.FormatNow("%Y_%m_%d_%H_%M_%S"));
    std::string backup;
    ctx.configFile.reset();

    bool ok = false;
    if (!CopyToFreeName(p, current, stem, ".ini.bak", backup)) {
        LogWithError(__LINE__, "Config File backup failed. (E%d)", p.LastError());
        TV_LOG_INFO(kModCore, "File name : " + current);
    } else {
        uint32_t attributes = 0;
        if (!p.GetAttributes(backup, attributes) ||
            !p.SetAttributes(backup, attributes & ~static_cast<uint32_t>(kAttrHidden))) {
            LogWithError(__LINE__, "Setting file attributes failed. (E%d)", p.LastError());
            TV_LOG_INFO(kModCore, "File name : " + backup);
        } else if (!p.DeleteFile(current)) {
            LogWithError(__LINE__, "Deleting config file failed. (E%d)", p.LastError());
            TV_LOG_INFO(kModCore, "File name : " + current);
        } else {
            TV_LOG_ERROR(kModCore, "Config file corrupted. Backup taken successfully");
            TV_LOG_INFO(kModCore, "File name : " + backup);
            ok = true;
        }
    }
    if (ok) return true;
    TV_LOG_ERROR(kModCore, "Config backup failed");
    Warn(210);
    return false;
}

bool BackUpSmcProfile(AppContext& ctx) {
    Platform& p = ctx.platform;
    TV_LOG_INFO(kModCore,
                "Incorrect information in SMC profile file. Backup will be taken and new SMC "
                "profile will be created");
    Warn(203);

    const std::string folder =
        ctx.profilePath.empty() ? p.WithTrailingSeparator(GetDataFolder()) : ctx.profilePath;
    const std::string current = folder + "SMCProfile.ini";
    const std::string stem = folder + "SMCProfile_" + p.FormatNow("%Y_%m_%d_%H_%M_%S");
    std::string backup = stem + ".ini.bak";

    bool ok = false;
    if (ToUtf16(backup).size() >= 261) {
        TV_LOG_ERROR(kModCore, "INI file path size exceeded");
        TV_LOG_INFO(kModCore, "File name : " + backup);
    } else {
        CloseSmcProfileFile(ctx);
        if (!CopyToFreeName(p, current, stem, ".ini.bak", backup)) {
            LogWithError(__LINE__, "SMC profile File backup failed. (E%d)", p.LastError());
            TV_LOG_INFO(kModCore, "File name : " + backup);
        } else if (!p.DeleteFile(current)) {
            LogWithError(__LINE__, "Deleting SMC profile file failed. (E%d)", p.LastError());
            TV_LOG_INFO(kModCore, "File name : " + current);
        } else {
            TV_LOG_ERROR(kModCore, "SMC profile file corrupted. Backup taken successfully");
            TV_LOG_INFO(kModCore, "File name : " + backup);
            ok = true;
        }
    }
    if (ok) return true;
    TV_LOG_ERROR(kModCore, "SMC profile backup failed");
    Warn(211);
    return false;
}

}  // namespace tv
