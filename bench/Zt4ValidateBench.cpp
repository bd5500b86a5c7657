// Validates a signed ZT4 archive of at least 200 MB and compares the time with
// sha256sum of the same file, measured in the same run.
#include <cstdio>
#include <fstream>
#include <string>

#include "BenchSupport.h"
#include "app/AppContext.h"
#include "messages/MemoryResultList.h"
#include "platform/Platform.h"
#include "zt4/ArchiveSignatureWriter.h"
#include "zt4/ArchiveVerifierZT4.h"

int main(int argc, char** argv) {
    using namespace tv;
    const long long megabytes = argc > 1 ? std::atoll(argv[1]) : 200;
    const std::string folder = bench::MakeTempFolder("tv-bench-zt4");
    if (folder.empty()) return 1;
    auto platform = CreateSystemPlatform();
    bench::SilentUi ui;
    InstallEnvironment(*platform, ui, platform->JoinPath(folder, "data"));
    GetAppContext();

    const std::string path = platform->JoinPath(folder, "20150101000000_20151231235959.xml");
    {
        std::ofstream out(path, std::ios::binary);
        out << "<?xml version=\"1.0\"?>\n<ZT4>"
            << "<fit><cte>2015-01-01 00:00:00</cte><fpg><ssn>K7Q29</ssn><ncd>"
               "04A1B2C3D4E5F60718293A4B5C6D7E8F</ncd></fpg></fit>";
        std::string block;
        long long written = 0;
        for (long long i = 0; written < megabytes * 1024 * 1024; ++i) {
            block = "<fit><cte>2015-06-01 12:00:00</cte><ftk><rcp>" + std::to_string(i) +
                    "</rcp><itm>Apples 1.234 kg</itm><amt>3.71</amt><vat>0.26</vat></ftk></fit>";
            out << block;
            written += static_cast<long long>(block.size());
        }
        out << "</ZT4>";
    }
    if (!SignArchiveFile(path)) {
        std::fprintf(stderr, "signing the archive failed\n");
        return 1;
    }
    const double size = static_cast<double>(std::ifstream(path, std::ios::ate | std::ios::binary).tellg()) /
                        (1024.0 * 1024.0);

    const bench::Timing sha = bench::TimeSha256({path}, 3);
    const double shaTime = sha.wall;
    double best = -1;
    double bestCpu = -1;
    bool ok = true;
    for (int run = 0; run < 3; ++run) {
        CArchiveVerifierZT4 verifier(path);
        bench::SilentProgress progress;
        MemoryResultList results;
        const bench::Stopwatch watch;
        ok = verifier.Verify(&progress, &results) && ok;
        const bench::Timing took = watch.Stop();
        if (best < 0 || took.wall < best) best = took.wall;
        if (bestCpu < 0 || took.cpu < bestCpu) bestCpu = took.cpu;
    }
    std::printf("ZT4 archive validation: %.1f MiB\n", size);
    std::printf("  validate   %7.3f s  %8.1f MiB/s  %s\n", best, size / best, ok ? "valid" : "INVALID");
    std::printf("  %s  %7.3f s  %8.1f MiB/s\n", bench::kSha256Name, shaTime, size / shaTime);
    std::printf("  ratio validate / %s: %.2f (target at most 1.30)\n", bench::kSha256Name, best / shaTime);
    std::printf("  peak memory: %.1f MiB (the archive was written by this process too)\n", bench::PeakMemoryMiB());
    char figures[160];
    std::snprintf(figures, sizeof figures, "%.2f s / %.2f s (cpu %.2f s / %.2f s), cpu ratio %.2f", best, shaTime,
                  bestCpu, sha.cpu, bestCpu / sha.cpu);
    char what[96];
    std::snprintf(what, sizeof what, "ZT4 validation / %s of the archive, %.0f MiB", bench::kSha256Name, size);
    bench::PrintSummaryRow(what, figures, best / shaTime, "< 1.3", ok && best / shaTime < 1.3);
    DestroyAppContext();
    bench::RemoveTree(folder);
    return ok ? 0 : 1;
}
