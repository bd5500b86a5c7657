// The picture of a run's outcome beside its status: a check box to the wizard
// core (checked: success, cleared: failure) that shows the matching picture and
// takes no clicks or focus.
#pragma once

#include <QAbstractButton>

namespace tv {

class CResultPicture : public QAbstractButton {
    Q_OBJECT
public:
    // `size`: the picture's width and height in pixels.
    CResultPicture(int size, QWidget* parent = nullptr);

    QSize sizeHint() const override { return QSize(size_, size_); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int size_;
};

}  // namespace tv
