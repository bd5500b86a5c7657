#include "ui/ResultPicture.h"

#include <QPainter>

#include "ui/Artwork.h"

namespace tv {

CResultPicture::CResultPicture(int size, QWidget* parent) : QAbstractButton(parent), size_(size) {
    setCheckable(true);
    setFixedSize(size, size);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CResultPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPixmap picture = ResultPixmap(isChecked(), size_);
    painter.drawPixmap(QRect(0, 0, size_, size_), picture);
}

}  // namespace tv
