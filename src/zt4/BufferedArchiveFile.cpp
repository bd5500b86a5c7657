#include "zt4/BufferedArchiveFile.h"

#include <cstring>

#include "platform/Platform.h"

namespace tv {

bool CBufferedArchiveFile::Open(Platform& platform, const std::string& path) {
    Discard();
    file_ = platform.OpenFile(path, OpenMode::CreateNew);
    if (!file_) return false;
    const int64_t size = file_->Size();
    if (size < 0) {
        file_.reset();
        return false;
    }
    path_ = path;
    size_ = static_cast<uint64_t>(size);
    buffer_.clear();
    buffer_.reserve(kBufferSize);
    return true;
}

bool CBufferedArchiveFile::Write(const void* data, size_t n) {
    if (!file_) return false;
    if (buffer_.size() + n > kBufferSize && !Flush()) return false;
    if (n >= kBufferSize) {
        if (!file_->Write(data, n)) return false;
    } else {
        const char* p = static_cast<const char*>(data);
        buffer_.insert(buffer_.end(), p, p + n);
    }
    size_ += n;
    return true;
}

bool CBufferedArchiveFile::Flush() {
    if (!file_) return false;
    if (buffer_.empty()) return true;
    const bool ok = file_->Write(buffer_.data(), buffer_.size());
    if (!ok) {
        // What could not be written is not in the file.
        size_ -= buffer_.size();
    }
    buffer_.clear();
    return ok;
}

bool CBufferedArchiveFile::Close() {
    if (!file_) return true;
    const bool ok = Flush();
    file_.reset();
    path_.clear();
    return ok;
}

void CBufferedArchiveFile::Discard() {
    file_.reset();
    buffer_.clear();
    path_.clear();
    size_ = 0;
}

}  // namespace tv
