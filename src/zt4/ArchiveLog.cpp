#include "zt4/ArchiveLog.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "smc/SmcAccess.h"
#include "zt4/LogSignatureWriter.h"
#include "zt4/LogVerifierZT4.h"

namespace tv {

namespace {

constexpr size_t kHeaderSize = 34;
constexpr int64_t kTailSize = 252;
constexpr char kLogName[] = "Archive.log";
// Names beside the card's log of a replacement left unfinished by earlier
// versions, which set the old log aside before renaming the new one.
constexpr char kNewLogName[] = "Archive.log.new";
constexpr char kOldLogName[] = "Archive.log.old";
constexpr std::string_view kTrailer = "\r\nDigital Signature:";
// "\r\nDigital Signature:\r\n" in front of the signature text.
constexpr int64_t kTrailerLength = 22;

void LogError(int module, int line, const char* format, int error) {
    char message[256];
    std::snprintf(message, sizeof message, format, error);
    LogFile::Instance().Write(module, line, kLogError, message);
}

std::string FolderOf(const Platform& p, const std::string& path) {
    const size_t slash = path.find_last_of(p.Separator());
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string CardRoot(AppContext& ctx) {
    return ctx.platform.GetDrive(ctx.drive.empty() ? 0 : ctx.drive[0]).root;
}

bool ReadCardUid(AppContext& ctx, std::string& hex) {
    uint8_t uid[16] = {};
    char text[33] = {};
    if (!ctx.worm || !WORM_GET_UID(ctx.worm.get(), uid)) return false;
    BytesToHex(uid, sizeof uid, text);
    hex = text;
    return hex.size() == 32;
}

bool LogValidates(const std::string& path) {
    CLogVerifierZT4 verifier(path);
    verifier.internal = true;
    return verifier.Verify(nullptr, nullptr);
}

// "YYYYMMDDhhmmss" as "YYYY-MM-DD hh:mm:ss".
std::string StampText(std::string_view s) {
    if (s.size() != 14) return {};
    return std::string(s.substr(0, 4)) + "-" + std::string(s.substr(4, 2)) + "-" + std::string(s.substr(6, 2)) +
           " " + std::string(s.substr(8, 2)) + ":" + std::string(s.substr(10, 2)) + ":" +
           std::string(s.substr(12, 2));
}

bool AppendField(std::string& out, const std::string& value, const char* label) {
    if (label == nullptr) {
        TV_LOG_ERROR(kModArchiverZt4, "Invalid input parameter");
        return false;
    }
    if (value.empty()) {
        char message[256];
        std::snprintf(message, sizeof message, "Updating 'Archive.log' failed. (Field - %s)", label);
        TV_LOG_ERROR(kModArchiverZt4, message);
        return false;
    }
    out += label;
    out += value;
    out += "\r\n";
    return true;
}

}  // namespace

std::string CardArchiveLogPath(AppContext& ctx) { return ctx.platform.CardFilePath(CardRoot(ctx), kLogName); }

std::string DataArchiveLogPath() { return Sys().JoinPath(GetDataFolder(), kLogName); }

void RecoverCardArchiveLog(AppContext& ctx, const std::string& cardRoot) {
    Platform& p = ctx.platform;
    const std::string log = p.CardFilePath(cardRoot, kLogName);
    const std::string fresh = p.JoinPath(cardRoot, kNewLogName);
    const std::string old = p.JoinPath(cardRoot, kOldLogName);
    // Copies that a kill cut short (the log's, an ".err" file's) never took
    // their names.
    std::vector<DirEntry> leftovers;
    if (p.ListFolder(cardRoot, std::string("*") + Platform::kPublishTempSuffix, leftovers)) {
        for (const DirEntry& e : leftovers) {
            if (e.isDirectory) continue;
            const std::string partial = p.JoinPath(cardRoot, e.name);
            uint32_t attributes = 0;
            if (p.GetAttributes(partial, attributes) &&
                p.SetAttributes(partial, attributes & ~uint32_t{kAttrReadOnly}) && p.DeleteFile(partial)) {
                TV_LOG_INFO(kModArchiverZt4, "Incomplete file of an interrupted run removed from SMC : " + e.name);
            } else {
                LogError(kModArchiverZt4, __LINE__, "Removing incomplete file from SMC failed. (E%d)", p.LastError());
            }
        }
    }
    // The replacement through ".new"/".old" of earlier versions.
    const bool hasFresh = p.Exists(fresh);
    const bool hasOld = p.Exists(old);
    if (!hasFresh && !hasOld) return;
    if (!p.Exists(log)) {
        // Interrupted between setting the old log aside and putting the new one
        // in its place: the new one, when it is whole, is the card's log.
        if (hasFresh && LogValidates(fresh) && p.MoveFile(fresh, log)) {
            TV_LOG_WARNING(kModArchiverZt4, "Interrupted update of 'Archive.log' in SMC completed");
        } else if (hasOld && p.MoveFile(old, log)) {
            TV_LOG_WARNING(kModArchiverZt4, "Interrupted update of 'Archive.log' in SMC undone");
        }
    }
    if (p.Exists(fresh)) p.DeleteFile(fresh);
    if (p.Exists(old) && p.Exists(log)) p.DeleteFile(old);
}

bool CheckArchiveLogUid(AppContext& ctx, const std::string& logPath) {
    if (logPath.empty()) {
        TV_LOG_ERROR(kModSbcSelectionPage, "Invalid input paramter");
        return false;
    }
    RecoverCardArchiveLog(ctx, FolderOf(ctx.platform, logPath));
    uint32_t attributes = 0;
    if (!ctx.platform.GetAttributes(logPath, attributes) || (attributes & kAttrDirectory) != 0) {
        ctx.archiveLogState = 0;
        TV_LOG_INFO(kModSbcSelectionPage, "Archive.log not found in SMC");
        return true;
    }
    ctx.archiveLogState = 2;
    // Without the card's own ID nothing can be said about the log: a good log
    // must not be set aside for that.
    std::string hex;
    if (!ReadCardUid(ctx, hex)) {
        TV_LOG_ERROR(kModSbcSelectionPage, "Reading SMC unique ID failed. 'Archive.log' check failed");
        return false;
    }

    auto file = ctx.platform.OpenFile(logPath, OpenMode::Read);
    if (!file) {
        TV_LOG_ERROR(kModSbcSelectionPage, "'Archive.log' file open failed");
        return false;
    }
    char header[kHeaderSize + 1] = {};
    size_t got = 0;
    while (got < kHeaderSize) {
        const int64_t r = file->Read(header + got, kHeaderSize - got);
        if (r < 0) {
            LogError(kModSbcSelectionPage, __LINE__, "Reading data from archive log failed E[%d]",
                     ctx.platform.LastError());
            return false;
        }
        if (r == 0) break;
        got += static_cast<size_t>(r);
    }
    if (got == kHeaderSize && std::memcmp(header + 1, hex.data(), 32) == 0) return true;
    // A log too short to hold the header is a mismatch as well, logged with
    // what it holds.
    char message[256];
    std::snprintf(message, sizeof message, "SMC's UID mismatches with UID in 'Achive.log'. UID in log - %.*s",
                  static_cast<int>(got), header);
    TV_LOG_ERROR(kModSbcSelectionPage, message);
    ShowMessage(275, kMbIconWarning);
    ctx.archiveLogState = 1;
    return true;
}

bool CheckLogSpace(AppContext& ctx, ResultList* /*results*/) {
    uint64_t freeBytes = 0;
    if (!ctx.platform.FreeSpace(CardRoot(ctx), freeBytes)) {
        LogError(kModArchiverZt4, __LINE__, "Calculating disk free space failed. (E%d)", ctx.platform.LastError());
        return false;
    }
    if (freeBytes > 1024) return true;
    ShowMessage(276, kMbIconError);
    TV_LOG_ERROR(kModArchiverZt4, "Not enough storage space in SMC open area to write 'Archive.log'");
    return false;
}

bool CopyArchiveLogFromCard(AppContext& ctx) {
    if (ctx.platform.CopyFile(CardArchiveLogPath(ctx), DataArchiveLogPath(), false)) return true;
    LogError(kModArchiverZt4, __LINE__, "Copying 'Archive.log' failed. (E%d)", ctx.platform.LastError());
    return false;
}

bool ValidateArchiveLogCopy(AppContext& ctx, const std::string& path) {
    if (LogValidates(path)) return true;
    ctx.archiveLogState = 1;
    return false;
}

bool RenameInvalidArchiveLog(AppContext& ctx) {
    Platform& p = ctx.platform;
    const std::string name = "Archive_" + p.FormatNow("%Y_%m_%d_%H_%M_%S_") + "invalid.log";
    const std::string target = p.JoinPath(CardRoot(ctx), name);
    ctx.ui.MessageBox(GetMessageText(277) + ToUtf16(name) + u"\"", u"Tallyvault", kMbIconWarning);
    if (p.Exists(target)) {
        char message[512];
        std::snprintf(message, sizeof message,
                      "Already log file named '%s'is present in SMC open area. So the existing log file will be "
                      "replaced",
                      target.c_str());
        TV_LOG_WARNING(kModArchiverZt4, message);
        uint32_t attributes = 0;
        if (p.GetAttributes(target, attributes)) p.SetAttributes(target, attributes & ~uint32_t{kAttrReadOnly});
        if (!p.DeleteFile(target)) {
            std::snprintf(message, sizeof message, "Old '%s' file deletion not successful! (E%d)", name.c_str(),
                          p.LastError());
            TV_LOG_ERROR(kModArchiverZt4, message);
        }
    }
    if (!p.MoveFile(CardArchiveLogPath(ctx), target)) {
        LogError(kModArchiverZt4, __LINE__, "Error renaming 'Archive.log' file in SMC. E(%d)", p.LastError());
        return false;
    }
    char message[512];
    std::snprintf(message, sizeof message,
                  "Incorrect data found in 'Archive.log'. So the log file present in SMC open area is renamed as "
                  "'%s'",
                  name.c_str());
    TV_LOG_WARNING(kModArchiverZt4, message);
    return true;
}

bool RemoveLogSignature(const std::string& logPath) {
    Platform& p = Sys();
    std::string tail;
    int64_t size = 0;
    {
        std::unique_ptr<File> file = p.OpenFile(logPath, OpenMode::Read);
        if (!file) {
            LogError(kModArchiverZt4, __LINE__, "'Archive.log' file open failed.E[%d]", p.LastError());
            return false;
        }
        size = file->Size();
        const int64_t want = size < kTailSize ? size : kTailSize;
        if (size < 0 || !file->Seek(size - want)) {
            LogError(kModArchiverZt4, __LINE__, "Moving file pointer in archive log failed E[%d]", p.LastError());
            return false;
        }
        tail.resize(static_cast<size_t>(want));
        size_t have = 0;
        while (have < tail.size()) {
            const int64_t got = file->Read(tail.data() + have, tail.size() - have);
            if (got <= 0) {
                LogError(kModArchiverZt4, __LINE__, "Reading data from archive log failed E[%d]", p.LastError());
                return false;
            }
            have += static_cast<size_t>(got);
        }
    }
    const size_t at = tail.rfind(kTrailer);
    if (at == std::string::npos) {
        TV_LOG_ERROR(kModArchiverZt4, "'Digital Signature:' text is not found in 'Archive.log'");
        return false;
    }
    const size_t lastBreak = tail.rfind("\r\n");
    if (lastBreak == std::string::npos || lastBreak < at + kTrailer.size()) {
        TV_LOG_ERROR(kModArchiverZt4, "New line characters after'Digital Signature:' text is not found in 'Archive.log'");
        return false;
    }
    if (lastBreak != at + kTrailer.size()) {
        TV_LOG_ERROR(kModArchiverZt4, "New line characters found at unexpected position in log");
        return false;
    }
    const int64_t signatureLength = static_cast<int64_t>(tail.size() - lastBreak - 2);
    std::unique_ptr<File> file = p.OpenFile(logPath, OpenMode::ReadWrite);
    if (!file) {
        LogError(kModArchiverZt4, __LINE__, "Opening log file failed. E(%d)", p.LastError());
        return false;
    }
    const int64_t cut = size - signatureLength - kTrailerLength;
    if (cut < 0 || !file->Seek(cut)) {
        LogError(kModArchiverZt4, __LINE__, "Setting file pointer of log file failed. E(%d)", p.LastError());
        return false;
    }
    if (!file->Truncate(cut)) {
        LogError(kModArchiverZt4, __LINE__, "Resizing log file failed. E(%d)", p.LastError());
        return false;
    }
    return true;
}

bool WriteArchiveLogRecord(AppContext& ctx, const ArchiveLogRecord& record, const std::string& logPath,
                           int fileIndex) {
    Platform& p = ctx.platform;
    const bool extend = ctx.archiveLogState == 2;
    if (extend && !p.OpenFile(logPath, OpenMode::Read)) {
        LogError(kModArchiverZt4, __LINE__, "'Archive.log' file open failed.E[%d]", p.LastError());
        return false;
    }
    std::string text;
    if (!extend) {
        if (record.smcUid.empty()) {
            TV_LOG_ERROR(kModArchiverZt4, "Updating SMC UID as header in 'Archive.log' failed");
            return false;
        }
        text = "[" + record.smcUid + "]\r\n";
    }
    if (fileIndex <= 1) {
        text += "\r\n";
        if (!AppendField(text, record.scaleSerialNumber, "Scale serial num             : ") ||
            !AppendField(text, record.smcUid, "SMC Unique ID                : ") ||
            !AppendField(text, record.archiveFolder, "Archive file path            : ")) {
            return false;
        }
    }
    const std::string stem = record.fileName.substr(0, record.fileName.find('.'));
    const std::string start = stem.size() == 29 ? StampText(std::string_view(stem).substr(0, 14)) : std::string();
    const std::string end = stem.size() == 29 ? StampText(std::string_view(stem).substr(15, 14)) : std::string();
    if (!AppendField(text, start, "Archive start date           : ") ||
        !AppendField(text, end, "Archive end date             : ") ||
        !AppendField(text, record.fileName, "Archive file name            : ") ||
        !AppendField(text, record.creationTime, "A.Creation date time         : ") ||
        !AppendField(text, record.completionTime, "A.Completion date time       : ")) {
        return false;
    }
    std::unique_ptr<File> file = p.OpenFile(logPath, extend ? OpenMode::Append : OpenMode::Write);
    if (!file) {
        TV_LOG_ERROR(kModArchiverZt4, "'Archive.log' file open failed");
        return false;
    }
    if (!file->Write(text.data(), text.size())) {
        TV_LOG_ERROR(kModArchiverZt4, "Updating 'Archive.log' failed");
        return false;
    }
    return true;
}

bool UpdateArchiveLog(AppContext& ctx, const ArchiveLogRecord& record, int fileIndex) {
    const std::string copy = DataArchiveLogPath();
    if (ctx.archiveLogState == 2 && fileIndex <= 1 && !ValidateArchiveLogCopy(ctx, copy)) {
        TV_LOG_ERROR(kModArchiverZt4, "Archive.log signature validation failed");
    }
    if (ctx.archiveLogState == 1 && !RenameInvalidArchiveLog(ctx)) return false;
    if (ctx.archiveLogState == 2 && !RemoveLogSignature(copy)) {
        TV_LOG_ERROR(kModArchiverZt4, "Removing signature from log failed");
        return false;
    }
    if (!WriteArchiveLogRecord(ctx, record, copy, fileIndex)) {
        TV_LOG_ERROR(kModArchiverZt4, "Archive.log updation failed");
        return false;
    }
    if (!SignLogFile(copy)) {
        TV_LOG_ERROR(kModArchiverZt4, "Signing 'Archive.log' failed");
        return false;
    }
    return true;
}

bool PublishArchiveLogToCard(AppContext& ctx, int& error) {
    Platform& p = ctx.platform;
    // An existing log is replaced under the spelling the card gives it.
    if (p.PublishFile(DataArchiveLogPath(), p.CardFilePath(CardRoot(ctx), kLogName))) return true;
    error = p.LastError();
    return false;
}

}  // namespace tv
