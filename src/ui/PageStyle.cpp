#include "ui/PageStyle.h"

namespace tv {

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
        "QRadioButton, QCheckBox { spacing: 8px; padding: 3px 0; }");
}

}  // namespace tv
