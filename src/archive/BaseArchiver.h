// The archive operation of one run, whatever its kind and family: the shared
// fields, the result codes and the steps every run shares — the temporary file
// in the work folder of the data folder, the hash chain, publishing to the
// archive folder with a backup in LastArchiveBackup, ".bak" files, copies of
// the card's files and the clean-up after an abort.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "store/ArchiveResult.h"
#include "store/WormBlock.h"

namespace tv {

class AppContext;
struct BlockBoundaries;
class ProgressView;
class ResultList;
class StatusView;

// publishState: where the run stands.
enum PublishState : uint16_t {
    kPublishIdle = 0,
    kPublishWriting = 1,      // a temporary archive file is being written
    kPublishLogCopied = 2,    // Archive.log copied to the card
    kPublishCopied = 3,       // the copy to the archive folder was attempted
    kPublishBackedUp = 4,     // the backup copy was made
};

enum class ExistingArchiveMode { Ask, Automatic };

// What a run records in the card profile.
struct ProfileRecord {
    std::string smcUid;          // 32 hex digits: the section "SMC_" + UID
    std::string scaleSerialNumber;
    std::string startDateText;
    std::string endDateText;
    std::string scaleTypeText;
    std::string customisationId;
    std::string printableUid;
    int32_t lastArchivedBlock = 0;
};

class CBaseArchiver {
public:
    explicit CBaseArchiver(AppContext& context);
    virtual ~CBaseArchiver();
    CBaseArchiver(const CBaseArchiver&) = delete;
    CBaseArchiver& operator=(const CBaseArchiver&) = delete;

    // --- the operations of each family and run, in slot order -------------------
    virtual void SetStartDate(int64_t /*date*/) {}
    virtual void SetEndDate(int64_t /*date*/) {}
    virtual bool EnsureProfileFile(ResultList* results);
    virtual bool ReadLastArchived() { return false; }
    virtual bool VerifyWrittenArchive(const std::string& /*path*/) { return true; }
    // dX: the archive base name (returns false: no subfolder); ZT4: the folder name.
    virtual bool GetArchiveFolderName(std::string& name) const = 0;
    virtual const char* GetBackupExtension() const = 0;
    virtual const char* GetArchiveExtension() const = 0;
    virtual bool VerifySignatureBlock(const WormBlock& block, int& result) = 0;
    virtual bool UpdateProfile(const ProfileRecord& record);
    virtual bool Run(ProgressView* progress, int& result, ResultList* results, StatusView* status) = 0;
    virtual bool VerifyBoundaryBlocks(uint32_t lastIndex, int& result) = 0;
    virtual bool CreateArchive(uint32_t count, uint32_t searchLimit, uint32_t firstBlockNumber, int& result,
                               ProgressView* progress, ResultList* results, StatusView* status) = 0;

    // --- shared steps ---------------------------------------------------------------
    // Before writing tempPath: an archive of that name in the archive folder is
    // kept (Ask + No: result 7) or turned into a ".bak" file.
    bool HandleExistingArchive(const std::string& tempPath, ExistingArchiveMode mode, int& result,
                               ResultList* results, StatusView* status);
    // Before a run that replaces existing archives besides the one of its own
    // name (the parts of an earlier run of the range, an archive whose range
    // lies inside the run's): one question names them all, and the one of the
    // run's own name when it exists. No: result 7, nothing is touched. Yes: mode
    // becomes Automatic, and those the run does not publish again under their
    // names are removed once it has published its last file.
    bool AskReplaceArchives(const std::string& tempPath, const std::vector<std::string>& others,
                            ExistingArchiveMode& mode, int& result, StatusView* status);
    // After a run's last file is published: removes the archives the user agreed
    // to replace that the run has not published again. published: the temporary
    // paths of the run's files.
    void RemoveReplacedArchives(const std::vector<std::string>& published, ResultList* results);
    // The block's current hash is the SHA-256 of its first P + 32 bytes, and its
    // previous hash the current hash of the block before, unless a start flag is
    // set. Result 2 on failure; clears both flags on success.
    bool VerifyBlockHash(const WormBlock& block, bool& runStart, bool& fileStart, int& result);
    // Before each block: lastCurrentHash = currentHash, then the block's trailer.
    void TakeTrailerHashes(const WormBlock& block);
    bool FinishArchive(bool split, ResultList* results, StatusView* status);
    // mode 0: one file; 2: the last file of a split run; 1, 2, ...: a part published by a split.
    bool PublishArchive(const std::string& tempPath, int mode, bool splitting, ResultList* results,
                        StatusView* status);
    bool RenameToBak(const std::string& path);
    bool DeleteBak(const std::string& publishedPath);
    bool DeleteArchiveFile(const std::string& path, ResultList* results);
    bool BackupWormFiles(ResultList* results, StatusView* status);
    // Undoes what the run has produced (publishState tells how far it got).
    void AbortCleanup();

    // --- progress and abort ----------------------------------------------------------
    void StartProgress(ProgressView* progress, uint64_t totalSectors);
    void AdvanceProgress(uint64_t sectors);
    // Pumps the user interface; when the user asked to abort, cleans up and ends
    // the program.
    void PumpAndCheckAbort();

    // --- paths ---------------------------------------------------------------------
    bool ArchiveFolderAvailable() const;
    // Where the temporary files of a run are written: a folder of its own in
    // the data folder, so that no file is ever written under a name that an
    // archive has in some archive folder (the data folder may be one).
    std::string WorkFolder() const;
    // Creates the work folder; logs a failure.
    bool CreateWorkFolder();
    // data folder + LastArchiveBackup + separator (ZT4: + folder name + separator).
    std::string BackupFolder() const;
    // archive folder (+ ZT4 folder name) + file name of the temporary file.
    std::string FinalPathOf(const std::string& tempPath) const;

    AppContext& ctx;
    uint16_t publishState = kPublishIdle;
    bool copyFailed = false;
    bool backupFolderFailed = false;
    bool tempCleanupFailed = false;
    // The result code of a failed publish that has one of its own (8: the
    // archive folder is gone); 0 otherwise.
    int publishResult = 0;
    std::string tempArchivePath;
    std::string cleanupArchivePath;
    uint32_t blockSectors = 0;
    std::string scaleTypeText;
    BlockHash previousHash{};
    BlockHash currentHash{};
    BlockHash lastCurrentHash{};
    uint32_t firstBlock = 0;
    uint32_t lastClosure = 0;
    uint32_t lastIncident = 0;
    std::string printableUid;
    StoreInfo storeInfo;        // the card's identity, from CheckPublicKeyIntegrity
    std::string startDateText;  // YYYY-MM-DD of the run's first and last dated blocks
    std::string endDateText;

protected:
    // What the runs that this version does not carry out yet answer: the log
    // says so and the run fails.
    static bool OperationNotAvailable(int module, const char* operation);

    // Family hooks of publishing and clean-up: ZT4 copies Archive.log to the card
    // and leaves an error file on it when the archive could not be copied; the
    // files a cancelled run removes differ by family.
    virtual bool PublishArchiveLog(int mode);
    virtual void CopyFailedOnCard(const std::string& finalPath, const std::string& tempPath);
    virtual void AbortCleanupFiles(const std::function<void(const std::string&)>& remove);
    // Removes from the backup folder everything but this run's backups.
    void RemoveOlderBackups(const std::string& backupFolder, ResultList* results);
    // Puts the ".bak" of finalPath back under its name when that name is missing.
    void RestoreSetAside(const std::string& finalPath);

    // Publishes a copy (Platform::PublishFile) with progress, cancelled when the
    // user asks to abort.
    bool PublishWithProgress(const std::string& from, const std::string& to, StatusView* status);
    // Zero the hash fields (between files of a split run).
    void ClearHashes();
    // The run fields every family starts a run with.
    void ResetRunFields();
    // The first dated block, last closure and last signature incident that the
    // boundary check of a run found.
    void TakeBoundaries(const BlockBoundaries& found);
    // A run that failed after its archive was started: the log and the row's result.
    bool FailRun(int module, const char* failedLog, ResultList* results);
    // The end of a run whose archive is published: the card profile (for runs that
    // move the continue point), the copies of the card's files, the log and the
    // row's result. backupFailedLog: what the log says when the copies fail.
    bool FinishRun(int module, bool updateProfile, const char* failedLog, const char* backupFailedLog,
                   const char* finishedLog, ResultList* results, StatusView* status);

    ProgressView* progress_ = nullptr;
    uint64_t progressTotal_ = 0;
    uint64_t progressDone_ = 0;
    int progressShare_ = 100;  // 50 when the card's files are copied as well
    std::vector<std::string> runBackups_;  // file names of this run's backups
    std::vector<std::string> replacedArchives_;  // archives the user agreed to replace
};

// The archive operation of a type (1 complete, 2 continue from last, 3
// date-based) and the context's scale family, made the context's current
// archiver; an unknown type ends the program.
void SetArchiveType(AppContext& ctx, int32_t archiveType);

}  // namespace tv
