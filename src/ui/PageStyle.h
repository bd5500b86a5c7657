// The look shared by the pages: the guide frame with its caption, the colours
// of texts on the white page, and the progress bar and result list of the run
// pages.
#pragma once

#include <QGroupBox>
#include <QProgressBar>
#include <QString>
#include <QTreeWidget>

namespace tv {

// A frame whose caption is the page's guide text.
QGroupBox* MakeGuideBox(QWidget* parent);
// Stylesheet of the pages' own texts: dark grey on white.
QString PageStyleSheet();

// The progress bar of a run: 0 to 100 on white.
QProgressBar* MakeRunProgressBar(QWidget* parent);
// The result list of a run: full-row selection, rows alternating light grey and
// white, a tip on every cell.
QTreeWidget* MakeResultList(QWidget* parent);
// The first `count` columns of the result list: "S.No", "File Name", "Result",
// "Remarks" and, for dX verification, the scale's serial number and the card's
// UID. The file name leaves room to the remarks, which carry the reason of a failure.
void SetResultColumns(QTreeWidget* list, int count);

}  // namespace tv
