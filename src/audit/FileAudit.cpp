#include "audit/FileAudit.h"

#include <algorithm>

namespace tv {

void FileAudit::SetCheck(CheckKind kind, Verdict verdict, std::u16string detail) {
    for (CheckResult& check : checks) {
        if (check.kind == kind) {
            check.verdict = verdict;
            check.detail = std::move(detail);
            return;
        }
    }
    checks.push_back(CheckResult{kind, verdict, std::move(detail)});
}

const CheckResult* FileAudit::FindCheck(CheckKind kind) const {
    for (const CheckResult& check : checks) {
        if (check.kind == kind) return &check;
    }
    return nullptr;
}

FileAudit& AuditTrail::Begin(const std::string& path, const std::string& family) {
    FileAudit& audit = files.emplace_back();
    audit.path = path;
    audit.family = family;
    return audit;
}

int ExitStatusOf(const AuditTrail& trail) {
    if (trail.files.empty()) return 2;
    const auto has = [&](FileOutcome outcome) {
        return std::any_of(trail.files.begin(), trail.files.end(),
                           [&](const FileAudit& file) { return file.outcome == outcome; });
    };
    if (has(FileOutcome::kIntegrityFailure)) return 1;
    if (has(FileOutcome::kNotChecked)) return 2;
    return 0;
}

}  // namespace tv
