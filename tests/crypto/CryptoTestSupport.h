// Helpers shared by the signature-service tests.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "messages/UiHost.h"

namespace tv::test {

// The messages of the log's error entries of one module, oldest first.
inline std::vector<std::string> LoggedErrors(const std::string& log, int module) {
    std::vector<std::string> errors;
    const std::string prefix = " ERROR   - " + std::to_string(module) + ":";
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t at = line.find(prefix);
        if (at == std::string::npos) continue;
        const size_t space = line.find(' ', at + prefix.size());
        if (space != std::string::npos) errors.push_back(line.substr(space + 1));
    }
    return errors;
}

class RecordingProgress : public ProgressView {
public:
    void SetRange(int32_t, int32_t) override {}
    void SetPos(int32_t position) override { positions.push_back(position); }
    std::vector<int32_t> positions;
};

inline std::vector<uint8_t> Bytes(const std::string& s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

}  // namespace tv::test
