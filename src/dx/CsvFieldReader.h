// Sequential reading of an archive file, field by field: the file is read once,
// front to back, through one fixed buffer, so that a file of any size is read in
// bounded memory and short fields cost no call into the file system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Platform.h"

namespace tv {

class CsvFieldReader {
public:
    static constexpr size_t kBufferSize = 256 * 1024;

    explicit CsvFieldReader(std::unique_ptr<File> file);
    CsvFieldReader(const CsvFieldReader&) = delete;
    CsvFieldReader& operator=(const CsvFieldReader&) = delete;

    // Copies up to n bytes to destination and returns the count copied: fewer
    // than n only when the end of the file (or a read error) was met.
    size_t Read(void* destination, size_t n);
    // The next byte, or -1 at the end of the file.
    int Get();
    // Bytes consumed from the start of the file.
    int64_t Position() const { return consumed_; }
    // A read has met the end of the file (or failed); nothing more can be read.
    bool AtEnd() const { return end_ && begin_ == filled_; }
    // The file could not be read to its end: a read failed, which is not the end
    // of the file even though nothing more can be read either.
    bool ReadFailed() const { return readFailed_; }

private:
    // Refills the buffer; false when nothing more could be read.
    bool Fill();

    std::unique_ptr<File> file_;
    std::vector<uint8_t> buffer_;
    size_t begin_ = 0;   // next byte to hand out
    size_t filled_ = 0;  // bytes in the buffer
    int64_t consumed_ = 0;
    bool end_ = false;
    bool readFailed_ = false;
};

}  // namespace tv
