// A user interface for tests: it answers questions from a script and keeps
// everything it was shown.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "messages/UiHost.h"

namespace tv::test {

struct ShownMessage {
    std::u16string text;
    std::u16string caption;
    unsigned style = 0;
};

class RecordingUi : public UiHost {
public:
    int MessageBox(const std::u16string& text, const std::u16string& caption,
                   unsigned style) override {
        shown.push_back({text, caption, style});
        if ((style & 0xF) != kMbYesNo) return kIdOk;
        if (answers.empty()) return kIdNo;
        const bool yes = answers.front();
        answers.pop_front();
        return yes ? kIdYes : kIdNo;
    }
    void Pump() override { ++pumps; }
    void Repaint() override { ++repaints; }

    std::vector<std::string> ShownTexts() const;

    std::deque<bool> answers;  // answers to the next questions; No when empty
    std::vector<ShownMessage> shown;
    int pumps = 0;
    int repaints = 0;
};

class RecordingProgress : public ProgressView {
public:
    void SetRange(int32_t, int32_t) override {}
    void SetPos(int32_t position) override { positions.push_back(position); }
    int32_t Last() const { return positions.empty() ? -1 : positions.back(); }
    std::vector<int32_t> positions;
};

class RecordingStatus : public StatusView {
public:
    void SetText(const std::u16string& t) override { text = t; }
    std::u16string text;
};

}  // namespace tv::test
