#include "ui/FolderEdit.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>

#include "ui/Artwork.h"
#include "ui/QtText.h"

namespace tv {

namespace {

constexpr MessageId kSelectFolder = 402;

CFolderEdit::Chooser& CurrentChooser() {
    static CFolderEdit::Chooser chooser;
    return chooser;
}

QString PickFolder(QWidget* parent, const QString& current) {
    return QFileDialog::getExistingDirectory(parent, Text(kSelectFolder), current,
                                             QFileDialog::ShowDirsOnly);
}

}  // namespace

CFolderEdit::CFolderEdit(QWidget* parent) : QLineEdit(parent) {
    browse_ = addAction(FolderIcon(), QLineEdit::TrailingPosition);
    browse_->setObjectName(QStringLiteral("browse"));
    connect(browse_, &QAction::triggered, this, &CFolderEdit::Browse);
}

void CFolderEdit::SetChooser(Chooser chooser) { CurrentChooser() = std::move(chooser); }

void CFolderEdit::SetBrowseToolTip(const QString& text) { browse_->setToolTip(text); }

QString CFolderEdit::Choose(QWidget* parent, const QString& current) {
    const Chooser& chooser = CurrentChooser();
    return chooser ? chooser(parent, current) : PickFolder(parent, current);
}

void CFolderEdit::Browse() {
    if (!isEnabled()) return;
    const QString chosen = Choose(this, text());
    if (chosen.isEmpty()) return;
    setText(QDir::toNativeSeparators(chosen));
    setFocus();
}

}  // namespace tv
