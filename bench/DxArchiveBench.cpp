// Archives a generated dX card completely and verifies the archive, each timed
// next to sha256sum of the same bytes in the same run, on an emulated card that
// models a real card's latency (a fixed cost per read request and a bandwidth,
// added up, not waited for). Prints the figures, the peak memory of this process
// (the card is generated in a child process, so that its memory does not count)
// and summary rows for `make bench`.
//
//   bench_dx_archive MEGABYTES [RECEIPTS_PER_DAY] [--memory]
//
// --memory: only the archive and the peak memory, as one summary row.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "BenchSupport.h"
#include "app/AppContext.h"
#include "archive/ArchiveRun.h"
#include "archive/BaseArchiver.h"
#include "crypto/Signature.h"
#include "dx/ArchiverdX.h"
#include "dx/VerifierdX.h"
#include "emulator/CardGenerator.h"
#include "emulator/SmcEmulator.h"
#include "messages/MemoryResultList.h"
#include "smc/SmcAccess.h"
#include "smc/SmcDiscovery.h"

namespace {

constexpr double kSecondsPerRequest = 0.0005;  // a card behind a USB reader
constexpr double kCardBytesPerSecond = 90e6;
constexpr double kTransferBytes = 1024.0 * 1024.0;
constexpr double kMemoryLimitMiB = 64;

double MiB(uint64_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

uint64_t FolderBytes(const std::string& folder, const std::string& extension) {
    uint64_t total = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        if (e.path().extension() == extension) total += e.file_size();
    }
    return total;
}

std::string Format(const char* format, double a, double b = 0, double c = 0, double d = 0) {
    char text[256];
    std::snprintf(text, sizeof text, format, a, b, c, d);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tv;
    if (const int child = bench::RunAsCardChild(argc, argv); child >= 0) return child;
    const long long megabytes = argc > 1 ? std::atoll(argv[1]) : 100;
    // Receipts per day set how much journal stands between two signature blocks
    // (one closure group a day).
    const long long receipts = argc > 2 && argv[2][0] != '-' ? std::atoll(argv[2]) : 2000;
    const bool memoryOnly = argc > 1 && std::strcmp(argv[argc - 1], "--memory") == 0;
    const std::string folder = bench::MakeTempFolder("tv-bench-dx");
    if (folder.empty()) return 1;
    const std::string card = (std::filesystem::path(folder) / "card").string();
    const std::string archives = (std::filesystem::path(folder) / "archives").string();
    std::filesystem::create_directories(archives);

    auto platform = CreateSystemPlatform();
    bench::SilentUi ui;
    InstallEnvironment(*platform, ui, platform->JoinPath(folder, "data"));

    const double generationStart = bench::NowSeconds();
    CardOptions options;
    options.receiptsPerDay = static_cast<uint32_t>(receipts);
    options.days = static_cast<uint32_t>(megabytes * 1024 * 1024 / (receipts * 770)) + 1;
    if (!bench::GenerateCardApart(options, card)) {
        std::fprintf(stderr, "card generation failed\n");
        return 1;
    }
    const double generationTime = bench::NowSeconds() - generationStart;

    AppContext& ctx = GetAppContext();
    ctx.archivePath = platform->WithTrailingSeparator(archives);
    ctx.maxArchiveSize = uint64_t{2048} << 20;
    auto emulated = MountEmulatedCard(*platform, 'E', card);
    emulated->SetLatency(CardLatency{kSecondsPerRequest, kCardBytesPerSecond});
    if (!bench::ChooseFirstCard(ctx)) return 1;
    WormUsage usage;
    WORM_GET_USAGE(ctx.worm.get(), usage);
    const uint64_t storeBytes = uint64_t{usage.nextWriteIndex} * 512;

    SetArchiveType(ctx, 1);
    MemoryResultList results;
    bench::SilentProgress progress;
    bench::SilentStatus noStatus;
    emulated->ResetReadCounters();
    const bench::Stopwatch archiveWatch;
    const ArchiveRunOutcome outcome = RunCurrentArchiver(ctx, &progress, &results, &noStatus);
    const bench::Timing archive = archiveWatch.Stop();
    const double archivePeak = bench::PeakMemoryMiB();
    const CardReadCounters reads = emulated->ReadCounters();
    if (!outcome.success) {
        std::fprintf(stderr, "archiving failed with result %d\n", outcome.result);
        return 1;
    }
    const double minimumRequests = std::ceil(static_cast<double>(storeBytes) / kTransferBytes);
    const double requestRatio = static_cast<double>(reads.storeRequests) / minimumRequests;
    const std::string size = Format("%.0f MiB", MiB(storeBytes));

    if (memoryOnly) {
        std::printf("dX complete archive of %s of store: %.3f s, peak memory %.1f MiB\n", size.c_str(), archive.wall,
                    archivePeak);
        bench::PrintSummaryRow("peak memory, dX complete archive, " + size + " of store",
                               Format("%.1f MiB", archivePeak), -1, "< 64 MiB", archivePeak < kMemoryLimitMiB);
        CloseSmc(ctx);
        DestroyAppContext();
        bench::RemoveTree(folder);
        return 0;
    }

    const bench::Timing storeSha = bench::TimeSha256(bench::StoreFiles(card), 3);
    std::string csv;
    for (const auto& e : std::filesystem::directory_iterator(archives)) {
        if (e.path().extension() == ".csv") csv = e.path().string();
    }
    const uint64_t csvBytes = FolderBytes(archives, ".csv");
    // The best of three, as for sha256sum; every signature is verified again each
    // time, as a later check would.
    bench::Timing verify;
    bool verified = true;
    for (int run = 0; run < 3; ++run) {
        ForgetVerifiedSignatures();
        const bench::Stopwatch verifyWatch;
        verified = VerifyArchiveFileQuietly(csv) && verified;
        const bench::Timing took = verifyWatch.Stop();
        if (verify.wall < 0 || took.wall < verify.wall) verify.wall = took.wall;
        if (verify.cpu < 0 || took.cpu < verify.cpu) verify.cpu = took.cpu;
    }
    const bench::Timing csvSha = bench::TimeSha256({csv}, 3);

    const double archiveRatio = archive.wall / storeSha.wall;
    const double archiveCpuRatio = archive.cpu / storeSha.cpu;
    const double verifyRatio = verify.wall / csvSha.wall;
    const double verifyCpuRatio = verify.cpu / csvSha.cpu;
    const char* kind = receipts >= 1000 ? "busy" : "quiet";

    std::printf("dX card: %.1f MiB of store, %.1f MiB of CSV, %lld receipts a day (%s; generated in %.1f s)\n",
                MiB(storeBytes), MiB(csvBytes), receipts, kind, generationTime);
    std::printf("  complete archive  %7.3f s wall  %7.3f s cpu  %7.1f MiB/s of store\n", archive.wall, archive.cpu,
                MiB(storeBytes) / archive.wall);
    std::printf("  %s of the store  %7.3f s wall  %7.3f s cpu\n", bench::kSha256Name, storeSha.wall, storeSha.cpu);
    std::printf("  verification      %7.3f s wall  %7.3f s cpu  %7.1f MiB/s of CSV  %s\n", verify.wall, verify.cpu,
                MiB(csvBytes) / verify.wall, verified ? "verified" : "FAILED");
    std::printf("  %s of the CSV    %7.3f s wall  %7.3f s cpu\n", bench::kSha256Name, csvSha.wall, csvSha.cpu);
    std::printf("  card reads: %llu store requests of %.0f at least (%.2f times), %.1f MiB; %llu requests in all;"
                " modelled card time %.2f s at %.1f ms a request and %.0f MB/s\n",
                static_cast<unsigned long long>(reads.storeRequests), minimumRequests, requestRatio,
                MiB(reads.storeBytes), static_cast<unsigned long long>(reads.requests), reads.modelledSeconds,
                kSecondsPerRequest * 1000, kCardBytesPerSecond / 1e6);
    std::printf("  peak memory: %.1f MiB after archiving, %.1f MiB after verifying\n", archivePeak,
                bench::PeakMemoryMiB());

    bench::PrintSummaryRow(std::string("dX complete archive / ") + bench::kSha256Name + " of the store, " + size + ", " + kind,
                           Format("%.2f s / %.2f s (cpu %.2f s / %.2f s)", archive.wall, storeSha.wall, archive.cpu,
                                  storeSha.cpu) +
                               Format(", cpu ratio %.2f", archiveCpuRatio),
                           archiveRatio, "<= 3", archiveRatio <= 3);
    bench::PrintSummaryRow(std::string("dX verification / ") + bench::kSha256Name + " of the CSV, " + size + ", " + kind,
                           Format("%.2f s / %.2f s (cpu %.2f s / %.2f s)", verify.wall, csvSha.wall, verify.cpu,
                                  csvSha.cpu) +
                               Format(", cpu ratio %.2f", verifyCpuRatio),
                           verifyRatio, "<= 1.5", verified && verifyRatio <= 1.5);
    bench::PrintSummaryRow(std::string("card read requests / minimum (1 MiB transfers), ") + size + ", " + kind,
                           Format("%.0f / %.0f", static_cast<double>(reads.storeRequests), minimumRequests),
                           requestRatio, "<= 2", requestRatio <= 2);
    bench::PrintSummaryRow(std::string("modelled card time of the archive (0.5 ms a request, 90 MB/s), ") + size +
                               ", " + kind,
                           Format("%.2f s", reads.modelledSeconds), -1, "< 3 s",
                           reads.modelledSeconds < 3);
    bench::PrintSummaryRow(std::string("peak memory, dX complete archive and verification, ") + size,
                           Format("%.1f MiB", bench::PeakMemoryMiB()), -1, "< 64 MiB",
                           bench::PeakMemoryMiB() < kMemoryLimitMiB);
    CloseSmc(ctx);
    DestroyAppContext();
    bench::RemoveTree(folder);
    return verified ? 0 : 1;
}
