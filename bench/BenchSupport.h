// Small helpers of the benchmarks: a silent user interface, timing, peak memory,
// and timing an outside command on the same file.
#pragma once

#include <string>

#include "messages/UiHost.h"

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

double NowSeconds();
// Peak resident memory of this process so far, in MiB.
double PeakMemoryMiB();
// Best wall time of `runs` runs of the shell command, in seconds; negative when it fails.
double TimeCommand(const std::string& command, int runs);
// A fresh folder under the system's temporary folder.
std::string MakeTempFolder(const std::string& prefix);
void RemoveTree(const std::string& folder);

}  // namespace tv::bench
