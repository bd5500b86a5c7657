// The user interface of the engine inside the wizard: Qt message boxes owned by
// the wizard window, and event pumping during long runs.
#pragma once

#include <QPointer>
#include <QWidget>

#include "messages/UiHost.h"

class QMessageBox;
class QPushButton;

namespace tv {

// Fills a message box the way the wizard shows it: the icon of the style bits,
// caption, text, and Yes/No (default by the style) or OK in the chosen language.
// Returns the Yes button of a question, nullptr otherwise.
QPushButton* SetUpMessageBox(QMessageBox& box, const std::u16string& text, const std::u16string& caption,
                             unsigned style);

class QtUiHost : public UiHost {
public:
    // The window that owns the message boxes (none: the active window).
    void SetOwner(QWidget* owner) { owner_ = owner; }

    int MessageBox(const std::u16string& text, const std::u16string& caption, unsigned style) override;
    void Pump() override;
    void Repaint() override;

private:
    QPointer<QWidget> owner_;
};

}  // namespace tv
