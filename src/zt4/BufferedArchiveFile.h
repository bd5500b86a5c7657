// One archive file being written: opened once, written through a buffer, and
// flushed before anyone reads it back (to cut, sign or copy it).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tv {

class File;
class Platform;

class CBufferedArchiveFile {
public:
    static constexpr size_t kBufferSize = 256 * 1024;

    // Creates the file; anything already at the name (a link too) fails.
    bool Open(Platform& platform, const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }
    const std::string& Path() const { return path_; }
    bool Write(const void* data, size_t n);
    // Hands the buffered bytes to the system.
    bool Flush();
    // Flushes and closes; false when the flush failed.
    bool Close();
    // Closes without writing what is still buffered.
    void Discard();
    // Bytes in the file once everything written is flushed.
    uint64_t Size() const { return size_; }

private:
    std::unique_ptr<File> file_;
    std::string path_;
    std::vector<char> buffer_;
    uint64_t size_ = 0;
};

}  // namespace tv
