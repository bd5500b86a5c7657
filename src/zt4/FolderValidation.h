// Validation of every ZT4 archive in a folder: each ".xml" file of the folder
// and of its subfolders (one level, as the archive folder holds one folder per
// run) is validated on its own, one result row each, in name order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audit/FileAudit.h"

namespace tv {

class ProgressView;
class ResultList;

// True when at least one archive was found and every one is valid.
bool ValidateZt4Folder(const std::string& folder, ProgressView* progress, ResultList* results);

// The folder, or one of its subfolders, holds a ".xml" file.
bool HoldsZt4Archives(const std::string& folder);

// One file validated on its own (kind 1 an archive, 3 an Archive.log), as the
// verification page does it in standalone mode; the context's verification
// fields are as they were afterwards.
bool ValidateZt4File(uint32_t kind, const std::string& path, ProgressView* progress, ResultList* results);

// The Archive.log a folder's continuity is compared with.
struct ContinuityLog {
    enum class Use { kNone, kGiven, kFound, kFoundInvalid };
    Use use = Use::kNone;
    std::string path;                // the log looked at; empty when none
    bool read = false;               // its records were read
    std::vector<LogRecord> records;  // when read
    const std::vector<LogRecord>* Records() const { return read ? &records : nullptr; }
    // "given", "found", "found-invalid", "unreadable", or "" for none.
    const char* UseText() const;
};

// The given log (the card's, or one the user named), or else the folder's own
// Archive.log, taken only when it validates: a log that fails its own checks says
// nothing the continuity could trust. The found log's validation is not part of
// any run (the context's audit trail does not see it).
ContinuityLog ChooseContinuityLog(const std::string& folder, const std::string& given);

// The Archive.log in the root of the card in a drive ("" when the drive holds
// no such file), and that of the first drive, A to Z, that holds one.
std::string CardArchiveLogAt(char letter);
std::string FirstCardArchiveLog();

}  // namespace tv
