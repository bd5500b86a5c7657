// What the dX verifier notes for an audit trail: the checks of each file, its
// failing blocks, and the continuity facts of its blocks. Nothing here changes
// what the verification shows, logs or returns without all findings.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

#include "app/AppContext.h"
#include "audit/FileDigest.h"
#include "dx/CsvFieldReader.h"
#include "dx/VerifierdX.h"
#include "messages/Messages.h"
#include "platform/Text.h"

namespace tv {

namespace {

constexpr size_t kDateOffset = 22;  // the record's date opens the first sector's payload
constexpr size_t kDateLength = 19;  // "YYYY-MM-DD HH:MM:SS"

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// The date of a dated long-form block as "YYYY-MM-DD HH:MM:SS"; false when the
// block is of another type or its first bytes are no date. The separators are
// written as the text has them whatever the block holds.
bool DateOfBlock(const std::vector<uint8_t>& block, char type, char (&date)[20]) {
    if (type != 'E' && type != 'T' && type != 'U') return false;
    if (block.size() < kDateOffset + kDateLength) return false;
    const uint8_t* d = block.data() + kDateOffset;
    static constexpr size_t kDigits[] = {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15};
    for (size_t i : kDigits) {
        if (!IsDigit(d[i])) return false;
    }
    std::memcpy(date, d, kDateLength);
    date[4] = '-';
    date[7] = '-';
    date[10] = ' ';
    date[13] = ':';
    date[16] = ':';
    // Seconds where the record has them, else the minute's start.
    if (!IsDigit(d[17]) || !IsDigit(d[18])) {
        date[17] = '0';
        date[18] = '0';
    }
    date[19] = '\0';
    return true;
}

std::string UpperCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

void CVerifierdX::BeginAudit() {
    audit_ = nullptr;
    auditState_ = AuditState{};
    AppContext& ctx = GetAppContext();
    if (ctx.auditTrail == nullptr) return;
    AuditTrail& trail = *ctx.auditTrail;
    const bool card = ctx.verificationMode != 2;
    audit_ = &trail.Begin(path, "dX");
    auditState_.allFindings = trail.options.allFindings;
    auditState_.findingsCap = trail.options.findingsCap;
    if (!card) auditState_.pinnedKey = UpperCase(trail.options.pinnedKey);
    FileAudit& f = *audit_;
    f.againstCard = card;
    f.keySource = card ? KeySource::kCard
                       : (auditState_.pinnedKey.empty() ? KeySource::kArchive : KeySource::kPinned);
    f.SetCheck(CheckKind::kFileReadable, Verdict::kNotChecked);
    f.SetCheck(CheckKind::kPublicKey, Verdict::kNotChecked);
    if (card) f.SetCheck(CheckKind::kUniqueId, Verdict::kNotChecked);
    f.SetCheck(CheckKind::kHashChain, Verdict::kNotChecked);
    f.SetCheck(CheckKind::kBlockOrder, Verdict::kNotChecked);
    f.SetCheck(CheckKind::kSignatureBlocks, Verdict::kNotChecked);
    if (card) f.SetCheck(CheckKind::kWriteIndex, Verdict::kNotChecked);
    f.SetCheck(CheckKind::kRootHash, Verdict::kNotChecked);
    // The whole file is hashed on another thread while the blocks are checked here.
    digest_ = Sha256OfFileInBackground(path);
}

void CVerifierdX::EndAudit(bool opened, bool ok) {
    if (audit_ == nullptr) return;
    FileAudit& f = *audit_;
    AuditState& a = auditState_;
    f.sha256 = digest_.valid() ? digest_.get() : std::string();
    f.size = opened ? fileSize : -1;
    if (!opened) {
        a.notCheckable = true;
        f.SetCheck(CheckKind::kFileReadable, Verdict::kFailed, GetMessageText(fileMissing ? 177 : 615));
    }
    f.smcUid = archiveSmcUid;
    f.scaleSerial = scaleSerialNumber;
    if (f.againstCard) {
        f.cardUid = cardSmcUid;
        f.cardSerial = cardSerialNumber;
        f.publicKey = cardPublicKey;
    } else {
        f.publicKey = a.pinnedKey.empty() ? archivePublicKey : a.pinnedKey;
    }
    if (f.blockCount != 0) {
        f.last = a.last;
        f.last.date = a.lastMarkDate;
    }
    f.lastDate = a.lastDate;

    if (ok) {
        f.outcome = FileOutcome::kVerified;
    } else if (a.notCheckable) {
        f.outcome = FileOutcome::kNotChecked;
    } else {
        f.outcome = FileOutcome::kIntegrityFailure;
    }
    // The checks that run through the whole file passed when the whole file was
    // looked at (verified, or walked to its end for all findings) without failing them.
    if (ok || (a.walkedToEnd && !a.notCheckable)) {
        for (const CheckResult& check : f.checks) {
            if (check.verdict == Verdict::kNotChecked) f.SetCheck(check.kind, Verdict::kPassed);
        }
    }
    if (const CheckResult* root = f.FindCheck(CheckKind::kRootHash);
        root != nullptr && root->verdict == Verdict::kPassed) {
        f.SetCheck(CheckKind::kRootHash, Verdict::kPassed, ToUtf16(f.rootHash));
    }
    audit_ = nullptr;
}

void CVerifierdX::NoteFailure(CheckKind check, MessageId reason, uint32_t position, bool hasNumber,
                              uint32_t number) {
    blameCheck_ = CheckKind::kHashChain;
    blameReason_ = 604;
    if (audit_ == nullptr) return;
    AuditState& a = auditState_;
    FileAudit& f = *audit_;
    if (file != nullptr && file->ReadFailed()) {
        // What fails once the file could not be read further fails for want of
        // its bytes: one finding tells so, and the run ends there. The file
        // could not be checked, unless a block had failed before the read error
        // (the file was changed whatever the rest of it holds).
        if (a.readErrorNoted) return;
        a.readErrorNoted = true;
        a.fatal = true;
        if (!a.failed) a.notCheckable = true;
        check = CheckKind::kFileReadable;
        reason = 616;
    } else if (!a.firstLineRead && !a.failed) {
        // A failure before the first line was made out: not an archive to check.
        a.notCheckable = true;
        a.fatal = true;
        if (reason != 612 && reason != 614) {
            check = CheckKind::kFileReadable;
            reason = 613;
        }
    } else if (!a.failed) {
        f.SetCheck(CheckKind::kFileReadable, Verdict::kPassed);
    }
    if (a.notCheckable && check != CheckKind::kFileReadable && reason == 612) {
        check = CheckKind::kFileReadable;
    }
    f.SetCheck(check, Verdict::kFailed);
    if (f.findings.size() < a.findingsCap) {
        Finding finding;
        finding.position = position;
        finding.hasNumber = hasNumber;
        finding.number = hasNumber ? number : 0;
        finding.reason = GetMessageText(reason);
        f.findings.push_back(std::move(finding));
    } else {
        ++f.findingsNotListed;
    }
    if (!a.failed) {
        a.failed = true;
        a.savedLogOnly = logOnly;
        // The row keeps what the first failure wrote into it.
        if (a.allFindings) results_ = nullptr;
    }
}

void CVerifierdX::NoteBlock(char type, bool numbered, uint32_t number, uint32_t position) {
    if (audit_ == nullptr) return;
    AuditState& a = auditState_;
    FileAudit& f = *audit_;
    ++f.blockCount;
    (void)position;  // counted within the file; the marks give the card's own positions
    // A long-form block's number is the store position of its first sector; a
    // short-form block follows the block before it.
    const uint64_t store = numbered ? number : a.nextStorePosition;
    a.nextStorePosition = store + a.pendingSectors;
    if (a.leadingDone && numbered && !a.anchored) {
        a.anchored = true;
        uint64_t before = store;
        for (size_t i = f.head.size(); i-- > 0;) {
            before = before >= a.headSectors[i] ? before - a.headSectors[i] : 0;
            f.head[i].position = static_cast<uint32_t>(before);
        }
    }
    BlockMark& mark = a.last;
    mark.type = type;
    mark.numbered = numbered;
    mark.number = number;
    mark.position = static_cast<uint32_t>(std::min<uint64_t>(store, UINT32_MAX));
    mark.previousHash = previousHash;
    mark.currentHash = chainedHash;
    a.lastMarkDate[0] = '\0';
    if (!a.leadingDone) {
        ++f.leadingBlocks;
        if (numbered && type == 'S') {
            a.leadingDone = true;
            a.anchored = false;
        }
        return;
    }
    char date[20];
    const bool dated = numbered && DateOfBlock(block_, type, date);
    if (dated) {
        std::memcpy(a.lastMarkDate, date, sizeof date);
        std::memcpy(a.lastDate, date, sizeof date);
        if (f.firstDate.empty()) f.firstDate = date;
    }
    if (f.head.size() < FileAudit::kHeadMarks) {
        a.headSectors[f.head.size()] = a.pendingSectors;
        f.head.push_back(mark);
        if (dated) f.head.back().date = date;
    }
    if (numbered) {
        if (!f.hasNumbers) {
            f.hasNumbers = true;
            f.firstNumber = number;
        }
        f.lastNumber = number;
    }
}

bool CVerifierdX::Resume(bool longForm) {
    AuditState& a = auditState_;
    if (audit_ == nullptr || !a.allFindings || a.fatal || a.pendingSectors == 0) return false;
    if (!a.lineDone) {
        // The rest of the line is skipped: the chain and the numbers start anew
        // with the next line, so that one bad line gives one finding.
        for (int c = file->Get(); c >= 0 && c != '\n'; c = file->Get()) {
        }
        a.resync = true;
        state_.numberJumpOpen = true;
    } else if (!longForm) {
        lastBlockNumber += 1;
    }
    if (longForm && a.blockType == 'S') {
        // A signature block that does not verify still ends the leading blocks.
        ++state_.verifiedSignatures;
        if (state_.verifiedSignatures == 1) state_.numberJumpOpen = true;
    }
    state_.blockPosition += a.pendingSectors;
    return true;
}

const std::string& CVerifierdX::SigningKey() const {
    return auditState_.pinnedKey.empty() ? archivePublicKey : auditState_.pinnedKey;
}

bool CVerifierdX::CheckPinnedKey() const {
    if (auditState_.pinnedKey.empty()) return true;
    return UpperCase(archivePublicKey) == auditState_.pinnedKey;
}

void CVerifierdX::NoteOriginChecked(bool smcMode) {
    if (audit_ == nullptr) return;
    audit_->SetCheck(CheckKind::kPublicKey, Verdict::kPassed);
    if (smcMode) audit_->SetCheck(CheckKind::kUniqueId, Verdict::kPassed);
    audit_->SetCheck(CheckKind::kRootHash, Verdict::kPassed);
}

}  // namespace tv
