// The help page shown in a window of the program, for desktops that have no
// browser or other viewer to hand it to.
#pragma once

#include <QDialog>
#include <QString>

class QTextBrowser;

namespace tv {

class CHelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit CHelpWindow(QWidget* parent = nullptr);

    // Loads the page (an HTML file) and brings the window to the front.
    void ShowPage(const QString& path);
    QTextBrowser* Viewer() const { return viewer_; }

private:
    QTextBrowser* viewer_;
};

}  // namespace tv
