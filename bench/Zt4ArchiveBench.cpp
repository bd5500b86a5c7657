// Archives a generated ZT4 card of at least 100 MB of store completely and
// validates the archive files, each timed next to sha256sum of the same bytes,
// with the peak memory of this process (the card is generated in a child
// process, so that its memory does not count).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "app/AppContext.h"
#include "archive/ArchiveRun.h"
#include "archive/BaseArchiver.h"
#include "emulator/CardGenerator.h"
#include "emulator/SmcEmulator.h"
#include "messages/MemoryResultList.h"
#include "smc/SmcAccess.h"
#include "smc/SmcDiscovery.h"
#include "zt4/ArchiveVerifierZT4.h"

namespace {

double MiB(uint64_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

}  // namespace

int main(int argc, char** argv) {
    using namespace tv;
    if (const int child = bench::RunAsCardChild(argc, argv); child >= 0) return child;
    const long long megabytes = argc > 1 ? std::atoll(argv[1]) : 100;
    const long long receipts = argc > 2 ? std::atoll(argv[2]) : 2000;
    const std::string folder = bench::MakeTempFolder("tv-bench-zt4");
    if (folder.empty()) return 1;
    const std::string card = (std::filesystem::path(folder) / "card").string();
    const std::string archives = (std::filesystem::path(folder) / "archives").string();
    std::filesystem::create_directories(archives);

    auto platform = CreateSystemPlatform();
    bench::SilentUi ui;
    InstallEnvironment(*platform, ui, platform->JoinPath(folder, "data"));

    CardOptions options;
    options.family = CardFamily::Zt4;
    options.start = CalendarDate{2016, 1, 4};
    options.receiptsPerDay = static_cast<uint32_t>(receipts);
    options.days = static_cast<uint32_t>(megabytes * 1024 * 1024 / (receipts * 600)) + 1;
    if (!bench::GenerateCardApart(options, card)) {
        std::fprintf(stderr, "card generation failed\n");
        return 1;
    }

    AppContext& ctx = GetAppContext();
    ctx.archivePath = platform->WithTrailingSeparator(archives);
    ctx.maxArchiveSize = uint64_t{2048} << 20;
    MountEmulatedCard(*platform, 'E', card);
    if (!bench::ChooseFirstCard(ctx)) return 1;
    WormUsage usage;
    WORM_GET_USAGE(ctx.worm.get(), usage);
    const uint64_t storeBytes = uint64_t{usage.nextWriteIndex} * 512;

    SetArchiveType(ctx, 1);
    MemoryResultList results;
    bench::SilentProgress progress;
    bench::SilentStatus noStatus;
    const bench::Stopwatch archiveWatch;
    const ArchiveRunOutcome outcome = RunCurrentArchiver(ctx, &progress, &results, &noStatus);
    const bench::Timing archive = archiveWatch.Stop();
    const double archiveTime = archive.wall;
    const double archivePeak = bench::PeakMemoryMiB();
    if (!outcome.success) {
        std::fprintf(stderr, "archiving failed with result %d\n", outcome.result);
        return 1;
    }
    const bench::Timing storeShaTiming = bench::TimeSha256(bench::StoreFiles(card), 3);
    const double storeSha = storeShaTiming.wall;

    std::vector<std::string> files;
    uint64_t xmlBytes = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(archives)) {
        if (e.path().extension() == ".xml") {
            files.push_back(e.path().string());
            xmlBytes += e.file_size();
        }
    }
    bool validated = !files.empty();
    const double start = bench::NowSeconds();
    for (const std::string& file : files) {
        CArchiveVerifierZT4 verifier(file);
        MemoryResultList rows;
        validated = verifier.Verify(&progress, &rows) && validated;
    }
    const double validateTime = bench::NowSeconds() - start;
    const double xmlSha = bench::TimeSha256(files, 3).wall;

    std::printf("ZT4 complete archive: %.1f MiB of store, %.1f MiB of XML in %zu file(s), %lld receipts a day\n",
                MiB(storeBytes), MiB(xmlBytes), files.size(), receipts);
    std::printf("  archive   %7.3f s  %7.1f MiB/s of store  ratio to %s %.2f   (target >= 25 MiB/s)\n",
                archiveTime, MiB(storeBytes) / archiveTime, bench::kSha256Name, archiveTime / storeSha);
    std::printf("  validate  %7.3f s  %7.1f MiB/s of XML    ratio to %s %.2f   (target >= 100 MiB/s) %s\n",
                validateTime, MiB(xmlBytes) / validateTime, bench::kSha256Name, validateTime / xmlSha,
                validated ? "validated" : "FAILED");
    std::printf("  %s of the store %.3f s, of the XML %.3f s\n", bench::kSha256Name, storeSha, xmlSha);
    std::printf("  peak memory: %.1f MiB after archiving, %.1f MiB after validating (target < 64 MiB)\n",
                archivePeak, bench::PeakMemoryMiB());
    CloseSmc(ctx);
    DestroyAppContext();
    bench::RemoveTree(folder);
    const double peak = bench::PeakMemoryMiB();
    const bool met = validated && MiB(storeBytes) / archiveTime >= 25 && MiB(xmlBytes) / validateTime >= 100 &&
                     peak < 64;
    std::printf("  targets %s\n", met ? "met" : "NOT met");

    // The rows of the table of targets, as the dX benchmark gives its own.
    const double ratio = archiveTime / storeSha;
    char what[128];
    char figures[160];
    std::snprintf(what, sizeof what, "ZT4 complete archive / %s of the store, %.0f MiB", bench::kSha256Name,
                  MiB(storeBytes));
    std::snprintf(figures, sizeof figures, "%.2f s / %.2f s (cpu %.2f s / %.2f s), cpu ratio %.2f", archive.wall,
                  storeShaTiming.wall, archive.cpu, storeShaTiming.cpu, archive.cpu / storeShaTiming.cpu);
    bench::PrintSummaryRow(what, figures, ratio, "<= 3", ratio <= 3);
    std::snprintf(what, sizeof what, "peak memory, ZT4 complete archive and validation, %.0f MiB", MiB(storeBytes));
    std::snprintf(figures, sizeof figures, "%.1f MiB", peak);
    bench::PrintSummaryRow(what, figures, -1, "< 64 MiB", peak < 64);
    return validated ? 0 : 1;
}
