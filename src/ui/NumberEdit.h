// A number edit with up and down arrows. Unlike QSpinBox it keeps whatever the
// user typed, so that the owner can check the text and say what is wrong with
// it; the arrows step from the number in the text and stay within the range.
#pragma once

#include <QAbstractSpinBox>

namespace tv {

class CNumberEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    CNumberEdit(int minimum, int maximum, QWidget* parent = nullptr);

    void SetText(const QString& text);
    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    QSize sizeHint() const override;

signals:
    void TextChanged(const QString& text);

protected:
    StepEnabled stepEnabled() const override;

private:
    int Current(bool* ok) const;

    int minimum_;
    int maximum_;
};

}  // namespace tv
