#include "ui/QtUiHost.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "ui/QtText.h"

namespace tv {

namespace {

QMessageBox::Icon IconOf(unsigned style) {
    switch (style & 0xF0) {
        case kMbIconError: return QMessageBox::Critical;
        case kMbIconQuestion: return QMessageBox::Question;
        case kMbIconWarning: return QMessageBox::Warning;
        case kMbIconInformation: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
    }
}

}  // namespace

QPushButton* SetUpMessageBox(QMessageBox& box, const std::u16string& text, const std::u16string& caption,
                             unsigned style) {
    box.setIcon(IconOf(style));
    box.setWindowTitle(ToQString(caption));
    box.setText(ToQString(text));
    if ((style & 0xF) == kMbYesNo) {
        QPushButton* yes = box.addButton(Text(154), QMessageBox::YesRole);
        QPushButton* no = box.addButton(Text(161), QMessageBox::NoRole);
        box.setDefaultButton((style & kMbDefButton2) != 0 ? no : yes);
        box.setEscapeButton(no);
        return yes;
    }
    QPushButton* ok = box.addButton(Text(162), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    return nullptr;
}

int QtUiHost::MessageBox(const std::u16string& text, const std::u16string& caption, unsigned style) {
    QWidget* owner = owner_ ? owner_.data() : QApplication::activeWindow();
    QMessageBox box(owner);
    box.setWindowModality(Qt::ApplicationModal);
    QPushButton* yes = SetUpMessageBox(box, text, caption, style);
    box.exec();
    if (yes == nullptr) return kIdOk;
    return box.clickedButton() == yes ? kIdYes : kIdNo;
}

void QtUiHost::Pump() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtUiHost::Repaint() {
    QWidget* window = owner_ ? owner_.data() : QApplication::activeWindow();
    if (window != nullptr) window->repaint();
}

}  // namespace tv
