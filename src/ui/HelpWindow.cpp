#include "ui/HelpWindow.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/QtText.h"

namespace tv {

namespace {

constexpr MessageId kHelp = 312;

}  // namespace

CHelpWindow::CHelpWindow(QWidget* parent) : QDialog(parent) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    viewer_ = new QTextBrowser(this);
    // Links to other sites go to the desktop, if it can; links inside the page stay here.
    viewer_->setOpenExternalLinks(true);
    viewer_->setFrameShape(QFrame::NoFrame);
    viewer_->document()->setDocumentMargin(18);
    layout->addWidget(viewer_);
    resize(760, 560);
}

void CHelpWindow::ShowPage(const QString& path) {
    viewer_->setSource(QUrl::fromLocalFile(path), QTextDocument::HtmlResource);
    const QString title = viewer_->documentTitle();
    setWindowTitle(title.isEmpty() ? Text(kHelp) : title);
    show();
    raise();
    activateWindow();
}

}  // namespace tv
