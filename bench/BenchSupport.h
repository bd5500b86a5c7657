// Small helpers of the benchmarks: a silent user interface, timing, peak memory,
// and timing an outside command on the same file.
#pragma once

#include <string>

#include "messages/UiHost.h"

namespace tv {
class AppContext;
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
// Best wall time of `runs` runs of the shell command, in seconds; negative when it fails.
double TimeCommand(const std::string& command, int runs);
// The best of `runs` runs of the shell command, wall and processor time (of the
// command's processes); negative when it fails.
Timing TimeCommandFully(const std::string& command, int runs);
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
// A fresh folder under the system's temporary folder.
std::string MakeTempFolder(const std::string& prefix);
void RemoveTree(const std::string& folder);

}  // namespace tv::bench
