// Small helpers of the benchmarks: a silent user interface, timing, peak memory,
// the SHA-256 of the same bytes for comparison, and card generation in a child
// process.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "messages/UiHost.h"

namespace tv {
class AppContext;
struct CardOptions;
}

namespace tv::bench {

class SilentUi : public UiHost {
public:
    int MessageBox(const std::u16string&, const std::u16string&, unsigned) override { return kIdNo; }
    void Pump() override {}
    void Repaint() override {}
};

class SilentProgress : public ProgressView {
public:
    void SetRange(int32_t, int32_t) override {}
    void SetPos(int32_t) override {}
};

class SilentStatus : public StatusView {
public:
    void SetText(const std::u16string&) override {}
};

// Chooses the first listed card for archiving, as the card page does; false
// (with a line on stderr) when it is refused.
bool ChooseFirstCard(AppContext& ctx);

// Wall time and processor time (user + system) of a piece of work, in seconds.
// On a shared machine the wall time grows with the load; the processor time
// does not.
struct Timing {
    double wall = -1;
    double cpu = -1;
};

double NowSeconds();
// Processor time of this process so far (user + system).
double CpuSeconds();
// Peak resident memory of this process so far, in MiB.
double PeakMemoryMiB();
// What the figures compare with: the SHA-256 of the same bytes, by sha256sum
// where there is one.
extern const char* const kSha256Name;
// The best of `runs` SHA-256 digests of the files' bytes in turn, wall and
// processor time; negative when it fails. On Linux `cat FILES | sha256sum` (the
// processor time is its processes'); on Windows, which has no sha256sum, this
// process digests the files with the same SHA-256 code the archives use.
Timing TimeSha256(const std::vector<std::string>& files, int runs);
// The store files of a card image (WORMSTOR.DAT and its continuations).
std::vector<std::string> StoreFiles(const std::string& card);
// Starts timing in this process; Stop gives what passed since.
class Stopwatch {
public:
    Stopwatch() : wall_(NowSeconds()), cpu_(CpuSeconds()) {}
    Timing Stop() const { return Timing{NowSeconds() - wall_, CpuSeconds() - cpu_}; }

private:
    double wall_;
    double cpu_;
};
// A summary row of `make bench`: what, figures, ratio, target, verdict. The
// script gathers these rows into one table.
void PrintSummaryRow(const std::string& what, const std::string& figures, double ratio, const std::string& target,
                     bool met);
// Card generation in a child process (this program again), so that the memory
// it takes does not count in the benchmark's peak. False when it failed.
bool GenerateCardApart(const CardOptions& options, const std::string& folder);
bool ExtendCardApart(const std::string& folder, uint32_t days);
// Called first in main: when this process is such a child, does its work and
// gives its exit status; otherwise -1.
int RunAsCardChild(int argc, char** argv);
// A fresh folder under the system's temporary folder.
std::string MakeTempFolder(const std::string& prefix);
void RemoveTree(const std::string& folder);

}  // namespace tv::bench
