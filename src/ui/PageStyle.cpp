#include "ui/PageStyle.h"

#include <algorithm>
#include <iterator>

#include "ui/QtText.h"

namespace tv {

namespace {

constexpr MessageId kColumnHeaders[] = {190, 193, 194, 195, 191, 192};
constexpr int kColumnWidths[] = {50, 210, 90, 260, 150, 150};
// With four columns the file name gets the room: it is what the user looks for;
// the remarks take the rest of the row.
constexpr int kFourColumnWidths[] = {50, 330, 90, 230};
constexpr int kColumns = static_cast<int>(std::size(kColumnHeaders));

}  // namespace

QGroupBox* MakeGuideBox(QWidget* parent) {
    auto* box = new QGroupBox(parent);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(10);
    font.setBold(true);
    box->setFont(font);
    return box;
}

QString PageStyleSheet() {
    return QStringLiteral(
        "QGroupBox { color: rgb(45,45,45); border: 1px solid rgb(215,215,215); border-radius: 4px;"
        " margin-top: 14px; padding: 14px 12px 10px 12px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; }"
        "QRadioButton, QCheckBox, QLabel { color: rgb(45,45,45); font-weight: normal; }"
        "QRadioButton:disabled, QCheckBox:disabled, QLabel:disabled { color: rgb(160,160,160); }"
        "QRadioButton, QCheckBox { spacing: 8px; padding: 3px 0; }");
}

// The percentage is drawn in one colour across the bar: the filled part is a
// light blue, so that the dark text reads on it as well as on the white.
QProgressBar* MakeRunProgressBar(QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setRange(0, 100);
    bar->setStyleSheet(QStringLiteral(
        "QProgressBar { background: white; border: 1px solid rgb(190,190,190); border-radius: 2px;"
        " text-align: center; color: rgb(45,45,45); min-height: 18px; }"
        "QProgressBar::chunk { background: rgb(140,172,226); }"));
    return bar;
}

QTreeWidget* MakeResultList(QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setAlternatingRowColors(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setUniformRowHeights(true);
    // Long paths keep their beginning and the file name.
    list->setTextElideMode(Qt::ElideMiddle);
    QPalette p = list->palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, QColor(230, 230, 230));
    list->setPalette(p);
    list->setStyleSheet(QStringLiteral(
        "QTreeWidget { border: 1px solid rgb(205,205,205); background: white;"
        " alternate-background-color: rgb(230,230,230); }"
        "QHeaderView::section { background: rgb(240,240,240); color: rgb(45,45,45); padding: 4px;"
        " border: 0; border-right: 1px solid rgb(215,215,215); border-bottom: 1px solid rgb(215,215,215); }"));
    return list;
}

void SetResultColumns(QTreeWidget* list, int count) {
    count = std::clamp(count, 1, kColumns);
    list->setColumnCount(count);
    QStringList headers;
    for (int i = 0; i < count; ++i) headers << Text(kColumnHeaders[i]);
    list->setHeaderLabels(headers);
    for (int i = 0; i < count; ++i) list->setColumnWidth(i, count == 4 ? kFourColumnWidths[i] : kColumnWidths[i]);
}

}  // namespace tv
