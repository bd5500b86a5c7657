// The wizard on a fresh environment for each test: a temporary data folder, the
// real platform behind a fault-injecting one with a fixed clock, a scripted user
// interface, generated card images, and the window with its pages in start-up
// order, shown offscreen.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "emulator/CardGenerator.h"
#include "emulator/SmcEmulator.h"
#include "platform/FaultyPlatform.h"
#include "support/RecordingUi.h"
#include "ui/QtMasterDlg.h"
#include "ui/QtWizardPage.h"

namespace tv::test {

// The recording user interface with a hook run while the engine pumps events,
// where a user would click during a run.
class ScriptedUi : public RecordingUi {
public:
    int MessageBox(const std::u16string& text, const std::u16string& caption, unsigned style) override {
        if (onShown) onShown(ShownMessage{text, caption, style});
        return RecordingUi::MessageBox(text, caption, style);
    }
    void Pump() override {
        RecordingUi::Pump();
        if (duringRun) {
            auto hook = std::move(duringRun);
            duringRun = nullptr;
            hook();
        }
    }
    std::function<void()> duringRun;
    // Sees every message box before it is answered.
    std::function<void(const ShownMessage&)> onShown;
};

class WizardFixture {
public:
    WizardFixture();
    ~WizardFixture();

    // Writes a valid configuration with the scale type ("dX", "ZT4", "Auto-detect")
    // and the extra "Key=value" lines, and opens the window on its first page.
    void Start(const std::string& scaleType, const std::vector<std::string>& extra = {});
    // Generates a card image and mounts it at the letter.
    CardSummary MountCard(char letter, const CardOptions& options, EmulatorFaults faults = {});
    void UnmountCard(char letter);
    SmcEmulator& Emulator(char letter) { return *cards_[letter - 'A']; }
    static CardOptions SmallCard(CardFamily family);

    QtMasterDlg& Window() { return *window_; }
    int ActiveId() const;
    template <typename T>
    T* Page(int id) const {
        return static_cast<T*>(window_->FindPage(id));
    }
    void ClickNext() { (window_->NextButton())->click(); }
    void ClickBack() { (window_->BackButton())->click(); }
    // Presses Cancel: the program's exit code when the wizard ended it, -1 otherwise.
    int CancelExitCode();
    // Picks the list entry that begins with the text.
    static void Pick(QComboBox* list, const QString& start);
    // Texts of the message boxes shown since the last call.
    std::vector<std::string> TakeShown();
    std::string TempPath(const std::string& name) const { return root_ + "/" + name; }
    std::string LogText() const;
    static void WriteFile(const std::string& path, const std::string& content);
    // Leaves the given day (YYYY-MM-DD) of the mounted dX card image without a
    // closure of its own: its last receipt and closure are dated noon of the next
    // day. False when the day has no closure.
    bool LeaveDayWithoutClosure(char letter, const CardSummary& card, const std::string& day);
    // Every file below the folder whose name ends with the text, sorted.
    static std::vector<std::string> FilesUnder(const std::string& folder, const std::string& ending);
    // A ZT4 archive (".xml") or Archive.log checked by its validator.
    static bool Zt4Validates(const std::string& path);
    // The contrast ratio of two colours as the accessibility guidelines define
    // it: 1 (the same) to 21 (black on white); text reads from 4.5 on.
    static double Contrast(const QColor& a, const QColor& b);
    // The darkest pixel of the widget as drawn.
    static QColor DarkestPixel(QWidget* widget);

    std::unique_ptr<Platform> real_;
    std::unique_ptr<FaultyPlatform> platform_;
    ScriptedUi ui_;

private:
    std::string root_;
    std::string dataFolder_;
    std::unique_ptr<QtMasterDlg> window_;
    std::shared_ptr<SmcEmulator> cards_[26];
};

}  // namespace tv::test
