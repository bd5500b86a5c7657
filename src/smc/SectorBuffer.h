// A page-aligned transfer buffer for unbuffered card I/O: whole sectors, zeroed,
// released when it goes out of scope.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tv {

class SectorBuffer {
public:
    static constexpr size_t kAlignment = 4096;

    // Takes at least `bytes` bytes (rounded up to whole pages); check Valid().
    explicit SectorBuffer(size_t bytes);
    ~SectorBuffer();
    SectorBuffer(const SectorBuffer&) = delete;
    SectorBuffer& operator=(const SectorBuffer&) = delete;

    bool Valid() const { return data_ != nullptr; }
    uint8_t* Data() { return data_; }
    const uint8_t* Data() const { return data_; }
    size_t Size() const { return size_; }

private:
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace tv
