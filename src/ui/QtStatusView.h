// A run's status line as the engine's status view.
#pragma once

#include "messages/UiHost.h"
#include "ui/QtText.h"
#include "ui/StatusLine.h"

namespace tv {

class QtStatusView : public StatusView {
public:
    explicit QtStatusView(CStatusLine* line) : line_(line) {}
    void SetText(const std::u16string& text) override { line_->SetText(ToQString(text)); }

private:
    CStatusLine* line_;
};

}  // namespace tv
