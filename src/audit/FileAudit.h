// What a verification learned about each file it checked, beyond the result
// list: the checks and their verdicts, every failing block when asked for, the
// facts that tie a file to its card and to the archives before and after it.
// The verifiers fill it when they are given one; the report, the continuity
// check and the command line's JSON read it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "store/WormBlock.h"

namespace tv {

enum class Verdict { kNotChecked, kPassed, kFailed };

// The checks a file goes through, in the order a report lists them.
enum class CheckKind {
    kFileReadable,     // the file opens and reads as an archive of its kind
    kPublicKey,        // dX: the archive's key is the card's, the pinned one, or itself consistent
    kUniqueId,         // dX against the card: the archive's unique ID is the card's
    kHashChain,        // dX: every block's SHA-256 and the chain of previous hashes
    kBlockOrder,       // dX: block numbers and the order of origin, signature and closure blocks
    kSignatureBlocks,  // dX: the scale's ECDSA signature of every signature block
    kWriteIndex,       // dX against the card: the archive reaches no further than the card's store
    kRootHash,         // dX: the root hash of the archive (standalone: shown; against the card: compared)
    kArchiveFrame,     // ZT4 archive: declaration, <ZT4> and the <digisign> element in place
    kArchiveSignature, // ZT4 archive: the program's signature over the file
    kLogSignature,     // Archive.log: the program's signature over the log
    kLogEntries,       // Archive.log: header line and records readable
};

// Where the public key a file was checked with came from.
enum class KeySource { kNone, kPinned, kCard, kArchive, kBuiltIn };

// How a file ended: verified, shown to be changed / forged / incomplete, or not
// checkable at all (missing, unreadable, not an archive, unsupported version, I/O).
enum class FileOutcome { kVerified, kIntegrityFailure, kNotChecked };

struct CheckResult {
    CheckKind kind;
    Verdict verdict = Verdict::kNotChecked;
    std::u16string detail;  // shown beside the verdict (a root hash, a block number...)
};

// One failing block. position: the sector position of the block in the card's
// store as the archive gives it; number: its block number where it has one.
struct Finding {
    uint32_t position = 0;
    bool hasNumber = false;
    uint32_t number = 0;
    std::u16string reason;
};

// One block of an archive as the continuity check needs it.
struct BlockMark {
    char type = 0;          // record type letter (dX) or kind letter (ZT4)
    bool numbered = false;  // long-form dX block with a current block number
    uint32_t number = 0;
    uint32_t position = 0;  // sector position in the card's store
    BlockHash previousHash{};
    BlockHash currentHash{};
    std::string date;       // "YYYY-MM-DD HH:MM:SS" where the block carries a date, else empty
};

// One record of a ZT4 card's Archive.log.
struct LogRecord {
    std::string scaleSerial;
    std::string smcUid;
    std::string archivePath;  // "Archive file path" of the run
    std::string fileName;     // "Archive file name"
    std::string startDate;    // "YYYY-MM-DD HH:MM:SS"
    std::string endDate;
    std::string created;
    std::string completed;
};

struct FileAudit {
    std::string path;
    std::string family;        // "dX", "ZT4" or "Archive.log"
    int64_t size = -1;         // bytes; -1 when the file could not be read
    std::string sha256;        // 64 lower-case hex digits of the whole file; empty when unreadable

    // What the file was checked against.
    bool againstCard = false;
    std::string cardUid;       // the card's unique ID when checked against it
    std::string cardSerial;    // the card's scale serial number when checked against it
    KeySource keySource = KeySource::kNone;
    std::string publicKey;     // the key used, as hex text (dX: "04..."), empty when none

    // What the file itself says.
    std::string smcUid;        // dX: the archive's SMC unique ID; ZT4: <ncd>; log: the header UID
    std::string scaleSerial;   // dX: StoreInfo serial; ZT4: <ssn>
    std::string rootHash;      // dX: 64 hex digits

    std::vector<CheckResult> checks;
    std::vector<Finding> findings;    // the first failure, or every one with all findings (capped)
    size_t findingsNotListed = 0;     // failures beyond the cap
    FileOutcome outcome = FileOutcome::kNotChecked;

    // Continuity facts (dX): the blocks after the file's leading blocks (those up
    // to and including its first signature block) — the first few of them and
    // the last one — and the span of block numbers and dates of the whole file.
    size_t leadingBlocks = 0;          // blocks up to and including the first signature block
    std::vector<BlockMark> head;       // up to kHeadMarks blocks after the leading ones
    BlockMark last;                    // the file's last block
    bool hasNumbers = false;
    uint32_t firstNumber = 0;          // first and last block number after the leading blocks
    uint32_t lastNumber = 0;
    std::string firstDate;             // first and last block date after the leading blocks
    std::string lastDate;
    uint64_t blockCount = 0;

    // Archive.log: its records, in file order.
    std::vector<LogRecord> logRecords;

    static constexpr size_t kHeadMarks = 4;

    // Sets (or replaces) the verdict of a check, keeping the first-seen order.
    void SetCheck(CheckKind kind, Verdict verdict, std::u16string detail = {});
    const CheckResult* FindCheck(CheckKind kind) const;
};

// How a verification is asked to run, beyond the specified behaviour.
struct AuditOptions {
    bool allFindings = false;            // go on after the first failing block of a file
    size_t findingsCap = 100;            // failing blocks listed per file; the rest are counted
    std::string pinnedKey;               // dX standalone: "04" + 264 hex digits; empty when not pinned
};

// The files of one verification, in the order they were checked.
struct AuditTrail {
    AuditOptions options;
    std::vector<FileAudit> files;
    FileAudit& Begin(const std::string& path, const std::string& family);
};

// 0 every file verified, 1 an integrity failure in any file, 2 no integrity
// failure but a file that could not be checked (or no file at all).
int ExitStatusOf(const AuditTrail& trail);

}  // namespace tv
