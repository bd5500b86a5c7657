#include "zt4/LogSignatureWriter.h"

#include <cstdio>
#include <memory>

#include "app/AppContext.h"
#include "crypto/Signature.h"
#include "log/LogFile.h"

namespace tv {

bool AppendLogSignature(std::string_view signatureText, const std::string& logPath) {
    if (logPath.empty()) {
        TV_LOG_ERROR(kModArchiverZt4, "Invalid input file name");
        return false;
    }
    std::unique_ptr<File> file = Sys().OpenFile(logPath, OpenMode::Append);
    if (!file) {
        TV_LOG_ERROR(kModArchiverZt4, "Archive.log file open failed");
        return false;
    }
    std::string trailer = "\r\nDigital Signature:\r\n";
    trailer.append(signatureText);
    if (!file->Write(trailer.data(), trailer.size())) {
        char message[256];
        std::snprintf(message, sizeof message, "Writing signature into 'Archive.log' failed. E(%d)",
                      Sys().LastError());
        TV_LOG_ERROR(kModArchiverZt4, message);
        return false;
    }
    return true;
}

bool SignLogFile(const std::string& logPath) {
    std::string signatureText;
    if (!SignFileToText(logPath, signatureText)) return false;
    if (!AppendLogSignature(signatureText, logPath)) {
        TV_LOG_ERROR(kModArchiverZt4, "Writing signature to log file failed");
        return false;
    }
    return true;
}

}  // namespace tv
