// Whether the archives of a folder join up: grouped by card, put in card order,
// each pair of neighbours joined, overlapping or apart; and, for ZT4 cards whose
// Archive.log is given, which logged files the folder lacks or holds otherwise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "audit/FileAudit.h"

namespace tv {

enum class JoinKind {
    kJoined,      // the second file goes on where the first ended (beyond the repeated anchor)
    kGap,         // blocks (dX) between the two files are in neither
    kOverlap,     // the second file repeats blocks of the first beyond the anchor
    kChainBreak,  // numbers join but the second file's first hash does not chain to the first's last
    kUnknown,     // a file of the pair gave no blocks to compare (unreadable, failed early)
};

// Two neighbouring files of one card.
struct Join {
    size_t before = 0;  // indices into AuditTrail::files
    size_t after = 0;
    JoinKind kind = JoinKind::kUnknown;
    uint32_t missingFirst = 0;  // kGap: the block numbers neither file holds
    uint32_t missingLast = 0;
    uint32_t repeatedFirst = 0; // kOverlap: the block numbers both files hold beyond the anchor
    uint32_t repeatedLast = 0;
};

// A stretch of the journal the folder covers without a gap.
struct CoveredSpan {
    bool hasNumbers = false;
    uint32_t firstNumber = 0;
    uint32_t lastNumber = 0;
    std::string firstDate;
    std::string lastDate;
};

struct CardContinuity {
    std::string family;       // "dX" or "ZT4"
    std::string smcUid;
    std::string scaleSerial;
    std::vector<size_t> files;       // indices into AuditTrail::files, in card order
    std::vector<CoveredSpan> covered;
    std::vector<Join> joins;         // one per neighbouring pair, in order
    // ZT4 with an Archive.log: records whose file is not in the folder, records
    // whose file is there but whose dates differ, and files the log does not name.
    bool logGiven = false;
    std::vector<LogRecord> missingFromFolder;
    std::vector<LogRecord> differingFromLog;
    std::vector<size_t> notInLog;

    bool Complete() const;  // every pair joined (none unknown) and no log mismatch
};

struct ContinuityReport {
    std::vector<CardContinuity> cards;
    bool Complete() const;
};

// archiveLog: the records of the card's Archive.log, or null when none is given.
ContinuityReport CheckContinuity(const AuditTrail& trail, const std::vector<LogRecord>* archiveLog);

}  // namespace tv
