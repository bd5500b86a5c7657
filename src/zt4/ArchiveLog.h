// Archive.log in the card's open area: the record of every ZT4 archive file made
// from the card, signed by the system. An archive run works on a copy in the data
// folder; each finished archive file adds its record to the copy, which is signed
// and then put on the card.
#pragma once

#include <string>

namespace tv {

class AppContext;
class ResultList;

// What the log records of one archive file.
struct ArchiveLogRecord {
    std::string scaleSerialNumber;
    std::string smcUid;           // 32 hex digits
    std::string archiveFolder;    // destination folder + separator + archive folder name
    std::string fileName;         // S_E.xml
    std::string creationTime;     // "%Y-%m-%d %H:%M:%S"
    std::string completionTime;
};

// The card's log (card root + "Archive.log") and the run's copy in the data folder.
std::string CardArchiveLogPath(AppContext& ctx);
std::string DataArchiveLogPath();

// When a ZT4 card is chosen for archiving: archiveLogState 0 when the card has
// no Archive.log, 2 when its first line carries the card's UID, 1 (with message
// 275) when it carries another or is too short. False when the log or the card's
// unique ID cannot be read. A log left half-replaced by an interrupted run is put
// right first.
bool CheckArchiveLogUid(AppContext& ctx, const std::string& logPath);

// More than 1024 bytes free in the card's open area; otherwise message 276.
bool CheckLogSpace(AppContext& ctx, ResultList* results);

// The card's log over the data-folder copy.
bool CopyArchiveLogFromCard(AppContext& ctx);

// The Archive.log validation on the copy; a failure sets archiveLogState to 1.
bool ValidateArchiveLogCopy(AppContext& ctx, const std::string& path);

// Adds the record of one finished archive file to the data-folder copy and signs
// it: an untrusted card log is renamed aside first and a new log starts; a
// trusted one is validated (first file of a run) and extended. fileIndex 0 or 1
// is the first file of the run, which also writes the run header.
bool UpdateArchiveLog(AppContext& ctx, const ArchiveLogRecord& record, int fileIndex);

bool WriteArchiveLogRecord(AppContext& ctx, const ArchiveLogRecord& record, const std::string& logPath,
                           int fileIndex);

// Cuts "\r\nDigital Signature:\r\n" and the signature text off the end of the log.
bool RemoveLogSignature(const std::string& logPath);

// Renames the card's Archive.log to Archive_<local time>_invalid.log (message 277).
bool RenameInvalidArchiveLog(AppContext& ctx);

// Replaces the card's log by the data-folder copy so that after a crash at any
// point the card holds either the old log or the complete new one
// (Platform::PublishFile).
bool PublishArchiveLogToCard(AppContext& ctx, int& error);

// What an interrupted replacement left in the card's root is put right: an
// incomplete copy goes; a complete new log of an unfinished ".new"/".old" swap
// takes the log's name.
void RecoverCardArchiveLog(AppContext& ctx, const std::string& cardRoot);

}  // namespace tv
