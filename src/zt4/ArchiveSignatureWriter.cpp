#include "zt4/ArchiveSignatureWriter.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "app/AppContext.h"
#include "crypto/Signature.h"
#include "log/LogFile.h"

namespace tv {

namespace {

constexpr char kEndTag[] = "</ZT4>";
constexpr size_t kEndTagLength = sizeof kEndTag - 1;

bool ReadExactly(File& file, char* data, size_t n) {
    size_t have = 0;
    while (have < n) {
        const int64_t got = file.Read(data + have, n - have);
        if (got <= 0) return false;
        have += static_cast<size_t>(got);
    }
    return true;
}

}  // namespace

bool InsertSignature(const std::string& path, std::string_view signatureText) {
    if (path.empty()) {
        TV_LOG_ERROR(kModArchiverZt4, "Invalid input file name");
        return false;
    }
    Platform& sys = Sys();
    char message[256];
    {
        std::unique_ptr<File> file = sys.OpenFile(path, OpenMode::Read);
        if (!file) {
            TV_LOG_ERROR(kModArchiverZt4, "Archive file open failed");
            return false;
        }
        // A file shorter than the end tag cannot be positioned in front of it.
        const int64_t size = file->Size();
        const bool tooShort = size >= 0 && size < static_cast<int64_t>(kEndTagLength);
        if (tooShort || !file->Seek(size - static_cast<int64_t>(kEndTagLength))) {
            std::snprintf(message, sizeof message,
                          "Moving file pointer in archive failed E[%d]. So archive validation "
                          "failed",
                          tooShort ? static_cast<int>(kErrInvalidParameter) : sys.LastError());
            TV_LOG_ERROR(kModArchiverZt4, message);
            return false;
        }
        char last[kEndTagLength + 1] = {};
        if (!ReadExactly(*file, last, kEndTagLength)) {
            TV_LOG_ERROR(kModArchiverZt4, "Reading data from archive failed");
            return false;
        }
        if (std::memcmp(last, kEndTag, kEndTagLength) != 0) {
            std::snprintf(message, sizeof message, "Last element in archive is not '</ZT4>'(%s)",
                          last);
            TV_LOG_ERROR(kModArchiverZt4, message);
            return false;
        }
    }

    std::unique_ptr<File> file = sys.OpenFile(path, OpenMode::ReadWrite);
    if (!file) {
        std::snprintf(message, sizeof message, "Opening archive file failed. E(%d)",
                      sys.LastError());
        TV_LOG_ERROR(kModArchiverZt4, message);
        return false;
    }
    const int64_t size = file->Size();
    const int64_t cut = size - static_cast<int64_t>(kEndTagLength);
    if (size < static_cast<int64_t>(kEndTagLength) || !file->Seek(cut)) {
        std::snprintf(message, sizeof message, "Setting file pointer of archive file failed. E(%d)",
                      sys.LastError());
        TV_LOG_ERROR(kModArchiverZt4, message);
        return false;
    }
    if (!file->Truncate(cut)) {
        std::snprintf(message, sizeof message, "Resizing archive file failed. E(%d)",
                      sys.LastError());
        TV_LOG_ERROR(kModArchiverZt4, message);
        return false;
    }
    std::string tail = "<digisign>";
    tail.append(signatureText);
    tail += "</digisign>";
    tail += kEndTag;
    if (!file->Write(tail.data(), tail.size())) {
        std::snprintf(message, sizeof message, "Writing signature into archive failed. E(%d) %d %d",
                      sys.LastError(), 0, static_cast<int>(tail.size()));
        TV_LOG_ERROR(kModArchiverZt4, message);
        return false;
    }
    return true;
}

bool SignArchiveFile(const std::string& path) {
    std::string signatureText;
    if (!SignFileToText(path, signatureText)) return false;
    if (!InsertSignature(path, signatureText)) {
        TV_LOG_ERROR(kModArchiverZt4, "Writing signature to archive failed");
        return false;
    }
    return true;
}

}  // namespace tv
