#include "zt4/ValidationRun.h"

#include <cstdio>

#include "app/AppContext.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "zt4/ArchiveVerifierZT4.h"
#include "zt4/LogVerifierZT4.h"

namespace tv {

std::unique_ptr<CVerifierZT4> MakeZt4Verifier(uint32_t validationKind, const std::string& path) {
    if (validationKind == 1) return std::make_unique<CArchiveVerifierZT4>(path);
    if (validationKind == 3) return std::make_unique<CLogVerifierZT4>(path);
    return nullptr;
}

bool RunZt4Validation(CVerifierZT4* verifier, uint32_t validationKind, bool folderInput,
                      uint32_t verificationMode, ProgressView* progress, ResultList* results) {
    if (verifier == nullptr) {
        TV_LOG_ERROR(kModVerificationPage, "Verification element not found");
        return false;
    }
    verifier->internal = false;
    TV_LOG_INFO(kModVerificationPage, "Validation operation started");
    TV_LOG_INFO(kModVerificationPage, "Scale type : ZT4");
    bool success = false;
    if (!folderInput && verificationMode == 2) {
        char message[512];
        std::snprintf(message, sizeof message, "Filename: %s", verifier->filePath.c_str());
        TV_LOG_INFO(kModVerificationPage, message);
        TV_LOG_INFO(kModVerificationPage, validationKind == 1 ? "Validation type: Archive file validation"
                                                              : "Validation type: Log file validation");
        if (!verifier->CheckFile(validationKind == 1)) {
            TV_LOG_INFO(kModVerificationPage, "Validation failed");
            if (results != nullptr) {
                const int row = verifier->InsertResultRow(*results);
                SetResultCell(results, 2, 197, row);
                SetResultCell(results, 3, verifier->fileMissing ? 177 : 209, row);
            }
            verifier->fileMissing = false;
        } else if (verifier->Verify(progress, results)) {
            TV_LOG_INFO(kModVerificationPage, "Validation success");
            SetResultCell(results, 2, 196);
            success = true;
        } else {
            TV_LOG_INFO(kModVerificationPage, "Validation failed");
            SetResultCell(results, 2, 197);
            if (verifier->remarkPending) SetResultCell(results, 3, 209);
        }
    }
    verifier->filePath.clear();
    verifier->remarkPending = true;
    verifier->internal = false;
    verifier->fileMissing = false;
    return success;
}

}  // namespace tv
