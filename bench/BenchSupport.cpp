#include "BenchSupport.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace tv::bench {

double NowSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double PeakMemoryMiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double TimeCommand(const std::string& command, int runs) {
    double best = -1;
    for (int i = 0; i < runs; ++i) {
        const double start = NowSeconds();
        if (std::system(command.c_str()) != 0) return -1;
        const double took = NowSeconds() - start;
        if (best < 0 || took < best) best = took;
    }
    return best;
}

std::string MakeTempFolder(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    const char* made = ::mkdtemp(pattern.data());
    return made != nullptr ? std::string(made) : std::string();
}

void RemoveTree(const std::string& folder) {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
}

}  // namespace tv::bench
