#include "zt4/Zt4Audit.h"

#include "app/AppContext.h"
#include "audit/FileDigest.h"
#include "crypto/BuiltinKey.h"

namespace tv {

namespace {

bool AllDigits(const std::string& text, size_t from, size_t count) {
    if (text.size() < from + count) return false;
    for (size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    return true;
}

}  // namespace

Zt4AuditScope::Zt4AuditScope(const std::string& path, const char* family,
                             std::initializer_list<CheckKind> checks, bool enabled) {
    AuditTrail* trail = GetAppContext().auditTrail;
    if (trail == nullptr || !enabled) return;
    trail_ = trail;
    index_ = trail->files.size();
    FileAudit& audit = trail->Begin(path, family);
    audit.keySource = KeySource::kBuiltIn;
    audit.publicKey = kBuiltinPublicKey;
    for (CheckKind kind : checks) audit.SetCheck(kind, Verdict::kNotChecked);
    if (auto file = Sys().OpenFile(path, OpenMode::Read)) {
        audit.size = file->Size();
        try {
            digest_ = Sha256OfFileInBackground(path);
        } catch (...) {
            // No thread to spare: the file goes without its digest.
        }
    }
}

Zt4AuditScope::~Zt4AuditScope() {
    if (!digest_.valid()) return;
    try {
        std::string sha = digest_.get();
        if (trail_ != nullptr) Entry().sha256 = std::move(sha);
    } catch (...) {
        // The digest could not be worked out: the entry keeps none.
    }
}

void Zt4AuditScope::Check(CheckKind kind, Verdict verdict) {
    if (Active()) Entry().SetCheck(kind, verdict);
}

void Zt4AuditScope::Finish(FileOutcome outcome, MessageId reason) {
    if (!Active()) return;
    FileAudit& audit = Entry();
    audit.outcome = outcome;
    if (reason != 0) {
        Finding finding;
        finding.reason = GetMessageText(reason);
        audit.findings.push_back(std::move(finding));
    }
}

std::string StampAsDate(const std::string& digits) {
    if (digits.size() != 14 || !AllDigits(digits, 0, 14)) return {};
    return digits.substr(0, 4) + "-" + digits.substr(4, 2) + "-" + digits.substr(6, 2) + " " +
           digits.substr(8, 2) + ":" + digits.substr(10, 2) + ":" + digits.substr(12, 2);
}

bool DatesOfArchiveName(const std::string& path, std::string& first, std::string& last) {
    const std::string name = Sys().FileName(path);
    // start stamp, "_", end stamp, ".xml"
    if (name.size() != 33 || name[14] != '_' || name[29] != '.') return false;
    if (!AllDigits(name, 0, 14) || !AllDigits(name, 15, 14)) return false;
    first = StampAsDate(name.substr(0, 14));
    last = StampAsDate(name.substr(15, 14));
    return true;
}

}  // namespace tv
