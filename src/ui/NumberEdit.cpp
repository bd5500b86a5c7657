#include "ui/NumberEdit.h"

#include <QLineEdit>
#include <algorithm>

namespace tv {

namespace {
constexpr int kMaxDigits = 10;
}

CNumberEdit::CNumberEdit(int minimum, int maximum, QWidget* parent)
    : QAbstractSpinBox(parent), minimum_(minimum), maximum_(maximum) {
    setAccelerated(true);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    lineEdit()->setMaxLength(kMaxDigits);
    connect(lineEdit(), &QLineEdit::textChanged, this, &CNumberEdit::TextChanged);
}

void CNumberEdit::SetText(const QString& text) { lineEdit()->setText(text); }

int CNumberEdit::Current(bool* ok) const { return text().trimmed().toInt(ok); }

void CNumberEdit::stepBy(int steps) {
    bool ok = false;
    const int value = Current(&ok);
    const long long next = ok ? static_cast<long long>(std::clamp(value, minimum_, maximum_)) + steps
                              : minimum_;
    lineEdit()->setText(QString::number(std::clamp<long long>(next, minimum_, maximum_)));
    lineEdit()->selectAll();
}

QValidator::State CNumberEdit::validate(QString&, int&) const { return QValidator::Acceptable; }

QAbstractSpinBox::StepEnabled CNumberEdit::stepEnabled() const {
    bool ok = false;
    const int value = Current(&ok);
    if (!ok) return StepUpEnabled | StepDownEnabled;
    StepEnabled enabled = StepNone;
    if (value < maximum_) enabled |= StepUpEnabled;
    if (value > minimum_) enabled |= StepDownEnabled;
    return enabled;
}

QSize CNumberEdit::sizeHint() const {
    QSize hint = QAbstractSpinBox::sizeHint();
    const int digits = QString::number(maximum_).size() + 2;
    hint.setWidth(std::max(hint.width(), fontMetrics().horizontalAdvance(QString(digits, u'0')) + 40));
    return hint;
}

}  // namespace tv
