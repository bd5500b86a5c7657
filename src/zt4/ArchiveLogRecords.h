// The records of an Archive.log read back: which archive files a card's log
// says were made, for the continuity check of a folder of ZT4 archives.
#pragma once

#include <string>
#include <vector>

#include "audit/FileAudit.h"

namespace tv {

// Reads the records of the log at path (its signature is not checked here);
// a damaged record is skipped. False when the file cannot be read or has no
// header line; uid receives the header's 32 hex digits.
bool ReadArchiveLogRecords(const std::string& path, std::string& uid, std::vector<LogRecord>& records);

}  // namespace tv
