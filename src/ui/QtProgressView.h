// A progress bar as the engine's progress view.
#pragma once

#include <QProgressBar>

#include "messages/UiHost.h"

namespace tv {

class QtProgressView : public ProgressView {
public:
    explicit QtProgressView(QProgressBar* bar) : bar_(bar) {}
    void SetRange(int32_t lower, int32_t upper) override { bar_->setRange(lower, upper); }
    void SetPos(int32_t position) override { bar_->setValue(position); }

private:
    QProgressBar* bar_;
};

}  // namespace tv
