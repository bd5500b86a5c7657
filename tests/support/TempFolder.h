// Fresh folders for tests and benchmarks.
#pragma once

#include <string>

namespace tv::test {

// Makes a new folder "PREFIX-<random>" under `base` (empty: the system's
// temporary folder) that no one else has; its path, or empty when none could be made.
std::string MakeUniqueFolder(const std::string& base, const std::string& prefix);

// Removes a folder with everything in it, read-only files too (Windows deletes
// no read-only file). Quiet when there is nothing to remove.
void RemoveFolderTree(const std::string& folder);

}  // namespace tv::test
