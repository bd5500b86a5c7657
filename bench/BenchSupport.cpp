#include "BenchSupport.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/AppContext.h"
#include "smc/SmcDiscovery.h"

namespace tv::bench {

double NowSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

namespace {

double ChildrenCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

Timing TimeCommandFully(const std::string& command, int runs) {
    Timing best;
    for (int i = 0; i < runs; ++i) {
        const double wall = NowSeconds();
        const double cpu = ChildrenCpuSeconds();
        if (std::system(command.c_str()) != 0) return Timing{};
        const double tookWall = NowSeconds() - wall;
        const double tookCpu = ChildrenCpuSeconds() - cpu;
        if (best.wall < 0 || tookWall < best.wall) best.wall = tookWall;
        if (best.cpu < 0 || tookCpu < best.cpu) best.cpu = tookCpu;
    }
    return best;
}

void PrintSummaryRow(const std::string& what, const std::string& figures, double ratio, const std::string& target,
                     bool met) {
    char ratioText[32];
    std::snprintf(ratioText, sizeof ratioText, "%.2f", ratio);
    std::printf("| %s | %s | %s | %s | %s |\n", what.c_str(), figures.c_str(), ratio >= 0 ? ratioText : "-",
                target.c_str(), met ? "met" : "NOT met");
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

bool ChooseFirstCard(AppContext& ctx) {
    const SmcList list = ScanSmcDrives(ctx);
    if (list.entries.size() < 2 || IdentifySmc(ctx, list.entries[1], SmcPurpose::Archiving) != SmcIdentity::Accepted) {
        std::fprintf(stderr, "the card was not accepted\n");
        return false;
    }
    return true;
}

}  // namespace tv::bench
