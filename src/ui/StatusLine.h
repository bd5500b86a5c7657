// The status line of a run: the text on the left and, when the text ends with
// the step in parentheses after a run of blanks ("Please wait ...   (Archiving.....)"),
// the step on the right.
#pragma once

#include <QLabel>
#include <QWidget>

namespace tv {

class CStatusLine : public QWidget {
    Q_OBJECT
public:
    explicit CStatusLine(QWidget* parent = nullptr);

    void SetText(const QString& text);
    // The text as set, blanks between text and step reduced to one.
    QString Text() const;
    QString Step() const { return step_->text(); }

private:
    QLabel* text_;
    QLabel* step_;
};

}  // namespace tv
