// SHA-256 digests of files and memory buffers. A digest travels as digest text:
// its 32 bytes as 64 upper-case hex digits.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tv {

class ProgressView;

constexpr size_t kDigestSize = 32;
using DigestBytes = std::array<uint8_t, kDigestSize>;

DigestBytes HashBuffer(const uint8_t* data, size_t length);

// A SHA-256 fed piece by piece, on whatever thread owns it. Final ends it: false
// (and a zero digest) when the library failed on the way.
class Sha256Hasher {
public:
    Sha256Hasher();
    ~Sha256Hasher();
    Sha256Hasher(const Sha256Hasher&) = delete;
    Sha256Hasher& operator=(const Sha256Hasher&) = delete;
    void Update(const uint8_t* data, size_t length);
    bool Final(DigestBytes& digest);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Digest text of the whole file, read in 4096-byte chunks. Before every chunk the
// user interface is pumped; an abort request then undoes the running archive
// operation and ends the program. False when no path is given or the file cannot
// be opened or read.
bool HashFile(const std::string& path, std::string& digestText);

// Digest text of the first keepLength bytes of the file followed, with addTail, by
// the 6 bytes that come after the next skipLength bytes; the skipped bytes are not
// hashed. The progress bar, when given, runs from 10 to 90 while hashing. Aborts
// as HashFile does, undoing the archive operation only during archive generation.
// False when no path is given, or the file cannot be opened or read or is shorter
// than keepLength.
bool HashFileWithoutSignature(const std::string& path, uint64_t keepLength, uint16_t skipLength,
                              bool addTail, ProgressView* progress, std::string& digestText);

}  // namespace tv
