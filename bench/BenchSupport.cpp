#include "BenchSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "app/AppContext.h"
#include "crypto/Digest.h"
#include "emulator/CardExtension.h"
#include "emulator/CardGenerator.h"
#include "smc/SmcDiscovery.h"
#include "support/Process.h"
#include "support/TempFolder.h"

namespace tv::bench {

double NowSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double CpuSeconds() { return test::ProcessCpuSeconds(); }

double PeakMemoryMiB() { return test::ProcessPeakMemoryBytes() / (1024.0 * 1024.0); }

#ifdef _WIN32

const char* const kSha256Name = "in-process SHA-256";

Timing TimeSha256(const std::vector<std::string>& files, int runs) {
    Timing best;
    for (int i = 0; i < runs; ++i) {
        const Stopwatch watch;
        for (const std::string& file : files) {
            std::string digest;
            if (!HashFile(file, digest)) return Timing{};
        }
        const Timing took = watch.Stop();
        if (best.wall < 0 || took.wall < best.wall) best.wall = took.wall;
        if (best.cpu < 0 || took.cpu < best.cpu) best.cpu = took.cpu;
    }
    return best;
}

#else

const char* const kSha256Name = "sha256sum";

Timing TimeSha256(const std::vector<std::string>& files, int runs) {
    std::string command = "cat";
    for (const std::string& file : files) command += " '" + file + "'";
    command += " | sha256sum >/dev/null";
    Timing best;
    for (int i = 0; i < runs; ++i) {
        const double wall = NowSeconds();
        const test::ChildResult r = test::RunChild("/bin/sh", {"-c", command});
        if (r.status != 0) return Timing{};
        const double tookWall = NowSeconds() - wall;
        if (best.wall < 0 || tookWall < best.wall) best.wall = tookWall;
        if (best.cpu < 0 || r.cpuSeconds < best.cpu) best.cpu = r.cpuSeconds;
    }
    return best;
}

#endif

std::vector<std::string> StoreFiles(const std::string& card) {
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(card)) {
        const std::string name = e.path().filename().string();
        if (name.rfind("WORMSTO", 0) == 0 && name.ends_with(".DAT")) files.push_back(e.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

namespace {

constexpr const char* kGenerateArgument = "--generate-card-apart";
constexpr const char* kExtendArgument = "--extend-card-apart";

bool RunApart(const std::vector<std::string>& args) {
    const test::ChildResult r = test::RunChild(test::CurrentProgramPath(), args);
    if (r.status != 0) std::fprintf(stderr, "%s", r.err.c_str());
    return r.status == 0;
}

}  // namespace

bool GenerateCardApart(const CardOptions& options, const std::string& folder) {
    return RunApart({kGenerateArgument, folder, options.family == CardFamily::Zt4 ? "zt4" : "dx",
                     std::to_string(options.days), std::to_string(options.receiptsPerDay),
                     std::to_string(options.start.year), std::to_string(options.start.month),
                     std::to_string(options.start.day)});
}

bool ExtendCardApart(const std::string& folder, uint32_t days) {
    return RunApart({kExtendArgument, folder, std::to_string(days)});
}

int RunAsCardChild(int argc, char** argv) {
    const bool generate = argc == 9 && std::strcmp(argv[1], kGenerateArgument) == 0;
    const bool extend = argc == 4 && std::strcmp(argv[1], kExtendArgument) == 0;
    if (!generate && !extend) return -1;
    // The benchmark's own data folder lies beside the card.
    auto platform = CreateSystemPlatform();
    SilentUi ui;
    InstallEnvironment(*platform, ui, (std::filesystem::path(argv[2]).parent_path() / "data").string());
    std::string error;
    bool made = false;
    if (generate) {
        CardOptions options;
        options.family = std::strcmp(argv[3], "zt4") == 0 ? CardFamily::Zt4 : CardFamily::Dx;
        options.days = static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10));
        options.receiptsPerDay = static_cast<uint32_t>(std::strtoul(argv[5], nullptr, 10));
        options.start = CalendarDate{std::atoi(argv[6]), std::atoi(argv[7]), std::atoi(argv[8])};
        made = GenerateCard(options, argv[2], error);
    } else {
        CardSummary grown;
        made = ExtendCard(argv[2], static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10)), grown, error);
    }
    DestroyAppContext();
    if (!made) std::fprintf(stderr, "%s\n", error.c_str());
    return made ? 0 : 1;
}

void PrintSummaryRow(const std::string& what, const std::string& figures, double ratio, const std::string& target,
                     bool met) {
    char ratioText[32];
    std::snprintf(ratioText, sizeof ratioText, "%.2f", ratio);
    std::printf("| %s | %s | %s | %s | %s |\n", what.c_str(), figures.c_str(), ratio >= 0 ? ratioText : "-",
                target.c_str(), met ? "met" : "NOT met");
}

std::string MakeTempFolder(const std::string& prefix) { return test::MakeUniqueFolder({}, prefix); }

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
