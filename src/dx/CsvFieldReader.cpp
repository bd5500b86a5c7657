#include "dx/CsvFieldReader.h"

#include <algorithm>
#include <cstring>

namespace tv {

CsvFieldReader::CsvFieldReader(std::unique_ptr<File> file)
    : file_(std::move(file)), buffer_(kBufferSize) {}

bool CsvFieldReader::Fill() {
    begin_ = 0;
    filled_ = 0;
    if (end_ || !file_) {
        end_ = true;
        return false;
    }
    const int64_t got = file_->Read(buffer_.data(), buffer_.size());
    if (got <= 0) {
        end_ = true;
        readFailed_ = got < 0;
        return false;
    }
    filled_ = static_cast<size_t>(got);
    return true;
}

size_t CsvFieldReader::Read(void* destination, size_t n) {
    auto* out = static_cast<uint8_t*>(destination);
    size_t done = 0;
    while (done < n) {
        if (begin_ == filled_ && !Fill()) break;
        const size_t take = std::min(n - done, filled_ - begin_);
        std::memcpy(out + done, buffer_.data() + begin_, take);
        begin_ += take;
        done += take;
    }
    consumed_ += static_cast<int64_t>(done);
    return done;
}

int CsvFieldReader::Get() {
    if (begin_ == filled_ && !Fill()) return -1;
    ++consumed_;
    return buffer_[begin_++];
}

}  // namespace tv
