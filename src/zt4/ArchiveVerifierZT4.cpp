#include "zt4/ArchiveVerifierZT4.h"

#include <cstdio>
#include <cstring>

#include "app/AppContext.h"
#include "crypto/Digest.h"
#include "crypto/Signature.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "zt4/Zt4Audit.h"

namespace tv {

namespace {

constexpr int64_t kTailSize = 327;
constexpr size_t kHeadSize = 27;
constexpr size_t kIdentitySize = 658;
constexpr std::string_view kEndTag = "</ZT4>";
constexpr std::string_view kSignEnd = "</digisign>";
constexpr std::string_view kSignStart = "<digisign>";

void LogError(int line, const char* format, int error) {
    char message[256];
    std::snprintf(message, sizeof message, format, error);
    LogFile::Instance().Write(kModArchiveVerifierZt4, line, kLogError, message);
}

void LogErrorText(int line, const char* format, std::string_view text) {
    char message[256];
    std::snprintf(message, sizeof message, format, std::string(text).c_str());
    LogFile::Instance().Write(kModArchiveVerifierZt4, line, kLogError, message);
}

// The text between open and close tags, when both are there in that order.
bool Between(std::string_view text, std::string_view open, std::string_view close, std::string& out) {
    const size_t a = text.find(open);
    if (a == std::string_view::npos) return false;
    const size_t b = text.find(close, a + open.size());
    if (b == std::string_view::npos) return false;
    out = std::string(text.substr(a + open.size(), b - a - open.size()));
    return true;
}

// Whether the file begins as a ZT4 archive: "<ZT4>" at bytes 22 to 26.
enum class Head { kUnreadable, kOther, kZt4 };

Head ReadHead(const std::string& path) {
    auto file = Sys().OpenFile(path, OpenMode::Read);
    if (!file) return Head::kUnreadable;
    char head[kHeadSize];
    size_t done = 0;
    while (done < kHeadSize) {
        const int64_t r = file->Read(head + done, kHeadSize - done);
        if (r < 0) return Head::kUnreadable;
        if (r == 0) break;
        done += static_cast<size_t>(r);
    }
    return done == kHeadSize && std::string_view(head + 22, 5) == "<ZT4>" ? Head::kZt4 : Head::kOther;
}

// A frame that does not pass: a file that begins as a ZT4 archive was cut
// short or changed; anything else is not an archive that can be checked.
void AuditFrameFailure(Zt4AuditScope& audit, const std::string& path) {
    if (!audit.Active()) return;
    switch (ReadHead(path)) {
    case Head::kUnreadable:
        audit.Check(CheckKind::kFileReadable, Verdict::kFailed);
        audit.Finish(FileOutcome::kNotChecked, 652);
        break;
    case Head::kOther:
        audit.Check(CheckKind::kFileReadable, Verdict::kFailed);
        audit.Finish(FileOutcome::kNotChecked, 653);
        break;
    case Head::kZt4:
        audit.Check(CheckKind::kFileReadable, Verdict::kPassed);
        audit.Check(CheckKind::kArchiveFrame, Verdict::kFailed);
        audit.Finish(FileOutcome::kIntegrityFailure, 654);
        break;
    }
}

}  // namespace

bool CArchiveVerifierZT4::Verify(ProgressView* progress, ResultList* results) {
    if (progress == nullptr || results == nullptr) {
        TV_LOG_ERROR(kModArchiveVerifierZt4, "Invalid input parameters");
        return false;
    }
    const int row = InsertResultRow(*results);
    Zt4AuditScope audit(filePath, "ZT4",
                        {CheckKind::kFileReadable, CheckKind::kArchiveFrame, CheckKind::kArchiveSignature});
    LogArchiveIdentity();
    if (audit.Active()) {
        FileAudit& entry = audit.Entry();
        entry.scaleSerial = scaleSerial_;
        entry.smcUid = smcUid_;
        DatesOfArchiveName(filePath, entry.firstDate, entry.lastDate);
    }

    std::string signature;
    uint32_t length = 0;
    int64_t offset = 0;
    if (!CheckArchiveFrame(signature, length, offset)) {
        SetResultCell(results, 3, 186, row);
        remarkPending = false;
        TV_LOG_ERROR(kModArchiveVerifierZt4, "Initial archive file validation failed");
        AuditFrameFailure(audit, filePath);
        return false;
    }
    audit.Check(CheckKind::kFileReadable, Verdict::kPassed);
    audit.Check(CheckKind::kArchiveFrame, Verdict::kPassed);
    progress->SetPos(10);
    if (!CheckSignatureText(signature)) {
        TV_LOG_ERROR(kModArchiveVerifierZt4, "Initial Signature validation failed");
        audit.Check(CheckKind::kArchiveSignature, Verdict::kFailed);
        audit.Finish(FileOutcome::kIntegrityFailure, 655);
        return false;
    }
    std::string digest;
    if (!HashArchive(static_cast<uint16_t>(length + 21), offset, digest, progress)) {
        TV_LOG_ERROR(kModArchiveVerifierZt4, "Generating hash for archive file validation failed");
        audit.Check(CheckKind::kArchiveSignature, Verdict::kNotChecked);
        audit.Finish(FileOutcome::kNotChecked, 652);
        return false;
    }
    if (!VerifySignatureText(signature, digest)) {
        SetResultCell(results, 3, 186, row);
        remarkPending = false;
        TV_LOG_ERROR(kModArchiveVerifierZt4, "Signature validation failed");
        audit.Check(CheckKind::kArchiveSignature, Verdict::kFailed);
        audit.Finish(FileOutcome::kIntegrityFailure, 656);
        return false;
    }
    audit.Check(CheckKind::kArchiveSignature, Verdict::kPassed);
    audit.Finish(FileOutcome::kVerified);
    progress->SetPos(100);
    return true;
}

bool CArchiveVerifierZT4::CheckArchiveFrame(std::string& signature, uint32_t& signatureLength,
                                            int64_t& signatureOffset) {
    Platform& p = Sys();
    auto file = p.OpenFile(filePath, OpenMode::Read);
    if (!file) {
        TV_LOG_ERROR(kModArchiveVerifierZt4, "Archive File open failed");
        return false;
    }
    const int64_t size = file->Size();
    if (size < kTailSize || !file->Seek(size - kTailSize)) {
        LogError(__LINE__, "Moving file pointer in archive failed E[%d]. So archive validation failed",
                 size < kTailSize ? kErrInvalidParameter : p.LastError());
        return false;
    }
    std::string tail;
    if (!ReadExactly(*file, tail, kTailSize)) {
        LogError(__LINE__, "Reading data from archive failed E[%d]. So archive validation failed", p.LastError());
        return false;
    }
    const std::string_view t(tail);
    if (t.substr(t.size() - kEndTag.size()) != kEndTag) {
        LogErrorText(__LINE__, "Last element in archive is not '</ZT4>'[%s]. So archive validation failed",
                     t.substr(t.size() - kEndTag.size()));
        return false;
    }
    const size_t signEndAt = t.size() - kEndTag.size() - kSignEnd.size();
    if (t.substr(signEndAt, kSignEnd.size()) != kSignEnd) {
        LogErrorText(__LINE__,
                     "Element before '</ZT4>' in archive is not '</digisign>'[%s]. So archive validation failed",
                     t.substr(signEndAt, kSignEnd.size()));
        return false;
    }
    const size_t end = t.find(kSignEnd);
    if (end == std::string_view::npos) {
        TV_LOG_ERROR(kModArchiveVerifierZt4,
                     "Signature end element '</digisign>' is not found. So archive validation failed");
        return false;
    }
    const size_t start = t.find(kSignStart);
    if (start == std::string_view::npos || start + kSignStart.size() > end) {
        TV_LOG_ERROR(kModArchiveVerifierZt4,
                     "Signature start element '<digisign>' is not found. So archive validation failed");
        return false;
    }
    // The signature is what stands in front of the final "</digisign>".
    const size_t n = end - start - kSignStart.size();
    if (signEndAt < n) {
        TV_LOG_ERROR(kModArchiveVerifierZt4,
                     "Signature start element '<digisign>' is not found. So archive validation failed");
        return false;
    }
    signature = std::string(t.substr(signEndAt - n, n));
    signatureLength = static_cast<uint32_t>(n);

    const int64_t startOffset = size - kTailSize + static_cast<int64_t>(start);
    if (!file->Seek(startOffset)) {
        LogError(__LINE__, "Moving file pointer in archive failed E[%d]. So archive validation failed", p.LastError());
        return false;
    }
    signatureOffset = file->Tell();
    if (signatureOffset < 0) {
        LogError(__LINE__, "Reading file size of archive failed E[%d]. So archive validation failed", p.LastError());
        return false;
    }
    std::string tag;
    if (!ReadExactly(*file, tag, kSignStart.size())) {
        LogError(__LINE__, "Reading data from archive failed E[%d]. So archive validation failed", p.LastError());
        return false;
    }
    if (tag != kSignStart) {
        TV_LOG_ERROR(kModArchiveVerifierZt4,
                     "Signature start element '<DigiSign>' is not found. So archive validation failed");
        return false;
    }
    std::string head;
    if (!file->Seek(0) || !ReadExactly(*file, head, kHeadSize)) {
        LogError(__LINE__, "Reading data from archive failed E[%d]. So archive validation failed", p.LastError());
        return false;
    }
    if (head.compare(22, 5, "<ZT4>") != 0) {
        TV_LOG_ERROR(kModArchiveVerifierZt4, "Archive start element '<ZT4>' is not found. So archive validation failed");
        return false;
    }
    return true;
}

void CArchiveVerifierZT4::LogArchiveIdentity() {
    scaleSerial_.clear();
    smcUid_.clear();
    auto file = Sys().OpenFile(filePath, OpenMode::Read);
    if (!file) {
        TV_LOG_ERROR(kModArchiveVerifierZt4, "Archive file open failed");
        return;
    }
    std::string head(kIdentitySize, '\0');
    size_t done = 0;
    while (done < kIdentitySize) {
        const int64_t r = file->Read(head.data() + done, kIdentitySize - done);
        if (r < 0) {
            LogError(__LINE__, "Reading data from archive failed E[%d]", Sys().LastError());
            return;
        }
        if (r == 0) break;
        done += static_cast<size_t>(r);
    }
    head.resize(done);
    if (head.find("<fpg>") == std::string::npos) {
        TV_LOG_ERROR(kModArchiveVerifierZt4, "Fusing start element '<fpg>' not found");
    }
    std::string value;
    if (Between(head, "<ssn>", "</ssn>", value)) {
        TV_LOG_INFO(kModArchiveVerifierZt4, "Scale SN:" + value);
        scaleSerial_ = value;
    } else {
        TV_LOG_ERROR(kModArchiveVerifierZt4, "Scale serial num not found");
    }
    if (Between(head, "<ncd>", "</ncd>", value)) {
        TV_LOG_INFO(kModArchiveVerifierZt4, "SMC P.UID:" + value);
        smcUid_ = value;
    } else {
        TV_LOG_ERROR(kModArchiveVerifierZt4, "SMC UID not found");
    }
}

bool CArchiveVerifierZT4::HashArchive(uint16_t skipLength, int64_t signatureOffset,
                                      std::string& digest, ProgressView* progress) {
    if (progress == nullptr || signatureOffset < 0 ||
        !HashFileWithoutSignature(filePath, static_cast<uint64_t>(signatureOffset), skipLength, true,
                                  progress, digest)) {
        TV_LOG_ERROR(kModArchiveVerifierZt4, "Invalid input parameter");
        return false;
    }
    return true;
}

}  // namespace tv
