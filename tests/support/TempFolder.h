// Fresh folders for tests and benchmarks.
#pragma once

#include <string>

namespace tv::test {

// Makes a new folder "PREFIX-<random>" under `base` (empty: the system's
// temporary folder) that no one else has; its path, or empty when none could be made.
std::string MakeUniqueFolder(const std::string& base, const std::string& prefix);

}  // namespace tv::test
