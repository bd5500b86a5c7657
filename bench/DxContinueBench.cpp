// A continue-from-last archive of a dX (or, given "zt4", a ZT4) card of at least
// 100 MB of store whose last tenth is new since its complete archive: the run
// should read the new part of the store and little else. Prints the store
// sectors the card served.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BenchSupport.h"
#include "app/AppContext.h"
#include "archive/ArchiveRun.h"
#include "archive/BaseArchiver.h"
#include "archive/SmcProfile.h"
#include "emulator/CardExtension.h"
#include "emulator/CardGenerator.h"
#include "emulator/SmcEmulator.h"
#include "messages/MemoryResultList.h"
#include "smc/SmcAccess.h"
#include "smc/SmcDiscovery.h"

namespace {

double MiB(uint64_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

}  // namespace

int main(int argc, char** argv) {
    using namespace tv;
    if (const int child = bench::RunAsCardChild(argc, argv); child >= 0) return child;
    const long long megabytes = argc > 1 ? std::atoll(argv[1]) : 100;
    const long long receipts = argc > 2 ? std::atoll(argv[2]) : 2000;
    const bool zt4 = argc > 3 && std::string(argv[3]) == "zt4";
    const std::string folder = bench::MakeTempFolder("tv-bench-continue");
    if (folder.empty()) return 1;
    auto platform = CreateSystemPlatform();
    const std::string card = platform->JoinPath(folder, "card");
    const std::string first = platform->JoinPath(folder, "first");
    const std::string next = platform->JoinPath(folder, "next");
    std::filesystem::create_directories(first);
    std::filesystem::create_directories(next);

    bench::SilentUi ui;
    InstallEnvironment(*platform, ui, platform->JoinPath(folder, "data"));

    const auto days = static_cast<uint32_t>(megabytes * 1024 * 1024 / (receipts * (zt4 ? 600 : 770))) + 1;
    const uint32_t newDays = days / 10 > 0 ? days / 10 : 1;
    CardOptions options;
    if (zt4) {
        options.family = CardFamily::Zt4;
        options.start = CalendarDate{2016, 1, 4};
    }
    options.receiptsPerDay = static_cast<uint32_t>(receipts);
    options.days = days - newDays;
    if (!bench::GenerateCardApart(options, card)) {
        std::fprintf(stderr, "card generation failed\n");
        return 1;
    }

    AppContext& ctx = GetAppContext();
    ctx.maxArchiveSize = uint64_t{2048} << 20;
    auto emulator = MountEmulatedCard(*platform, 'E', card);
    MemoryResultList results;
    bench::SilentProgress progress;
    bench::SilentStatus status;
    ctx.archivePath = platform->WithTrailingSeparator(first);
    if (!bench::ChooseFirstCard(ctx)) return 1;
    SetArchiveType(ctx, 1);
    if (!RunCurrentArchiver(ctx, &progress, &results, &status).success) {
        std::fprintf(stderr, "the complete archive failed\n");
        return 1;
    }
    WormUsage before;
    WORM_GET_USAGE(ctx.worm.get(), before);
    CloseSmc(ctx);

    if (!bench::ExtendCardApart(card, newDays)) {
        std::fprintf(stderr, "growing the card failed\n");
        return 1;
    }
    ctx.archivePath = platform->WithTrailingSeparator(next);
    std::u16string info;
    if (!bench::ChooseFirstCard(ctx) || CheckSmcProfile(ctx, info) != ProfileCheck::Valid) {
        std::fprintf(stderr, "the card's profile is not valid\n");
        return 1;
    }
    SetArchiveType(ctx, 2);
    WormUsage after;
    InitSmc(ctx, WormMode::Data);
    WORM_GET_USAGE(ctx.worm.get(), after);
    emulator->ResetReadCounters();
    const double start = bench::NowSeconds();
    const ArchiveRunOutcome outcome = RunCurrentArchiver(ctx, &progress, &results, &status);
    const double seconds = bench::NowSeconds() - start;
    if (!outcome.success) {
        std::fprintf(stderr, "the continue run failed with result %d\n", outcome.result);
        return 1;
    }
    const uint64_t store = after.nextWriteIndex;
    const uint64_t fresh = after.nextWriteIndex - before.nextWriteIndex;
    const CardReadCounters reads = emulator->ReadCounters();
    const uint64_t read = reads.storeSectors;
    std::printf("%s continue from last archive: %.1f MiB of store, %.1f MiB new (%u of %u days)\n", zt4 ? "ZT4" : "dX",
                MiB(store * 512),
                MiB(fresh * 512), newDays, days);
    // Its speed is that of a complete run of the same size (bench_dx_archive, bench_zt4_archive).
    std::printf("  archive   %7.3f s  %7.1f MiB/s of new store\n", seconds, MiB(fresh * 512) / seconds);
    std::printf("  store sectors read: %llu in %llu requests, of %llu in the store, %llu new (%.2f per new sector)\n",
                static_cast<unsigned long long>(read), static_cast<unsigned long long>(reads.storeRequests),
                static_cast<unsigned long long>(store), static_cast<unsigned long long>(fresh),
                static_cast<double>(read) / static_cast<double>(fresh));
    std::printf("  peak memory: %.1f MiB (target < 64 MiB)\n", bench::PeakMemoryMiB());
    // The new part once (its long blocks' first sector twice), the leading
    // blocks and the two scans: well under twice the new part.
    const bool met = read < 2 * fresh;
    std::printf("  target (reads < 2 x new sectors) %s\n", met ? "met" : "NOT met");
    CloseSmc(ctx);
    DestroyAppContext();
    bench::RemoveTree(folder);
    return 0;
}
