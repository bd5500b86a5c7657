// The look shared by the pages: the guide frame with its caption, and the
// colours of texts on the white page.
#pragma once

#include <QGroupBox>
#include <QString>

namespace tv {

// A frame whose caption is the page's guide text.
QGroupBox* MakeGuideBox(QWidget* parent);
// Stylesheet of the pages' own texts: dark grey on white.
QString PageStyleSheet();

}  // namespace tv
