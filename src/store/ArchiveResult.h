// The result codes of an archive run, as the run pages show them.
#pragma once

namespace tv {

enum ArchiveResult : int {
    kArchiveDataCheckFailed = 2,   // hash chain, signature, public key, invalid data or names
    kArchiveNoSignature = 3,       // signature block not found after the last closure
    kArchiveNoClosure = 4,         // closure block not found
    kArchiveCorrupted = 5,         // boundary verification failed
    kArchiveNoData = 6,            // next write index 0
    kArchiveRefused = 7,           // the user kept an existing archive
    kArchiveFolderMissing = 8,     // the archive folder is not available
    kArchiveUsageUnreadable = 9,   // the card's usage could not be read
    kArchivePathTooLong = 10,
    kArchiveOtherFailure = 11,     // any other failure (initial value)
};

}  // namespace tv
