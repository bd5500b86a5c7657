// What an auditor's report costs on top of a folder verification: a generated
// dX card is archived once, split into several files by a maximum file size,
// and the folder of archives is verified plainly and then with the audit trail,
// the continuity check and the written HTML report, alternately, in the same
// run; the best time of each is compared.
//
//   bench_dx_audit [MEGABYTES_OF_ARCHIVES] [RUNS]   (default 1024 MB, 3 runs each)
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BenchSupport.h"
#include "app/AppContext.h"
#include "archive/ArchiveRun.h"
#include "archive/BaseArchiver.h"
#include "audit/Continuity.h"
#include "audit/FileAudit.h"
#include "audit/Report.h"
#include "crypto/Signature.h"
#include "dx/VerifierdX.h"
#include "emulator/CardGenerator.h"
#include "emulator/SmcEmulator.h"
#include "messages/MemoryResultList.h"
#include "smc/SmcAccess.h"
#include "smc/SmcDiscovery.h"

namespace {

constexpr double kTargetRatio = 1.10;
// A generated card's CSV archive is about this many bytes per byte of store
// (hex text of the used bytes, without the blocks' padding).
constexpr double kCsvBytesPerStoreByte = 0.86;
constexpr int kArchiveFiles = 8;  // about this many files after the split

double MiB(uint64_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

std::string Format(const char* format, double a, double b = 0, double c = 0, double d = 0) {
    char text[256];
    std::snprintf(text, sizeof text, format, a, b, c, d);
    return text;
}

struct FolderRun {
    bool verified = false;
    size_t files = 0;
    size_t reportBytes = 0;
};

// Verifies every archive of the folder as the verification page does, standalone.
FolderRun VerifyFolder(tv::AppContext& ctx, const std::string& archives, const std::string& report, bool audit) {
    using namespace tv;
    FolderRun run;
    ForgetVerifiedSignatures();
    ctx.verificationPath = archives;
    ctx.folderInput = 1;
    ctx.verificationMode = 2;
    AuditTrail trail;
    ctx.auditTrail = audit ? &trail : nullptr;
    MemoryResultList results;
    bench::SilentProgress progress;
    CVerifierdX verifier;
    run.verified = verifier.VerifyArchives(&progress, &results, false);
    run.files = static_cast<size_t>(results.ItemCount());
    ctx.auditTrail = nullptr;
    if (!audit) return run;

    const ContinuityReport continuity = CheckContinuity(trail, nullptr);
    ReportInput input;
    input.checkedPath = archives;
    input.createdAt = "2026-01-01 00:00:00";
    input.version = "bench";
    input.trail = &trail;
    input.columns = {u"#", u"File name", u"Status", u"Remarks"};
    input.rows = results.Rows();
    input.continuity = &continuity;
    const std::string html = RenderReportHtml(input);
    std::u16string error;
    if (!WriteReportText(report, html, error)) {
        std::fprintf(stderr, "the report could not be written\n");
        run.verified = false;
    }
    run.reportBytes = html.size();
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tv;
    if (const int child = bench::RunAsCardChild(argc, argv); child >= 0) return child;
    const long long megabytes = argc > 1 ? std::atoll(argv[1]) : 1024;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    if (megabytes <= 0) return 64;
    const std::string folder = bench::MakeTempFolder("tv-bench-audit");
    if (folder.empty()) return 1;
    const std::string card = (std::filesystem::path(folder) / "card").string();
    const std::string archives = (std::filesystem::path(folder) / "archives").string();
    const std::string report = (std::filesystem::path(folder) / "report.html").string();
    std::filesystem::create_directories(archives);

    auto platform = CreateSystemPlatform();
    bench::SilentUi ui;
    InstallEnvironment(*platform, ui, platform->JoinPath(folder, "data"));

    const double generationStart = bench::NowSeconds();
    CardOptions options;
    options.receiptsPerDay = 2000;
    const double storeBytes = static_cast<double>(megabytes) * 1024 * 1024 / kCsvBytesPerStoreByte;
    options.days = static_cast<uint32_t>(storeBytes / (options.receiptsPerDay * 770.0)) + 1;
    if (!bench::GenerateCardApart(options, card)) {
        std::fprintf(stderr, "card generation failed\n");
        return 1;
    }

    AppContext& ctx = GetAppContext();
    ctx.archivePath = platform->WithTrailingSeparator(archives);
    ctx.maxArchiveSize = static_cast<uint64_t>(megabytes) * 1024 * 1024 / kArchiveFiles + 1;
    auto emulated = MountEmulatedCard(*platform, 'E', card);
    if (!bench::ChooseFirstCard(ctx)) return 1;
    SetArchiveType(ctx, 1);
    {
        MemoryResultList results;
        bench::SilentProgress progress;
        bench::SilentStatus noStatus;
        const ArchiveRunOutcome outcome = RunCurrentArchiver(ctx, &progress, &results, &noStatus);
        if (!outcome.success) {
            std::fprintf(stderr, "archiving failed with result %d\n", outcome.result);
            return 1;
        }
    }
    CloseSmc(ctx);
    const double generationTime = bench::NowSeconds() - generationStart;
    uint64_t csvBytes = 0;
    size_t csvFiles = 0;
    for (const auto& e : std::filesystem::directory_iterator(archives)) {
        if (e.path().extension() == ".csv") {
            csvBytes += e.file_size();
            ++csvFiles;
        }
    }

    // Alternately, so that the machine's load weighs on both alike.
    bench::Timing plain, audited;
    FolderRun plainRun, auditRun;
    const auto keepBest = [](bench::Timing& best, const bench::Timing& took) {
        if (best.wall < 0 || took.wall < best.wall) best.wall = took.wall;
        if (best.cpu < 0 || took.cpu < best.cpu) best.cpu = took.cpu;
    };
    bool verified = true;
    for (int run = 0; run < runs; ++run) {
        const bench::Stopwatch plainWatch;
        plainRun = VerifyFolder(ctx, archives, report, false);
        keepBest(plain, plainWatch.Stop());
        const bench::Stopwatch auditWatch;
        auditRun = VerifyFolder(ctx, archives, report, true);
        keepBest(audited, auditWatch.Stop());
        verified = verified && plainRun.verified && auditRun.verified;
    }
    const double ratio = audited.wall / plain.wall;
    const std::string size = Format("%.0f MiB", MiB(csvBytes));

    std::printf("dX folder: %zu archives, %.1f MiB of CSV (generated and archived in %.1f s)\n", csvFiles,
                MiB(csvBytes), generationTime);
    std::printf("  verification                     %7.3f s wall  %7.3f s cpu  %s\n", plain.wall, plain.cpu,
                verified ? "verified" : "FAILED");
    std::printf("  with continuity and report       %7.3f s wall  %7.3f s cpu  (report %zu bytes)\n", audited.wall,
                audited.cpu, auditRun.reportBytes);
    bench::PrintSummaryRow("dX folder verification, " + size + " in " + std::to_string(csvFiles) +
                               " archives: with continuity and report / without",
                           Format("%.2f s / %.2f s (cpu %.2f s / %.2f s)", audited.wall, plain.wall, audited.cpu,
                                  plain.cpu),
                           ratio, "<= 1.10", verified && ratio <= kTargetRatio);
    DestroyAppContext();
    bench::RemoveTree(folder);
    return verified ? 0 : 1;
}
