#include "zt4/VerifierZT4.h"

#include <cstdio>

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "messages/UiHost.h"
#include "platform/Text.h"
#include "zt4/Zt4Audit.h"

namespace tv {

namespace {

// A file that did not pass the checks before validation, in the audit trail.
void AuditRefusedFile(const std::string& path, bool archive, MessageId reason) {
    if (GetAppContext().auditTrail == nullptr) return;
    Zt4AuditScope audit(path, archive ? "ZT4" : "Archive.log", {CheckKind::kFileReadable});
    audit.Check(CheckKind::kFileReadable, Verdict::kFailed);
    audit.Finish(FileOutcome::kNotChecked, reason);
}

}  // namespace

bool CVerifierZT4::CheckFile(bool archive) {
    if (filePath.empty()) {
        AuditRefusedFile(filePath, archive, 650);
        TV_LOG_INFO(kModSignature, "File path is empty");
        return false;
    }
    const char* extension = archive ? ".xml" : ".log";
    const std::u16string tail = ToUtf16(filePath.size() >= 4 ? filePath.substr(filePath.size() - 4) : filePath);
    if (!EqualsNoCase(tail, ToUtf16(extension))) {
        char message[256];
        std::snprintf(message, sizeof message, "File is not of extension %s", extension);
        TV_LOG_INFO(kModSignature, message);
        AuditRefusedFile(filePath, archive, 651);
        return false;
    }
    uint32_t attributes = 0;
    if (!Sys().GetAttributes(filePath, attributes) || (attributes & kAttrDirectory) != 0) {
        TV_LOG_INFO(kModSignature, "File not found");
        fileMissing = true;
        AuditRefusedFile(filePath, archive, 650);
        return false;
    }
    return true;
}

bool CVerifierZT4::ReadExactly(File& file, std::string& out, size_t n) {
    out.assign(n, '\0');
    size_t done = 0;
    while (done < n) {
        const int64_t r = file.Read(out.data() + done, n - done);
        if (r <= 0) return false;
        done += static_cast<size_t>(r);
    }
    return true;
}

int CVerifierZT4::InsertResultRow(ResultList& results) const {
    const int row = results.InsertRow(results.ItemCount(), ToUtf16(std::to_string(results.ItemCount() + 1)));
    results.SetCell(row, 1, ToUtf16(Sys().FileName(filePath)));
    return row;
}

}  // namespace tv
