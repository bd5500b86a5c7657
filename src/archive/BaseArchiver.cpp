#include "archive/BaseArchiver.h"

#include <algorithm>
#include <cstdio>

#include "app/AppContext.h"
#include "app/PublishRecovery.h"
#include "archive/SmcProfile.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "smc/WormChannel.h"
#include "store/BoundaryVerification.h"
#include "store/BlockDecoder.h"

namespace tv {

namespace {

constexpr size_t kMaxPath = 260;
constexpr char kBackupFolderName[] = "LastArchiveBackup";

void LogError(int line, const char* format, int error) {
    char message[256];
    std::snprintf(message, sizeof message, format, error);
    LogFile::Instance().Write(kModBaseArchiver, line, kLogError, message);
}

void LogFileName(const std::string& path) { TV_LOG_INFO(kModBaseArchiver, "File name : " + path); }

std::string FileNameOf(const Platform& p, const std::string& path) {
    const size_t slash = path.find_last_of(p.Separator());
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string WithoutExtension(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
    return path.substr(0, dot);
}

void SetRowPath(ResultList* results, const std::string& path) {
    if (results != nullptr && results->ItemCount() > 0) results->SetCell(results->ItemCount() - 1, 1, ToUtf16(path));
}

}  // namespace

CBaseArchiver::CBaseArchiver(AppContext& context) : ctx(context) {}

CBaseArchiver::~CBaseArchiver() = default;

// --- paths -----------------------------------------------------------------------------

bool CBaseArchiver::ArchiveFolderAvailable() const {
    std::vector<DirEntry> entries;
    return !ctx.archivePath.empty() && ctx.platform.ListFolder(ctx.archivePath, "*", entries);
}

std::string CBaseArchiver::WorkFolder() const { return RunWorkFolder(ctx); }

bool CBaseArchiver::CreateWorkFolder() {
    const std::string folder = WorkFolder();
    // Files there are temporary by definition: it can never be an archive folder.
    if (EqualsNoCase(ToUtf16(ctx.platform.WithTrailingSeparator(folder)),
                     ToUtf16(ctx.platform.WithTrailingSeparator(ctx.archivePath)))) {
        TV_LOG_ERROR(kModBaseArchiver, "The archive folder is the folder of temporary archive files");
        TV_LOG_INFO(kModBaseArchiver, "Folder name : " + folder);
        return false;
    }
    if (ctx.platform.CreateDirectory(folder) || ctx.platform.LastError() == kErrAlreadyExists) {
        return true;
    }
    LogError(__LINE__, "Temporary archive folder creation failed. E(%d)", ctx.platform.LastError());
    TV_LOG_INFO(kModBaseArchiver, "Folder name : " + folder);
    return false;
}

std::string CBaseArchiver::BackupFolder() const {
    std::string folder = ctx.platform.WithTrailingSeparator(ctx.platform.JoinPath(GetDataFolder(), kBackupFolderName));
    std::string sub;
    if (GetArchiveFolderName(sub)) folder = ctx.platform.WithTrailingSeparator(folder + sub);
    return folder;
}

std::string CBaseArchiver::FinalPathOf(const std::string& tempPath) const {
    std::string folder = ctx.platform.WithTrailingSeparator(ctx.archivePath);
    std::string sub;
    if (GetArchiveFolderName(sub)) folder = ctx.platform.WithTrailingSeparator(folder + sub);
    return folder + FileNameOf(ctx.platform, tempPath);
}

// --- progress and abort ---------------------------------------------------------------

void CBaseArchiver::StartProgress(ProgressView* progress, uint64_t totalSectors) {
    progress_ = progress;
    progressTotal_ = totalSectors;
    progressDone_ = 0;
    progressShare_ = ctx.backupSmcOnArchive ? 50 : 100;
    if (progress_ != nullptr) {
        progress_->SetRange(0, 100);
        progress_->SetPos(0);
    }
}

void CBaseArchiver::AdvanceProgress(uint64_t sectors) {
    progressDone_ = std::min(progressTotal_, progressDone_ + sectors);
    if (progress_ != nullptr && progressTotal_ != 0) {
        progress_->SetPos(static_cast<int32_t>(progressDone_ * static_cast<uint64_t>(progressShare_) / progressTotal_));
    }
}

void CBaseArchiver::PumpAndCheckAbort() {
    ctx.ui.Pump();
    if (!ctx.abortRequested) return;
    AbortCleanup();
    AbortApplication();
}

bool CBaseArchiver::PublishWithProgress(const std::string& from, const std::string& to, StatusView* status) {
    SetPleaseWaitText(status, 244);
    return ctx.platform.PublishFile(from, to, [this](uint64_t, uint64_t) {
        ctx.ui.Pump();
        return !ctx.abortRequested;
    });
}

// --- hashes ---------------------------------------------------------------------------

void CBaseArchiver::TakeTrailerHashes(const WormBlock& block) {
    lastCurrentHash = currentHash;
    previousHash = block.previousHash;
    currentHash = block.currentHash;
}

void CBaseArchiver::ClearHashes() {
    previousHash = {};
    currentHash = {};
    lastCurrentHash = {};
}

bool CBaseArchiver::VerifyBlockHash(const WormBlock& block, bool& runStart, bool& fileStart, int& result) {
    if (block.bytes.empty()) {
        TV_LOG_ERROR(kModBaseArchiver, "Hash verification failed");
        return false;
    }
    const bool chained = runStart || fileStart || block.previousHash == lastCurrentHash;
    if (!BlockHashMatches(block) || !chained) {
        result = kArchiveDataCheckFailed;
        TV_LOG_ERROR(kModBaseArchiver, "Hash verification failed. Complete archive operation failed");
        return false;
    }
    runStart = false;
    fileStart = false;
    return true;
}

// --- existing archives and backups ----------------------------------------------------------

bool CBaseArchiver::DeleteArchiveFile(const std::string& path, ResultList* results) {
    Platform& p = ctx.platform;
    uint32_t attributes = 0;
    // A link that leads nowhere has no attributes but is removed all the same.
    if (!p.GetAttributes(path, attributes)) return p.RemoveLeftover(path);
    // A link refuses the attribute change and is removed as it stands.
    if (!p.SetAttributes(path, attributes & ~static_cast<uint32_t>(kAttrReadOnly)) && !p.RemoveLeftover(path)) {
        LogError(__LINE__, "Removing readonly attribute failed for existing archive file. E(%d)", p.LastError());
        LogFileName(path);
        return false;
    }
    if (!p.RemoveLeftover(path)) {
        const int error = p.LastError();
        LogError(__LINE__, "Error deleting existing archive file.. E(%d)", error);
        LogFileName(path);
        SetFileErrorRemark(results, path, 234, error);
        return false;
    }
    return true;
}

bool CBaseArchiver::RenameToBak(const std::string& path) {
    Platform& p = ctx.platform;
    uint32_t attributes = 0;
    if (!p.GetAttributes(path, attributes)) return true;
    if (!p.SetAttributes(path, attributes & ~static_cast<uint32_t>(kAttrReadOnly))) {
        LogError(__LINE__, "Removing readonly attribute failed for existing archive File. (E%d)", p.LastError());
        LogFileName(path);
        return false;
    }
    const std::string bak = WithoutExtension(path) + GetBackupExtension();
    if (ToUtf16(bak).size() >= kMaxPath + 1) {
        TV_LOG_ERROR(kModBaseArchiver, "Archival backup path length exceeded");
        return false;
    }
    if (p.GetAttributes(bak, attributes)) {
        if (!p.SetAttributes(bak, attributes & ~static_cast<uint32_t>(kAttrReadOnly))) {
            LogError(__LINE__, "Removing readonly attribute failed for existing BAK File. (E%d)", p.LastError());
            return false;
        }
        if (!p.DeleteFile(bak)) {
            LogError(__LINE__, "Error deleting existing BAK file. E(%d)", p.LastError());
            return false;
        }
    }
    if (!p.MoveFile(path, bak)) {
        LogError(__LINE__, "Error renaming existing BAK file. E(%d)", p.LastError());
        return false;
    }
    LogFileName(bak);
    TV_LOG_INFO(kModBaseArchiver, "Archive backup created successfully");
    return true;
}

bool CBaseArchiver::DeleteBak(const std::string& publishedPath) {
    Platform& p = ctx.platform;
    const std::string bak = WithoutExtension(publishedPath) + GetBackupExtension();
    uint32_t attributes = 0;
    if (!p.GetAttributes(bak, attributes)) return true;
    if (!p.SetAttributes(bak, attributes & ~static_cast<uint32_t>(kAttrReadOnly))) {
        LogError(__LINE__, "Removing readonly attribute failed for existing archive file. E(%d)", p.LastError());
        return false;
    }
    if (!p.DeleteFile(bak)) {
        LogError(__LINE__, "Error deleting existing BAK file. E(%d)", p.LastError());
        return false;
    }
    TV_LOG_INFO(kModBaseArchiver, "Deleting BAK is successful");
    LogFileName(bak);
    return true;
}

bool CBaseArchiver::HandleExistingArchive(const std::string& tempPath, ExistingArchiveMode mode, int& result,
                                          ResultList* results, StatusView* status) {
    if (tempPath.empty()) {
        TV_LOG_ERROR(kModBaseArchiver, "Handling of archival file existence failed");
        return false;
    }
    if (!ArchiveFolderAvailable()) {
        result = kArchiveFolderMissing;
        TV_LOG_ERROR(kModBaseArchiver, "Archival file path is not available");
        return false;
    }
    const std::string finalPath = FinalPathOf(tempPath);
    if (ctx.platform.Exists(finalPath)) {
        TV_LOG_WARNING(kModBaseArchiver, "Archival file already exists");
        if (mode == ExistingArchiveMode::Ask) {
            if (status != nullptr) status->SetText(GetMessageText(216));
            if (!AskReplaceFile(ToUtf16(FileNameOf(ctx.platform, finalPath)))) {
                TV_LOG_WARNING(kModBaseArchiver, "File will not be overwritten");
                result = kArchiveRefused;
                return false;
            }
            TV_LOG_WARNING(kModBaseArchiver, "As per user's choice, file will be overwritten");
        }
        if (!RenameToBak(finalPath)) {
            TV_LOG_ERROR(kModBaseArchiver, "Renaming archive to BAK failed");
            return false;
        }
    }
    if (!DeleteArchiveFile(tempPath, results)) {
        TV_LOG_ERROR(kModBaseArchiver, "Error deleting the file in program data path");
        return false;
    }
    return true;
}

bool CBaseArchiver::AskReplaceArchives(const std::string& tempPath, const std::vector<std::string>& others,
                                       ExistingArchiveMode& mode, int& result, StatusView* status) {
    replacedArchives_.clear();
    if (others.empty()) return true;
    const std::string finalPath = FinalPathOf(tempPath);
    std::u16string names;
    if (ctx.platform.Exists(finalPath)) names = ToUtf16(FileNameOf(ctx.platform, finalPath));
    TV_LOG_WARNING(kModBaseArchiver, "Archival file already exists");
    for (const std::string& path : others) {
        LogFileName(path);
        names += (names.empty() ? u"" : u", ") + ToUtf16(FileNameOf(ctx.platform, path));
    }
    if (status != nullptr) status->SetText(GetMessageText(216));
    if (!AskReplaceFile(names)) {
        TV_LOG_WARNING(kModBaseArchiver, "File will not be overwritten");
        result = kArchiveRefused;
        return false;
    }
    TV_LOG_WARNING(kModBaseArchiver, "As per user's choice, file will be overwritten");
    replacedArchives_ = others;
    mode = ExistingArchiveMode::Automatic;
    return true;
}

void CBaseArchiver::RemoveReplacedArchives(const std::vector<std::string>& published, ResultList* results) {
    // Removed only now: until the run has published everything, the archives it
    // replaces stay as they were.
    for (const std::string& path : replacedArchives_) {
        const std::string name = FileNameOf(ctx.platform, path);
        const bool republished = std::any_of(published.begin(), published.end(), [&](const std::string& p) {
            return FileNameOf(ctx.platform, p) == name;
        });
        if (republished || !DeleteArchiveFile(path, results)) continue;
        TV_LOG_INFO(kModBaseArchiver, "Archive replaced by the new archive removed");
        LogFileName(path);
    }
    replacedArchives_.clear();
}

// --- finishing and publishing -------------------------------------------------------------

bool CBaseArchiver::FinishArchive(bool split, ResultList* results, StatusView* status) {
    Platform& p = ctx.platform;
    uint32_t attributes = 0;
    if (!p.GetAttributes(tempArchivePath, attributes) ||
        !p.SetAttributes(tempArchivePath, attributes | kAttrReadOnly | kAttrArchive)) {
        LogError(__LINE__, "Setting File attributes failed.Final archival processing failed.. E(%d)", p.LastError());
        LogFileName(tempArchivePath);
        return false;
    }
    if (!PublishArchive(tempArchivePath, split ? 2 : 0, false, results, status)) {
        TV_LOG_ERROR(kModBaseArchiver, "Backup creation failed");
        return false;
    }
    TV_LOG_INFO(kModBaseArchiver, "Archival process completed");
    return true;
}

void CBaseArchiver::RemoveOlderBackups(const std::string& backupFolder, ResultList* results) {
    Platform& p = ctx.platform;
    // Removes the entries of folder that keep() does not keep; false when one
    // cannot be removed (logged, and the row's remark says so).
    auto removeFrom = [&](const std::string& folder, const auto& keep) {
        std::vector<DirEntry> entries;
        if (!p.ListFolder(folder, "*", entries)) return true;
        for (const DirEntry& e : entries) {
            const std::string path = p.JoinPath(folder, e.name);
            if (keep(e, path)) continue;
            uint32_t attributes = 0;
            const bool removed = e.isDirectory ? p.RemoveDirectoryTree(path)
                                               : p.GetAttributes(path, attributes) &&
                                                     p.SetAttributes(path, attributes & ~static_cast<uint32_t>(kAttrReadOnly)) &&
                                                     p.DeleteFile(path);
            if (!removed) {
                const int error = p.LastError();
                LogError(__LINE__, "Deleting archive backup folder failed. (E%d)", error);
                TV_LOG_INFO(kModBaseArchiver, "Folder name : " + folder);
                SetFileErrorRemark(results, folder, 231, error);
                return false;
            }
        }
        return true;
    };
    // Where a run backs up into a subfolder of its own, the other runs' folders go first.
    const std::string backupRoot = p.WithTrailingSeparator(p.JoinPath(GetDataFolder(), kBackupFolderName));
    if (backupFolder != backupRoot) {
        const std::string own = p.WithTrailingSeparator(backupFolder);
        const bool done = removeFrom(backupRoot, [&](const DirEntry&, const std::string& path) {
            return p.WithTrailingSeparator(path) == own;
        });
        if (!done) return;
    }
    removeFrom(backupFolder, [&](const DirEntry& e, const std::string&) {
        return std::find(runBackups_.begin(), runBackups_.end(), e.name) != runBackups_.end();
    });
}

bool CBaseArchiver::PublishArchive(const std::string& tempPath, int mode, bool splitting, ResultList* results,
                                   StatusView* status) {
    Platform& p = ctx.platform;
    const bool dx = std::string(GetArchiveExtension()) == ".csv";
    if (dx) {
        SetPleaseWaitText(status, 142);
        if (!VerifyWrittenArchive(tempPath)) {
            TV_LOG_ERROR(kModBaseArchiver, "Archival backup failed");
            return false;
        }
    }
    const std::string name = WithoutExtension(FileNameOf(p, tempPath));
    if (!ArchiveFolderAvailable()) {
        publishResult = kArchiveFolderMissing;
        TV_LOG_ERROR(kModBaseArchiver, "Archival file path is not available");
        return false;
    }

    const std::string backupFolder = BackupFolder();
    const std::string backupRoot = p.WithTrailingSeparator(p.JoinPath(GetDataFolder(), kBackupFolderName));
    for (const std::string& folder : {backupRoot, backupFolder}) {
        if (!p.CreateDirectory(folder) && p.LastError() != kErrAlreadyExists) {
            const int error = p.LastError();
            TV_LOG_ERROR(kModBaseArchiver, "Last Archival Backup file folder creation failed");
            ReportBackupFolderError(results, kModBaseArchiver, __LINE__, error, folder);
            return false;
        }
    }
    const std::string backupPath = backupFolder + name + GetBackupExtension();
    if (ToUtf16(backupPath).size() >= kMaxPath + 1) {
        TV_LOG_ERROR(kModBaseArchiver, "Archival backup path length exceeded");
        LogFileName(backupPath);
        SetResultCell(results, 3, 229);
        return false;
    }

    // The temporary file is never the archive itself (see WorkFolder): the
    // archive reaches its name whole, by a rename, in every archive folder.
    std::string sub;
    if (GetArchiveFolderName(sub)) {
        const std::string folder = p.JoinPath(ctx.archivePath, sub);
        if (!p.CreateDirectory(folder) && p.LastError() != kErrAlreadyExists) {
            TV_LOG_ERROR(kModBaseArchiver, "Archival folder creation failed");
            return false;
        }
    }
    const std::string finalPath = WithoutExtension(FinalPathOf(tempPath)) + GetArchiveExtension();
    if (ToUtf16(finalPath).size() >= kMaxPath + 1) {
        TV_LOG_ERROR(kModBaseArchiver, "Archival file path length exceeded");
        LogFileName(finalPath);
        return false;
    }
    SetRowPath(results, finalPath);

    if (!PublishArchiveLog(mode)) return false;

    uint32_t finalAttributes = 0;
    if (p.GetAttributes(finalPath, finalAttributes) &&
        !p.SetAttributes(finalPath, finalAttributes & ~static_cast<uint32_t>(kAttrReadOnly))) {
        LogError(__LINE__, "Removing readonly attribute failed for existing archive File. (E%d)", p.LastError());
        LogFileName(finalPath);
        if (dx) return false;
        copyFailed = true;
    }
    if (!copyFailed) {
        publishState = kPublishCopied;
        if (PublishWithProgress(tempPath, finalPath, status)) {
            LogFileName(finalPath);
            TV_LOG_INFO(kModBaseArchiver, "Archive created successfully");
        } else {
            const int error = p.LastError();
            if (ctx.abortRequested) PumpAndCheckAbort();
            LogError(__LINE__, "Copying archive file failed. (E%d)", error);
            SetFileErrorRemark(results, finalPath, 224, error);
            LogFileName(finalPath);
            TV_LOG_INFO(kModBaseArchiver, "The archive is temporarily copied to " + tempPath);
            if (dx) return false;
            copyFailed = true;
            CopyFailedOnCard(finalPath, tempPath);
        }
    }

    // The backups of the previous run stay until this run has published its
    // last file: a run that fails or is cancelled never leaves fewer.
    if (mode == 0 || (splitting && mode == 1)) runBackups_.clear();
    if (!PublishWithProgress(tempPath, backupPath, status)) {
        const int error = p.LastError();
        if (ctx.abortRequested) PumpAndCheckAbort();
        LogError(__LINE__, "Copying archival backup file failed. (E%d)", error);
        SetFileErrorRemark(results, backupPath, 223, error);
        LogFileName(backupPath);
        return false;
    }
    LogFileName(backupPath);
    TV_LOG_INFO(kModBaseArchiver, "Archive backup created successfully");
    publishState = kPublishBackedUp;
    runBackups_.push_back(FileNameOf(p, backupPath));
    if (!splitting) RemoveOlderBackups(backupFolder, results);

    if (!copyFailed) {
        uint32_t attributes = 0;
        if (p.GetAttributes(tempPath, attributes) &&
            !p.SetAttributes(tempPath, attributes & ~static_cast<uint32_t>(kAttrReadOnly))) {
            LogError(__LINE__, "Removing readonly attribute failed for archive File (temp). (E%d)", p.LastError());
            LogFileName(tempPath);
        } else if (!p.DeleteFile(tempPath)) {
            const int error = p.LastError();
            LogError(__LINE__, "Deleting temp archive file failed.  E(%d)", error);
            SetFileErrorRemark(results, tempPath, 233, error);
            tempCleanupFailed = true;
        }
    }
    // The new archive stays in the data folder when it could not be copied: the
    // archive it was to replace keeps its name rather than being lost.
    if (copyFailed) {
        RestoreSetAside(finalPath);
    } else {
        DeleteBak(finalPath);
    }
    SetPleaseWaitText(status, 123);
    publishState = kPublishIdle;
    return !copyFailed;
}

bool CBaseArchiver::PublishArchiveLog(int /*mode*/) { return true; }

void CBaseArchiver::CopyFailedOnCard(const std::string& /*finalPath*/, const std::string& /*tempPath*/) {}

// --- the card's files -------------------------------------------------------------------------

bool CBaseArchiver::BackupWormFiles(ResultList* results, StatusView* status) {
    Platform& p = ctx.platform;
    TV_LOG_INFO(kModBaseArchiver, "Back up of WORM files started");
    if (!ArchiveFolderAvailable() || !ctx.worm) return false;
    std::string name;
    GetArchiveFolderName(name);
    const std::string target = p.JoinPath(ctx.archivePath, name);
    if (!p.CreateDirectory(target) && p.LastError() != kErrAlreadyExists) {
        TV_LOG_ERROR(kModBaseArchiver, "Worm files Backup creation failed");
        SetFileErrorRemark(results, target, 235, p.LastError());
        return false;
    }
    const std::string root = p.GetDrive(ctx.drive.empty() ? 0 : ctx.drive[0]).root;
    std::vector<std::string> files;
    for (uint32_t k = 0; k < ctx.worm->storeFileCount && k < kMaxStoreFiles; ++k) {
        if (k > 0 && !p.Exists(p.CardFilePath(root, StoreFileName(static_cast<int>(k))))) break;
        files.push_back(StoreFileName(static_cast<int>(k)));
    }
    const size_t storeFiles = files.size();
    files.emplace_back("WORMINFO.DAT");
    files.emplace_back("WORMCOMM.DAT");
    const int step = 50 / static_cast<int>(ctx.worm->storeFileCount + 1);
    int position = progressShare_;
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string source = p.CardFilePath(root, files[i]);
        const std::string copy = p.JoinPath(target, files[i]);
        if (i >= storeFiles && !p.Exists(source)) {
            SetResultCell(results, 3, 177);
            TV_LOG_ERROR(kModBaseArchiver, "Worm files Backup creation failed");
            return false;
        }
        if (status != nullptr) status->SetText(GetMessageText(147));
        if (!ctx.platform.PublishFile(source, copy, [this](uint64_t, uint64_t) {
                ctx.ui.Pump();
                return !ctx.abortRequested;
            })) {
            const int error = p.LastError();
            if (ctx.abortRequested) PumpAndCheckAbort();
            LogError(__LINE__, "Copying worm file for backup failed. (E%d)", error);
            SetFileErrorRemark(results, copy, 225, error);
            LogFileName(source);
            return false;
        }
        position = std::min(100, position + step);
        if (progress_ != nullptr) progress_->SetPos(position);
    }
    TV_LOG_INFO(kModBaseArchiver, "WORM files for backup completed");
    return true;
}

// --- abort ----------------------------------------------------------------------------

void CBaseArchiver::AbortCleanup() {
    if (publishState == kPublishIdle || copyFailed) return;
    Platform& p = ctx.platform;
    const std::string name = FileNameOf(p, cleanupArchivePath);
    auto remove = [&](const std::string& path) {
        uint32_t attributes = 0;
        if (!p.GetAttributes(path, attributes)) return;
        if (!p.SetAttributes(path, attributes & ~static_cast<uint32_t>(kAttrReadOnly))) {
            LogError(__LINE__, "Removing readonly attribute failed. E(%d)", p.LastError());
            LogFileName(path);
            return;
        }
        if (!p.DeleteFile(path)) {
            LogError(__LINE__, "Error deleting archive file. E(%d)", p.LastError());
            LogFileName(path);
        }
    };
    if (publishState == kPublishBackedUp && !tempCleanupFailed) {
        remove(BackupFolder() + WithoutExtension(name) + GetBackupExtension());
    }
    AbortCleanupFiles(remove);
    publishState = kPublishIdle;
}

void CBaseArchiver::AbortCleanupFiles(const std::function<void(const std::string&)>& remove) {
    remove(cleanupArchivePath);
    if (!ArchiveFolderAvailable()) return;
    const std::string finalPath = FinalPathOf(cleanupArchivePath);
    if (publishState > kPublishLogCopied) remove(finalPath);
    RestoreSetAside(finalPath);
}

void CBaseArchiver::RestoreSetAside(const std::string& finalPath) {
    // An archive that this run set aside as ".bak" comes back, read-only as it
    // was: the run that replaced it did not finish.
    Platform& p = ctx.platform;
    const std::string bak = WithoutExtension(finalPath) + GetBackupExtension();
    if (!p.Exists(finalPath) && p.Exists(bak) && p.MoveFile(bak, finalPath)) {
        uint32_t attributes = 0;
        if (p.GetAttributes(finalPath, attributes)) p.SetAttributes(finalPath, attributes | kAttrReadOnly | kAttrArchive);
        TV_LOG_INFO(kModBaseArchiver, "Existing archive restored from its backup");
        LogFileName(finalPath);
    }
}

bool CBaseArchiver::OperationNotAvailable(int module, const char* operation) {
    LogFile::Instance().Write(module, __LINE__, kLogError,
                              std::string(operation) + " is not available in this version of Tallyvault");
    return false;
}

// --- profile --------------------------------------------------------------------------------

bool CBaseArchiver::EnsureProfileFile(ResultList* results) { return EnsureSmcProfileFile(ctx, results); }

bool CBaseArchiver::UpdateProfile(const ProfileRecord& record) { return UpdateSmcProfile(ctx, record); }

void CBaseArchiver::ResetRunFields() {
    publishState = kPublishIdle;
    copyFailed = false;
    backupFolderFailed = false;
    tempCleanupFailed = false;
    tempArchivePath.clear();
    cleanupArchivePath.clear();
    replacedArchives_.clear();
    blockSectors = 0;
    scaleTypeText.clear();
    ClearHashes();
    firstBlock = 0;
    lastClosure = 0;
    lastIncident = 0;
    printableUid.clear();
    storeInfo = StoreInfo{};
    startDateText.clear();
    endDateText.clear();
}

void CBaseArchiver::TakeBoundaries(const BlockBoundaries& found) {
    firstBlock = found.firstBlock;
    lastClosure = found.lastClosure;
    lastIncident = found.lastIncident;
}

bool CBaseArchiver::FailRun(int module, const char* failedLog, ResultList* results) {
    TV_LOG_ERROR(module, failedLog);
    if (results != nullptr && results->ItemCount() > 0) SetResultCell(results, 2, 197);
    return false;
}

bool CBaseArchiver::FinishRun(int module, bool updateProfile, const char* failedLog, const char* backupFailedLog,
                              const char* finishedLog, ResultList* results, StatusView* status) {
    if (updateProfile) {
        ProfileRecord record;
        record.smcUid = storeInfo.smcUid;
        record.scaleSerialNumber = storeInfo.scaleSerialNumber;
        record.startDateText = startDateText;
        record.endDateText = endDateText;
        record.scaleTypeText = storeInfo.scaleTypeText;
        record.customisationId = storeInfo.customisationId;
        record.printableUid = printableUid;
        record.lastArchivedBlock = static_cast<int32_t>(lastIncident);
        if (!UpdateProfile(record)) return FailRun(module, failedLog, results);
    }
    if (ctx.backupSmcOnArchive && !BackupWormFiles(results, status)) return FailRun(module, backupFailedLog, results);
    TV_LOG_INFO(module, finishedLog);
    SetResultCell(results, 2, 196);
    return true;
}

}  // namespace tv
