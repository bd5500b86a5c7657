// What a ZT4 validation records about its file when a verification keeps an
// audit trail: the file's size and digest, the key, the checks and the outcome.
#pragma once

#include <cstddef>
#include <future>
#include <initializer_list>
#include <string>

#include "audit/FileAudit.h"
#include "messages/Messages.h"

namespace tv {

// One file's entry in the context's audit trail for the length of its
// validation. Inactive (every call does nothing) when nobody keeps a trail.
// The file's digest is worked out beside the validation and collected when the
// scope ends.
class Zt4AuditScope {
public:
    // The checks are listed at once, not checked, in the order given.
    Zt4AuditScope(const std::string& path, const char* family, std::initializer_list<CheckKind> checks,
                  bool enabled = true);
    ~Zt4AuditScope();
    Zt4AuditScope(const Zt4AuditScope&) = delete;
    Zt4AuditScope& operator=(const Zt4AuditScope&) = delete;

    bool Active() const { return trail_ != nullptr; }
    // The entry; only while active.
    FileAudit& Entry() { return trail_->files[index_]; }

    void Check(CheckKind kind, Verdict verdict);
    // Ends the file with an outcome and, for a failure, the reason as a finding.
    void Finish(FileOutcome outcome, MessageId reason = 0);

private:
    AuditTrail* trail_ = nullptr;
    size_t index_ = 0;
    std::future<std::string> digest_;
};

// "YYYY-MM-DD HH:MM:SS" from 14 digits; empty unless text holds 14 digits.
std::string StampAsDate(const std::string& digits);

// The first and last dates of an archive named "start_end.xml" (two 14-digit
// stamps); false for any other name.
bool DatesOfArchiveName(const std::string& path, std::string& first, std::string& last);

}  // namespace tv
