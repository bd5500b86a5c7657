#include "ui/WizardPage.h"

#include <QPainter>

#include "app/AppContext.h"
#include "ui/WizardDialog.h"

namespace tv {

CWizardPage::CWizardPage(int pageId, QWidget* parent) : QWidget(parent), pageId_(pageId) {
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

bool CWizardPage::IsDx() { return GetAppContext().scaleType == '0'; }

bool CWizardPage::ShowHeader() { return wizard_->ShowPageHeader(pageId_, IsDx()); }

void CWizardPage::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    OnPagePaint();
}

}  // namespace tv
