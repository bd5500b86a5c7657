// The user interface of the engine inside the wizard: Qt message boxes owned by
// the wizard window, and event pumping during long runs.
#pragma once

#include <QPointer>
#include <QWidget>

#include "messages/UiHost.h"

namespace tv {

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
