#include "zt4/LogVerifierZT4.h"

#include <cstdio>

#include "app/AppContext.h"
#include "crypto/Digest.h"
#include "crypto/Signature.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "zt4/ArchiveLogRecords.h"
#include "zt4/Zt4Audit.h"

namespace tv {

namespace {

constexpr int64_t kTailSize = 252;
constexpr size_t kHeadSize = 34;
constexpr std::string_view kTrailer = "\r\nDigital Signature:";
constexpr char kNotFound[] = "'Digital Signature:' text is not found in log. So log validation failed";
constexpr char kNoLineBreak[] =
    "New line characters after 'Digital Signature:' text is not found in log. So log validation failed";

void LogError(int line, const char* format, int error) {
    char message[256];
    std::snprintf(message, sizeof message, format, error);
    LogFile::Instance().Write(kModLogVerifierZt4, line, kLogError, message);
}

// The records of the log and the UID of its header, for the audit trail.
void AuditRecords(Zt4AuditScope& audit, const std::string& path) {
    if (!audit.Active()) return;
    FileAudit& entry = audit.Entry();
    const bool read = ReadArchiveLogRecords(path, entry.smcUid, entry.logRecords);
    audit.Check(CheckKind::kLogEntries, read ? Verdict::kPassed : Verdict::kFailed);
}

// A frame that does not pass: a file that begins as a log ("[" first) was cut
// short or changed; anything else is not a log that can be checked.
void AuditFrameFailure(Zt4AuditScope& audit, const std::string& path) {
    if (!audit.Active()) return;
    auto file = Sys().OpenFile(path, OpenMode::Read);
    char first = 0;
    if (!file || file->Read(&first, 1) < 0) {
        audit.Check(CheckKind::kFileReadable, Verdict::kFailed);
        audit.Finish(FileOutcome::kNotChecked, 652);
    } else if (first != '[') {
        audit.Check(CheckKind::kFileReadable, Verdict::kFailed);
        audit.Finish(FileOutcome::kNotChecked, 657);
    } else {
        audit.Check(CheckKind::kFileReadable, Verdict::kPassed);
        audit.Check(CheckKind::kLogSignature, Verdict::kFailed);
        audit.Finish(FileOutcome::kIntegrityFailure, 658);
    }
}

}  // namespace

bool CLogVerifierZT4::Verify(ProgressView* progress, ResultList* results) {
    if (!internal && (progress == nullptr || results == nullptr)) {
        TV_LOG_ERROR(kModLogVerifierZt4, "Invalid input parameters");
        return false;
    }
    const int row = internal ? -1 : InsertResultRow(*results);
    Zt4AuditScope audit(filePath, "Archive.log",
                        {CheckKind::kFileReadable, CheckKind::kLogEntries, CheckKind::kLogSignature}, !internal);
    AuditRecords(audit, filePath);
    std::string signature;
    uint32_t length = 0;
    int64_t offset = 0;
    if (!CheckLogFrame(signature, length, offset)) {
        if (!internal) {
            SetResultCell(results, 3, 186, row);
            remarkPending = false;
        }
        TV_LOG_ERROR(kModLogVerifierZt4, "Initial log file validation failed");
        AuditFrameFailure(audit, filePath);
        return false;
    }
    audit.Check(CheckKind::kFileReadable, Verdict::kPassed);
    if (progress != nullptr) progress->SetPos(10);
    if (!CheckSignatureText(signature)) {
        TV_LOG_ERROR(kModLogVerifierZt4, "Initial Signature validation failed");
        audit.Check(CheckKind::kLogSignature, Verdict::kFailed);
        audit.Finish(FileOutcome::kIntegrityFailure, 655);
        return false;
    }
    std::string digest;
    if (!HashLog(static_cast<uint16_t>(length + 22), offset, digest, progress)) {
        TV_LOG_ERROR(kModLogVerifierZt4, "Generating hash for log file validation failed");
        audit.Finish(FileOutcome::kNotChecked, 652);
        return false;
    }
    if (!VerifySignatureText(signature, digest)) {
        if (!internal) {
            SetResultCell(results, 3, 186, row);
            remarkPending = false;
        }
        TV_LOG_ERROR(kModLogVerifierZt4, "Signature validation failed");
        audit.Check(CheckKind::kLogSignature, Verdict::kFailed);
        audit.Finish(FileOutcome::kIntegrityFailure, 656);
        return false;
    }
    audit.Check(CheckKind::kLogSignature, Verdict::kPassed);
    audit.Finish(FileOutcome::kVerified);
    if (progress != nullptr) progress->SetPos(100);
    return true;
}

bool CLogVerifierZT4::CheckLogFrame(std::string& signature, uint32_t& signatureLength,
                                    int64_t& trailerOffset) {
    Platform& p = Sys();
    auto file = p.OpenFile(filePath, OpenMode::Read);
    if (!file) {
        TV_LOG_ERROR(kModLogVerifierZt4, "Log file open failed");
        return false;
    }
    const int64_t size = file->Size();
    if (size < kTailSize || !file->Seek(size - kTailSize)) {
        char message[256];
        const int error = size < kTailSize ? kErrInvalidParameter : p.LastError();
        std::snprintf(message, sizeof message,
                      "Moving file pointer in log failed E[%d %d]. So log validation failed", error, 0);
        TV_LOG_ERROR(kModLogVerifierZt4, message);
        return false;
    }
    std::string tail;
    if (!ReadExactly(*file, tail, kTailSize)) {
        LogError(__LINE__, "Reading data from log failed E[%d]. So log validation failed", p.LastError());
        return false;
    }
    const std::string_view t(tail);
    const size_t at = t.rfind(kTrailer);
    if (at == std::string_view::npos) {
        TV_LOG_ERROR(kModLogVerifierZt4, kNotFound);
        return false;
    }
    const size_t lineBreak = at + kTrailer.size();  // where "\r\n" must follow
    if (t.size() > at + 22 && t.substr(lineBreak, 2) != "\r\n") {
        TV_LOG_ERROR(kModLogVerifierZt4, kNoLineBreak);
        return false;
    }
    const size_t last = t.rfind("\r\n");
    if (last == std::string_view::npos) {
        TV_LOG_ERROR(kModLogVerifierZt4, kNoLineBreak);
        return false;
    }
    if (last != lineBreak) {
        TV_LOG_ERROR(kModLogVerifierZt4,
                     "New line characters found at unexpected position in log. So log validation failed");
        return false;
    }
    signature = std::string(t.substr(lineBreak + 2));
    signatureLength = static_cast<uint32_t>(signature.size());

    if (!file->Seek(size - kTailSize + static_cast<int64_t>(at))) {
        LogError(__LINE__, "Moving file pointer in log failed E[%d]. So log validation failed", p.LastError());
        return false;
    }
    trailerOffset = file->Tell();
    if (trailerOffset < 0) {
        LogError(__LINE__, "Reading file size of log failed E[%d]. So log validation failed", p.LastError());
        return false;
    }
    std::string trailer;
    if (!ReadExactly(*file, trailer, kTrailer.size())) {
        LogError(__LINE__, "Reading data from log failed E[%d]. So log validation failed", p.LastError());
        return false;
    }
    if (trailer != kTrailer) {
        TV_LOG_ERROR(kModLogVerifierZt4, kNotFound);
        return false;
    }
    std::string head;
    if (!file->Seek(0) || !ReadExactly(*file, head, kHeadSize)) {
        LogError(__LINE__, "Reading data from log failed E[%d]. So log validation failed", p.LastError());
        return false;
    }
    if (head[0] != '[') {
        char message[256];
        std::snprintf(message, sizeof message, "Opening square bracket is not found at the beginning of log.[%c]",
                      head[0]);
        TV_LOG_ERROR(kModLogVerifierZt4, message);
        return false;
    }
    const size_t close = head.find(']');
    if (close == std::string::npos) {
        TV_LOG_ERROR(kModLogVerifierZt4, "Closing square bracket is not found in first line of log");
        return false;
    }
    if (close > 16) TV_LOG_INFO(kModLogVerifierZt4, "SMC UID:" + head.substr(1, close - 1));
    return true;
}

bool CLogVerifierZT4::HashLog(uint16_t skipLength, int64_t trailerOffset, std::string& digest,
                              ProgressView* progress) {
    if ((!internal && progress == nullptr) || trailerOffset < 0 ||
        !HashFileWithoutSignature(filePath, static_cast<uint64_t>(trailerOffset), skipLength, false,
                                  progress, digest)) {
        TV_LOG_ERROR(kModLogVerifierZt4, "Invalid input parameter");
        return false;
    }
    return true;
}

}  // namespace tv
