// A small deterministic random generator (SplitMix64): the same seed gives the
// same sequence on every platform and compiler, which the standard library's
// distributions do not promise.
#pragma once

#include <cstdint>

namespace tv {

class SeededRandom {
public:
    explicit SeededRandom(uint64_t seed) : state_(seed) {}

    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // A value in lo..hi (both included); lo when hi < lo.
    uint32_t Between(uint32_t lo, uint32_t hi) {
        if (hi <= lo) return lo;
        return lo + static_cast<uint32_t>(Next() % (static_cast<uint64_t>(hi - lo) + 1));
    }
    // True with the given chance in percent.
    bool Chance(uint32_t percent) { return Next() % 100 < percent; }

private:
    uint64_t state_;
};

}  // namespace tv
