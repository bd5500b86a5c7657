#include "ui/StatusLine.h"

#include <QHBoxLayout>

namespace tv {

CStatusLine::CStatusLine(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    text_ = new QLabel(this);
    text_->setWordWrap(true);
    text_->setStyleSheet(QStringLiteral("color: rgb(45,45,45); font-weight: bold;"));
    step_ = new QLabel(this);
    step_->setStyleSheet(QStringLiteral("color: rgb(20,60,142);"));
    step_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(text_, 1);
    row->addWidget(step_, 0);
}

void CStatusLine::SetText(const QString& text) {
    // The step follows at least two blanks and closes the line.
    const qsizetype open = text.lastIndexOf(QLatin1Char('('));
    const bool stepped = open >= 2 && text.endsWith(QLatin1Char(')')) &&
                         text.mid(open - 2, 2) == QLatin1String("  ");
    const QString left = stepped ? text.left(open).trimmed() : text;
    const QString right = stepped ? text.mid(open) : QString();
    // Unchanged texts are left alone, so that a repaint does not ask for another.
    if (text_->text() != left) text_->setText(left);
    if (step_->text() != right) step_->setText(right);
    if (step_->isVisibleTo(this) != stepped) step_->setVisible(stepped);
}

QString CStatusLine::Text() const {
    return step_->text().isEmpty() ? text_->text() : text_->text() + QLatin1Char(' ') + step_->text();
}

}  // namespace tv
