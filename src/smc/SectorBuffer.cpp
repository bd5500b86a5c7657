#include "smc/SectorBuffer.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace tv {

namespace {

uint8_t* AllocateAligned(size_t bytes) {
#ifdef _WIN32
    return static_cast<uint8_t*>(_aligned_malloc(bytes, SectorBuffer::kAlignment));
#else
    return static_cast<uint8_t*>(std::aligned_alloc(SectorBuffer::kAlignment, bytes));
#endif
}

void FreeAligned(uint8_t* data) {
#ifdef _WIN32
    _aligned_free(data);
#else
    std::free(data);
#endif
}

}  // namespace

SectorBuffer::SectorBuffer(size_t bytes) {
    if (bytes == 0) bytes = 1;
    if (bytes > std::numeric_limits<size_t>::max() - kAlignment) return;
    // aligned_alloc wants a size that is a multiple of the alignment.
    const size_t rounded = (bytes + kAlignment - 1) / kAlignment * kAlignment;
    data_ = AllocateAligned(rounded);
    if (data_ == nullptr) return;
    size_ = bytes;
    std::memset(data_, 0, rounded);
}

SectorBuffer::~SectorBuffer() { FreeAligned(data_); }

}  // namespace tv
