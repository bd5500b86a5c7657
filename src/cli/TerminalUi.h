// The user interface of the command line: messages on stderr, questions answered
// by --yes / --no or asked on the terminal, progress as a bar on stderr.
#pragma once

#include <optional>
#include <string>

#include "messages/UiHost.h"

namespace tv {

// Text as it may go to the terminal: control characters, which could move the
// cursor, rewrite what is shown or forge lines, become '?'. A line break and a
// tab stay unless the text must keep to one cell of a line.
std::string TerminalText(const std::u16string& text, bool oneCell);

class TerminalUi : public UiHost {
public:
    // answer: the preset answer to every question, or none to ask.
    explicit TerminalUi(std::optional<bool> answer) : answer_(answer) {}

    int MessageBox(const std::u16string& text, const std::u16string& caption,
                   unsigned style) override;
    // Turns a pending Ctrl+C into the context's abort request.
    void Pump() override;
    void Repaint() override {}

    // Ctrl+C then asks the running operation to abort (the engine cleans up and
    // ends the program), and the program ends with status 130.
    static void CatchInterrupts();

    // How many boxes with a warning or error icon were shown.
    int Warnings() const { return warnings_; }

private:
    std::optional<bool> answer_;
    int warnings_ = 0;
};

class TerminalProgress : public ProgressView {
public:
    void SetRange(int32_t lower, int32_t upper) override;
    void SetPos(int32_t position) override;

private:
    int32_t lower_ = 0;
    int32_t upper_ = 100;
    int lastShown_ = -1;
};

}  // namespace tv
