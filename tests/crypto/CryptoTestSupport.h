// Helpers shared by the signature-service tests.
#pragma once

#include <string>
#include <vector>

#include "support/RecordingUi.h"
#include "support/TestEnvironment.h"

namespace tv::test {

inline std::vector<uint8_t> Bytes(const std::string& s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

}  // namespace tv::test
