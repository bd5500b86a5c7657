#include "audit/Continuity.h"

#include <algorithm>
#include <optional>

namespace tv {
namespace {

constexpr const char* kLogFamily = "Archive.log";

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

// The name of a file without its folder, whichever separator the path uses.
std::string BaseName(const std::string& path) {
    const size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool HasBlocks(const FileAudit& file) { return file.blockCount > 0 && file.hasNumbers; }

// Where the new blocks of `after` begin: past the final anchor of `before`
// (its last signature incident and signature blocks) when `after` repeats it.
struct Start {
    bool anchorRepeated = false;
    std::optional<size_t> head;  // index into after.head of the first new numbered block
};

Start FindStart(const FileAudit& before, const FileAudit& after) {
    Start start;
    size_t from = 0;
    // The anchor is at most the W and S pair at the top of the head.
    for (size_t i = 0; i < after.head.size() && i < 2; ++i) {
        if (after.head[i].currentHash == before.last.currentHash) {
            start.anchorRepeated = true;
            from = i + 1;
            break;
        }
    }
    for (size_t i = from; i < after.head.size(); ++i) {
        if (after.head[i].numbered) {
            start.head = i;
            break;
        }
    }
    return start;
}

Join JoinDx(const std::vector<FileAudit>& files, size_t a, size_t b) {
    Join join;
    join.before = a;
    join.after = b;
    const FileAudit& first = files[a];
    const FileAudit& second = files[b];
    if (!HasBlocks(first) || !HasBlocks(second)) return join;  // kUnknown

    const Start start = FindStart(first, second);
    uint32_t number = second.firstNumber;
    if (start.head) {
        number = second.head[*start.head].number;
    } else if (start.anchorRepeated) {
        // Nothing numbered after the anchor among the blocks kept: the file
        // holds the anchor and at most what follows it up to its last block.
        if (second.lastNumber <= first.lastNumber) {
            join.kind = JoinKind::kJoined;
            return join;
        }
        number = second.lastNumber;  // at least, the numbers go on
    }

    const uint64_t next = static_cast<uint64_t>(first.lastNumber) + 1;
    if (number > next) {
        join.kind = JoinKind::kGap;
        join.missingFirst = static_cast<uint32_t>(next);
        join.missingLast = number - 1;
        return join;
    }
    if (number < next) {
        join.kind = JoinKind::kOverlap;
        join.repeatedFirst = number;
        join.repeatedLast = std::min(first.lastNumber, second.lastNumber);
        return join;
    }
    join.kind = JoinKind::kJoined;
    // The block before the first new one is the first file's last block when
    // it directly follows the repeated anchor, or opens the head without one.
    if (start.head) {
        const size_t index = *start.head;
        const bool followsLast = start.anchorRepeated ? index >= 1 &&
                                     second.head[index - 1].currentHash == first.last.currentHash
                                                      : index == 0;
        if (followsLast && second.head[index].previousHash != first.last.currentHash) {
            join.kind = JoinKind::kChainBreak;
        }
    }
    return join;
}

Join JoinZt4(const std::vector<FileAudit>& files, size_t a, size_t b) {
    Join join;
    join.before = a;
    join.after = b;
    const FileAudit& first = files[a];
    const FileAudit& second = files[b];
    if (first.firstDate.empty() || first.lastDate.empty() || second.firstDate.empty()) return join;
    join.kind = second.firstDate < first.lastDate ? JoinKind::kOverlap : JoinKind::kJoined;
    return join;
}

void OrderFiles(const std::vector<FileAudit>& files, CardContinuity& card) {
    const bool dx = card.family == "dX";
    std::stable_sort(card.files.begin(), card.files.end(), [&](size_t x, size_t y) {
        const FileAudit& a = files[x];
        const FileAudit& b = files[y];
        if (dx) {
            if (HasBlocks(a) != HasBlocks(b)) return HasBlocks(a);
            if (!HasBlocks(a)) return false;
            if (a.firstNumber != b.firstNumber) return a.firstNumber < b.firstNumber;
            const uint32_t pa = a.head.empty() ? 0 : a.head.front().position;
            const uint32_t pb = b.head.empty() ? 0 : b.head.front().position;
            return pa < pb;
        }
        if (a.firstDate.empty() != b.firstDate.empty()) return !a.firstDate.empty();
        if (a.firstDate != b.firstDate) return a.firstDate < b.firstDate;
        return a.lastDate < b.lastDate;
    });
}

void Widen(CoveredSpan& span, const FileAudit& file) {
    if (file.hasNumbers) {
        if (!span.hasNumbers) {
            span.hasNumbers = true;
            span.firstNumber = file.firstNumber;
            span.lastNumber = file.lastNumber;
        } else {
            span.firstNumber = std::min(span.firstNumber, file.firstNumber);
            span.lastNumber = std::max(span.lastNumber, file.lastNumber);
        }
    }
    if (!file.firstDate.empty() && (span.firstDate.empty() || file.firstDate < span.firstDate)) {
        span.firstDate = file.firstDate;
    }
    if (!file.lastDate.empty() && file.lastDate > span.lastDate) span.lastDate = file.lastDate;
}

bool Covers(const FileAudit& file, bool dx) {
    return dx ? HasBlocks(file) : !file.firstDate.empty();
}

void JoinUp(const std::vector<FileAudit>& files, CardContinuity& card) {
    const bool dx = card.family == "dX";
    OrderFiles(files, card);
    for (size_t i = 0; i + 1 < card.files.size(); ++i) {
        card.joins.push_back(dx ? JoinDx(files, card.files[i], card.files[i + 1])
                                : JoinZt4(files, card.files[i], card.files[i + 1]));
    }
    for (size_t i = 0; i < card.files.size(); ++i) {
        const FileAudit& file = files[card.files[i]];
        if (!Covers(file, dx)) continue;
        const bool goesOn = i > 0 && !card.covered.empty() &&
                            card.joins[i - 1].kind != JoinKind::kGap &&
                            card.joins[i - 1].kind != JoinKind::kUnknown;
        if (!goesOn) card.covered.emplace_back();
        Widen(card.covered.back(), file);
    }
}

bool SameCard(const LogRecord& record, const CardContinuity& card) {
    return EqualNoCase(record.smcUid, card.smcUid);
}

void CompareWithLog(const std::vector<FileAudit>& files, const std::vector<LogRecord>& records,
                    CardContinuity& card, std::vector<bool>& taken) {
    card.logGiven = true;
    std::vector<const LogRecord*> mine;
    for (size_t i = 0; i < records.size(); ++i) {
        if (SameCard(records[i], card)) {
            mine.push_back(&records[i]);
            taken[i] = true;
        }
    }
    if (mine.empty() && !card.scaleSerial.empty()) {
        // The archive names its card by a printable UID, the log by hex digits:
        // the scale's serial number ties them together.
        for (size_t i = 0; i < records.size(); ++i) {
            if (!taken[i] && records[i].scaleSerial == card.scaleSerial) {
                mine.push_back(&records[i]);
                taken[i] = true;
            }
        }
    }
    const auto findFile = [&](const std::string& name) -> std::optional<size_t> {
        for (size_t index : card.files) {
            if (EqualNoCase(BaseName(files[index].path), name)) return index;
        }
        return std::nullopt;
    };
    std::vector<bool> named(files.size(), false);
    std::vector<std::string> differingNames;
    for (const LogRecord* record : mine) {
        const std::string name = BaseName(record->fileName);
        const std::optional<size_t> index = findFile(name);
        if (!index) {
            card.missingFromFolder.push_back(*record);
            continue;
        }
        named[*index] = true;
        const FileAudit& file = files[*index];
        if (record->startDate != file.firstDate || record->endDate != file.lastDate) {
            card.differingFromLog.push_back(*record);
        }
    }
    // A file logged more than once (a run done again) differs only when no
    // record of it holds its dates.
    std::vector<LogRecord> differing;
    for (const LogRecord& record : card.differingFromLog) {
        const std::string name = BaseName(record.fileName);
        const FileAudit& file = files[*findFile(name)];
        const bool someMatch = std::any_of(mine.begin(), mine.end(), [&](const LogRecord* other) {
            return EqualNoCase(BaseName(other->fileName), name) && other->startDate == file.firstDate &&
                   other->endDate == file.lastDate;
        });
        if (!someMatch) differing.push_back(record);
    }
    card.differingFromLog = std::move(differing);
    for (size_t index : card.files) {
        if (!named[index]) card.notInLog.push_back(index);
    }
}

// Log records that belong to no card of the folder: their files are all missing.
void AddCardsOnlyLogged(const std::vector<LogRecord>& records, const std::vector<bool>& taken,
                        ContinuityReport& report) {
    const size_t folderCards = report.cards.size();
    for (size_t i = 0; i < records.size(); ++i) {
        if (taken[i]) continue;
        const LogRecord& record = records[i];
        CardContinuity* card = nullptr;
        for (size_t c = folderCards; c < report.cards.size(); ++c) {
            if (SameCard(record, report.cards[c])) card = &report.cards[c];
        }
        if (!card) {
            card = &report.cards.emplace_back();
            card->family = "ZT4";
            card->smcUid = record.smcUid;
            card->scaleSerial = record.scaleSerial;
            card->logGiven = true;
        }
        card->missingFromFolder.push_back(record);
    }
}

}  // namespace

bool CardContinuity::Complete() const {
    for (const Join& join : joins) {
        // A pair that could not be compared (an unreadable file) leaves the join unproven.
        if (join.kind != JoinKind::kJoined) return false;
    }
    return missingFromFolder.empty() && differingFromLog.empty() && notInLog.empty();
}

bool ContinuityReport::Complete() const {
    return std::all_of(cards.begin(), cards.end(), [](const CardContinuity& card) { return card.Complete(); });
}

ContinuityReport CheckContinuity(const AuditTrail& trail, const std::vector<LogRecord>* archiveLog) {
    ContinuityReport report;
    const std::vector<FileAudit>& files = trail.files;
    for (size_t i = 0; i < files.size(); ++i) {
        const FileAudit& file = files[i];
        if (file.family == kLogFamily) continue;
        CardContinuity* card = nullptr;
        for (CardContinuity& existing : report.cards) {
            if (existing.family == file.family && existing.smcUid == file.smcUid) card = &existing;
        }
        if (!card) {
            card = &report.cards.emplace_back();
            card->family = file.family;
            card->smcUid = file.smcUid;
        }
        if (card->scaleSerial.empty()) card->scaleSerial = file.scaleSerial;
        card->files.push_back(i);
    }
    std::vector<bool> taken(archiveLog ? archiveLog->size() : 0, false);
    for (CardContinuity& card : report.cards) {
        JoinUp(files, card);
        if (archiveLog && card.family == "ZT4") CompareWithLog(files, *archiveLog, card, taken);
    }
    if (archiveLog) AddCardsOnlyLogged(*archiveLog, taken, report);
    return report;
}

}  // namespace tv
