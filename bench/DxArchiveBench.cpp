// Archives a generated dX card of at least 100 MB of store completely and
// verifies the archive, each timed next to sha256sum of the same bytes, with the
// peak memory of this process (the card is generated in a child process, so that
// its memory does not count).
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
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

double MiB(uint64_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

uint64_t FolderBytes(const std::string& folder, const std::string& extension) {
    uint64_t total = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        if (e.path().extension() == extension) total += e.file_size();
    }
    return total;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tv;
    const long long megabytes = argc > 1 ? std::atoll(argv[1]) : 100;
    // Receipts per day set how much journal stands between two signature blocks
    // (one closure group a day); verifying a P-521 signature costs a few ms.
    const long long receipts = argc > 2 ? std::atoll(argv[2]) : 2000;
    const std::string folder = bench::MakeTempFolder("tv-bench-dx");
    if (folder.empty()) return 1;
    const std::string card = folder + "/card";
    const std::string archives = folder + "/archives";
    std::filesystem::create_directories(archives);

    auto platform = CreateSystemPlatform();
    bench::SilentUi ui;
    InstallEnvironment(*platform, ui, platform->JoinPath(folder, "data"));

    const pid_t child = ::fork();
    if (child == 0) {
        CardOptions options;
        options.receiptsPerDay = static_cast<uint32_t>(receipts);
        options.days = static_cast<uint32_t>(megabytes * 1024 * 1024 / (receipts * 770)) + 1;
        std::string error;
        ::_exit(GenerateCard(options, card, error) ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "card generation failed\n");
        return 1;
    }

    AppContext& ctx = GetAppContext();
    ctx.archivePath = archives + "/";
    ctx.maxArchiveSize = uint64_t{2048} << 20;
    MountEmulatedCard(*platform, 'E', card);
    const SmcList list = ScanSmcDrives(ctx);
    if (list.entries.size() < 2 || IdentifySmc(ctx, list.entries[1], SmcPurpose::Archiving) != SmcIdentity::Accepted) {
        std::fprintf(stderr, "the card was not accepted\n");
        return 1;
    }
    WormUsage usage;
    WORM_GET_USAGE(ctx.worm.get(), usage);
    const uint64_t storeBytes = uint64_t{usage.nextWriteIndex} * 512;

    SetArchiveType(ctx, 1);
    MemoryResultList results;
    bench::SilentProgress progress;
    class NoStatus : public StatusView {
    public:
        void SetText(const std::u16string&) override {}
    } noStatus;
    double start = bench::NowSeconds();
    const ArchiveRunOutcome outcome = RunCurrentArchiver(ctx, &progress, &results, &noStatus);
    const double archiveTime = bench::NowSeconds() - start;
    const double archivePeak = bench::PeakMemoryMiB();
    if (!outcome.success) {
        std::fprintf(stderr, "archiving failed with result %d\n", outcome.result);
        return 1;
    }
    const double storeSha = bench::TimeCommand("cat '" + card + "'/WORMSTOR*.DAT | sha256sum >/dev/null", 3);

    std::string csv;
    for (const auto& e : std::filesystem::directory_iterator(archives)) {
        if (e.path().extension() == ".csv") csv = e.path().string();
    }
    const uint64_t csvBytes = FolderBytes(archives, ".csv");
    ForgetVerifiedSignatures();  // verify every signature again, as a later check would
    start = bench::NowSeconds();
    const bool verified = VerifyArchiveFileQuietly(csv);
    const double verifyTime = bench::NowSeconds() - start;
    const double csvSha = bench::TimeCommand("sha256sum '" + csv + "' >/dev/null", 3);

    std::printf("dX complete archive: %.1f MiB of store, %.1f MiB of CSV, %lld receipts a day\n", MiB(storeBytes),
                MiB(csvBytes), receipts);
    std::printf("  archive   %7.3f s  %7.1f MiB/s of store  ratio to sha256sum %.2f   (target >= 20 MiB/s)\n",
                archiveTime, MiB(storeBytes) / archiveTime, archiveTime / storeSha);
    std::printf("  verify    %7.3f s  %7.1f MiB/s of CSV    ratio to sha256sum %.2f   (target >= 100 MiB/s) %s\n",
                verifyTime, MiB(csvBytes) / verifyTime, verifyTime / csvSha, verified ? "verified" : "FAILED");
    std::printf("  sha256sum store %.3f s, CSV %.3f s\n", storeSha, csvSha);
    std::printf("  peak memory: %.1f MiB after archiving, %.1f MiB after verifying (target < 64 MiB)\n", archivePeak,
                bench::PeakMemoryMiB());
    CloseSmc(ctx);
    DestroyAppContext();
    bench::RemoveTree(folder);
    const bool met = verified && MiB(storeBytes) / archiveTime >= 20 && MiB(csvBytes) / verifyTime >= 100 &&
                     bench::PeakMemoryMiB() < 64;
    std::printf("  targets %s\n", met ? "met" : "NOT met");
    return verified ? 0 : 1;
}
