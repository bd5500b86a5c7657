// An edit for a folder path with a browse button inside its right end; the
// button (or Browse()) opens the folder picker, and a chosen folder replaces the
// text.
#pragma once

#include <QLineEdit>
#include <functional>

class QAction;

namespace tv {

class CFolderEdit : public QLineEdit {
    Q_OBJECT
public:
    // Returns the chosen folder, or an empty text when the user cancelled.
    using Chooser = std::function<QString(QWidget* parent, const QString& current)>;

    explicit CFolderEdit(QWidget* parent = nullptr);

    // Replaces the platform's folder picker (tests, portable front ends).
    static void SetChooser(Chooser chooser);
    // The folder picker as the browse button opens it; also the one of the
    // pages' panels (QtPageControls).
    static QString Choose(QWidget* parent, const QString& current);
    // Tooltip of the browse button.
    void SetBrowseToolTip(const QString& text);

public slots:
    void Browse();

private:
    QAction* browse_;
};

}  // namespace tv
