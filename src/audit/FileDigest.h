// The SHA-256 of a whole file, worked out on a thread of its own while the
// verifier reads the same file, so that a report's file hashes add no time.
#pragma once

#include <future>
#include <string>

namespace tv {

// 64 lower-case hex digits, or empty when the file cannot be read.
std::string Sha256OfFile(const std::string& path);

// Starts Sha256OfFile(path) on another thread.
std::future<std::string> Sha256OfFileInBackground(const std::string& path);

}  // namespace tv
