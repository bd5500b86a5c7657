#include "cli/TerminalUi.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "app/AppContext.h"
#include "platform/Text.h"

namespace tv {

namespace {

const char* Kind(unsigned style) {
    switch (style & 0xF0) {
        case kMbIconError: return "error";
        case kMbIconWarning: return "warning";
        case kMbIconQuestion: return "question";
        default: return "info";
    }
}

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) { g_interrupted = 1; }

void ExitStatusAfterInterrupt() {
    if (g_interrupted != 0) {
        std::fflush(nullptr);
        ::_exit(130);
    }
}

}  // namespace

void TerminalUi::CatchInterrupts() {
    std::signal(SIGINT, OnInterrupt);
    std::atexit(ExitStatusAfterInterrupt);
}

void TerminalUi::Pump() {
    if (g_interrupted != 0 && HasAppContext()) GetAppContext().abortRequested = true;
}

std::string TerminalText(const std::u16string& text, bool oneCell) {
    std::string out = ToNarrow(text);
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        const bool kept = !oneCell && (c == '\n' || c == '\t');
        if ((byte < 0x20 && !kept) || byte == 0x7F) c = '?';
    }
    return out;
}

int TerminalUi::MessageBox(const std::u16string& text, const std::u16string& /*caption*/,
                           unsigned style) {
    const unsigned icon = style & 0xF0;
    if (icon == kMbIconWarning || icon == kMbIconError) ++warnings_;
    const std::string line = TerminalText(text, false);
    if ((style & 0xF) != kMbYesNo) {
        std::fprintf(stderr, "%s: %s\n", Kind(style), line.c_str());
        return kIdOk;
    }
    const bool defaultYes = (style & kMbDefButton2) == 0;
    if (answer_) {
        std::fprintf(stderr, "question: %s %s\n", line.c_str(), *answer_ ? "yes" : "no");
        return *answer_ ? kIdYes : kIdNo;
    }
    if (::isatty(STDIN_FILENO) == 0) {
        std::fprintf(stderr, "question: %s %s (no terminal; use --yes or --no)\n", line.c_str(),
                     defaultYes ? "yes" : "no");
        return defaultYes ? kIdYes : kIdNo;
    }
    for (;;) {
        std::fprintf(stderr, "question: %s [%s] ", line.c_str(), defaultYes ? "Y/n" : "y/N");
        std::fflush(stderr);
        std::string reply;
        if (!std::getline(std::cin, reply)) return defaultYes ? kIdYes : kIdNo;
        if (reply.empty()) return defaultYes ? kIdYes : kIdNo;
        if (reply[0] == 'y' || reply[0] == 'Y') return kIdYes;
        if (reply[0] == 'n' || reply[0] == 'N') return kIdNo;
    }
}

void TerminalProgress::SetRange(int32_t lower, int32_t upper) {
    lower_ = lower;
    upper_ = upper;
    lastShown_ = -1;
}

void TerminalProgress::SetPos(int32_t position) {
    if (upper_ <= lower_) return;
    const long long span = static_cast<long long>(upper_) - lower_;
    long long done = static_cast<long long>(position) - lower_;
    if (done < 0) done = 0;
    if (done > span) done = span;
    const int percent = static_cast<int>(done * 100 / span);
    // Positions come once a block: the terminal is asked about only when the
    // bar would change.
    if (percent == lastShown_) return;
    lastShown_ = percent;
    if (::isatty(STDERR_FILENO) == 0) return;
    const int width = 40;
    const int filled = percent * width / 100;
    std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(static_cast<size_t>(filled), '#').c_str(),
                 std::string(static_cast<size_t>(width - filled), ' ').c_str(), percent);
    if (percent == 100) std::fputc('\n', stderr);
    std::fflush(stderr);
}

}  // namespace tv
