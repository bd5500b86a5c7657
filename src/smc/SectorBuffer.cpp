#include "smc/SectorBuffer.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace tv {

SectorBuffer::SectorBuffer(size_t bytes) {
    if (bytes == 0) bytes = 1;
    if (bytes > std::numeric_limits<size_t>::max() - kAlignment) return;
    // aligned_alloc wants a size that is a multiple of the alignment.
    const size_t rounded = (bytes + kAlignment - 1) / kAlignment * kAlignment;
    data_ = static_cast<uint8_t*>(std::aligned_alloc(kAlignment, rounded));
    if (data_ == nullptr) return;
    size_ = bytes;
    std::memset(data_, 0, rounded);
}

SectorBuffer::~SectorBuffer() { std::free(data_); }

}  // namespace tv
