// The program's pictures, drawn from the SVG sources in resources/ at the size
// asked for, so that they stay sharp on every screen.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace tv {

// The window and application icon.
QIcon ApplicationIcon();
// The logo with the program's name: dark lettering for light backgrounds, or
// white lettering for the header band. Height in device-independent pixels.
QPixmap LogoPixmap(int height, bool onDarkBackground = false);
// Small icons of the settings, help and folder-browse buttons.
QIcon SettingsIcon();
QIcon HelpIcon();
QIcon FolderIcon();
// The picture of a run's outcome: a tick on green, or a cross on red.
QPixmap ResultPixmap(bool success, int size);

}  // namespace tv
