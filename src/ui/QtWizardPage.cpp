#include "ui/QtWizardPage.h"

#include <QPainter>

#include "ui/QtWizardDialog.h"
#include "wizard/WizardPage.h"

namespace tv {

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

void QtWizardPage::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    OnPagePaint();
}

}  // namespace tv
