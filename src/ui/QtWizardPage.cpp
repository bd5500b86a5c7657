#include "ui/QtWizardPage.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

#include "app/AppContext.h"
#include "ui/QtWizardDialog.h"
#include "wizard/WizardPage.h"

namespace tv {

namespace {

// Turns Enter and Return in the watched edit into one Next of the wizard.
class EnterMeansNext : public QObject {
public:
    EnterMeansNext(QLineEdit* edit, QtWizardPage* page) : QObject(edit), page_(page) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
        if (page_->Wizard() != nullptr) page_->Wizard()->OnNext();
        return true;
    }

private:
    QtWizardPage* page_;
};

}  // namespace

QtWizardPage::QtWizardPage(int pageId, QWidget* parent) : QWidget(parent), pageId_(pageId) {
    titleFont_ = QFont(QStringLiteral("Arial"));
    titleFont_.setPixelSize(16);
    titleFont_.setBold(true);
    textFont_ = QFont(QStringLiteral("Arial"));
    textFont_.setPointSizeF(10);
    setFont(textFont_);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::WindowText, QColor(45, 45, 45));
    p.setColor(QPalette::Text, Qt::black);
    setPalette(p);
    hide();
}

bool QtWizardPage::IsCreated() const { return core_ != nullptr && core_->IsCreated(); }

bool QtWizardPage::IsActive() const { return core_ != nullptr && core_->IsActive(); }

bool QtWizardPage::IsDx() { return GetAppContext().scaleType == '0'; }

bool QtWizardPage::ShowHeader() { return wizard_->ShowPageHeader(pageId_, IsDx()); }

void QtWizardPage::NextOnEnter(QLineEdit* edit) { edit->installEventFilter(new EnterMeansNext(edit, this)); }

void QtWizardPage::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    OnPagePaint();
}

}  // namespace tv
