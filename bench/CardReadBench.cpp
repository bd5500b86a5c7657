// Reads every block of a generated card of about 100 MB through the card channel
// of an emulated card and reports the rate.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchSupport.h"
#include "app/AppContext.h"
#include "emulator/CardGenerator.h"
#include "emulator/SmcEmulator.h"
#include "smc/SmcAccess.h"
#include "store/BlockDecoder.h"

int main(int argc, char** argv) {
    using namespace tv;
    const long long megabytes = argc > 1 ? std::atoll(argv[1]) : 100;
    const std::string folder = bench::MakeTempFolder("tv-bench-card");
    if (folder.empty()) return 1;
    auto platform = CreateSystemPlatform();
    bench::SilentUi ui;
    const std::string cardFolder = platform->JoinPath(folder, "card");
    InstallEnvironment(*platform, ui, platform->JoinPath(folder, "data"));
    AppContext& ctx = GetAppContext();

    CardOptions options;
    options.family = CardFamily::Dx;
    options.receiptsPerDay = 400;
    // About 0.31 MB of store a day at 400 receipts.
    options.days = static_cast<uint32_t>(megabytes * 1024 * 1024 / (400 * 770)) + 1;
    CardSummary summary;
    std::string error;
    const double genStart = bench::NowSeconds();
    if (!GenerateCard(options, cardFolder, summary, error)) {
        std::fprintf(stderr, "card generation failed: %s\n", error.c_str());
        return 1;
    }
    const double genTime = bench::NowSeconds() - genStart;
    auto card = MountEmulatedCard(*platform, 'E', cardFolder);
    card->SetLatency(CardLatency{0.0005, 90e6});
    ctx.drive.assign(1, 'E');
    WormUsage usage;
    if (!CheckSmcUsage(ctx, usage)) return 1;
    card->ResetReadCounters();

    const double start = bench::NowSeconds();
    uint32_t blocks = 0;
    uint32_t hashFailures = 0;
    for (uint32_t b = 0; b < summary.sectorsUsed;) {
        WormBlock block;
        if (!ReadBlock(ctx, ScaleFamily::Dx, b, block)) {
            std::fprintf(stderr, "reading block %u failed\n", b);
            return 1;
        }
        if (!BlockHashMatches(block)) ++hashFailures;
        ++blocks;
        b += block.sectorCount;
    }
    const double took = bench::NowSeconds() - start;
    const double mib = summary.sectorsUsed * 512.0 / (1024.0 * 1024.0);
    std::printf("Card read through the channel: %.1f MiB of store, %u blocks (generated in %.1f s)\n", mib, blocks,
                genTime);
    std::printf("  read and hash-check every block  %7.3f s  %8.1f MiB/s  %u hash failures\n", took, mib / took,
                hashFailures);
    const CardReadCounters& reads = card->ReadCounters();
    std::printf("  %llu read requests of the store, %.1f MiB; modelled card time %.2f s at 0.5 ms a request and "
                "90 MB/s\n",
                static_cast<unsigned long long>(reads.storeRequests), reads.storeBytes / (1024.0 * 1024.0),
                reads.modelledSeconds);
    std::printf("  peak memory: %.1f MiB\n", bench::PeakMemoryMiB());
    CloseSmc(ctx);
    DestroyAppContext();
    bench::RemoveTree(folder);
    return hashFailures == 0 ? 0 : 1;
}
