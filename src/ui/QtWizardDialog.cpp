#include "ui/QtWizardDialog.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>

#include "ui/QtPagePanel.h"
#include "wizard/WizardPage.h"
#include "ui/QtText.h"
#include "ui/QtWizardPage.h"

namespace tv {

QtWizardDialog::QtWizardDialog(QWidget* parent) : QDialog(parent), core_(*this) {
    pageArea_ = new QWidget(this);
    auto* grid = new QGridLayout(pageArea_);
    grid->setContentsMargins(0, 0, 0, 0);
    back_ = new QPushButton(this);
    next_ = new QPushButton(this);
    cancel_ = new QPushButton(this);
    finish_ = new QPushButton(this);
    pageButton_ = new QPushButton(this);
    pageButton_->hide();
    for (QPushButton* b : {back_, next_, cancel_, finish_, pageButton_}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(96);
    }
    finish_->hide();
    connect(back_, &QPushButton::clicked, this, &QtWizardDialog::OnBack);
    connect(next_, &QPushButton::clicked, this, &QtWizardDialog::OnNext);
    connect(finish_, &QPushButton::clicked, this, &QtWizardDialog::OnFinish);
    connect(cancel_, &QPushButton::clicked, this, &QtWizardDialog::OnCancel);
    connect(pageButton_, &QPushButton::clicked, this, [this] {
        if (CWizardPage* active = core_.ActivePage()) active->OnPageButton();
    });
}

QtWizardDialog::~QtWizardDialog() = default;

void QtWizardDialog::AddPage(QtPagePanel* page) {
    page->setParent(pageArea_);
    static_cast<QGridLayout*>(pageArea_->layout())->addWidget(page, 0, 0);
    page->hide();
    page->wizard_ = this;
    Entry entry;
    entry.widget = page;
    entry.core = page->CorePage();
    entry.view = &page->Controls();
    core_.AddPage(entry.core);
    pages_.push_back(page);
    entries_.push_back(std::move(entry));
}

const QtWizardDialog::Entry* QtWizardDialog::EntryOf(const CWizardPage* page) const {
    for (const Entry& e : entries_) {
        if (e.core == page) return &e;
    }
    return nullptr;
}

QtWizardPage* QtWizardDialog::WidgetOf(const CWizardPage* page) const {
    const Entry* e = page != nullptr ? EntryOf(page) : nullptr;
    return e != nullptr ? e->widget : nullptr;
}

QtWizardPage* QtWizardDialog::FindPage(int pageId) const { return WidgetOf(core_.FindPage(pageId)); }

QtWizardPage* QtWizardDialog::ActivePage() const { return WidgetOf(core_.ActivePage()); }

void QtWizardDialog::ShowFirstPage() { core_.Initialise(); }

bool QtWizardDialog::ActivatePage(QtWizardPage* page) {
    return page != nullptr && core_.ActivatePage(page->CorePage());
}

QPushButton* QtWizardDialog::Button(WizardButton button) const {
    switch (button) {
        case WizardButton::kBack: return back_;
        case WizardButton::kNext: return next_;
        case WizardButton::kCancel: return cancel_;
        case WizardButton::kFinish: return finish_;
        case WizardButton::kPage: return pageButton_;
    }
    return next_;
}

void QtWizardDialog::ShowButton(WizardButton button, bool show) { Button(button)->setVisible(show); }

// Shown as the window goes: the window itself may not be on screen yet.
bool QtWizardDialog::IsButtonVisible(WizardButton button) const { return !Button(button)->isHidden(); }

void QtWizardDialog::EnableButton(WizardButton button, bool enable) { Button(button)->setEnabled(enable); }

bool QtWizardDialog::IsButtonEnabled(WizardButton button) const { return Button(button)->isEnabled(); }

void QtWizardDialog::SetButtonText(WizardButton button, const std::u16string& text) {
    Button(button)->setText(ToQString(text));
}

void QtWizardDialog::SetDefaultButton(WizardButton button) {
    QPushButton* chosen = Button(button);
    for (QPushButton* b : {back_, next_, cancel_, finish_, pageButton_}) b->setDefault(b == chosen);
}

void QtWizardDialog::FocusButton(WizardButton button) { Button(button)->setFocus(); }

PageView* QtWizardDialog::CreatePageView(CWizardPage& page) {
    const Entry* e = EntryOf(&page);
    return e != nullptr ? e->view : nullptr;
}

void QtWizardDialog::ShowPageView(CWizardPage& page, bool show) {
    QtWizardPage* widget = WidgetOf(&page);
    if (widget == nullptr) return;
    if (show) {
        widget->setEnabled(true);
        widget->show();
        widget->update();
    } else {
        widget->hide();
    }
}

void QtWizardDialog::EndDialog(int code) { done(code == CWizardDialog::kCancelCode ? QDialog::Rejected : code); }

void QtWizardDialog::SetTitle(const std::u16string& title) { setWindowTitle(ToQString(title)); }

void QtWizardDialog::reject() { OnCancel(); }

void QtWizardDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    OnCancel();
}

void QtWizardDialog::keyPressEvent(QKeyEvent* event) {
    const auto mods = event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::ShiftModifier);
    const int key = event->key();
    bool known = true;
    WizardKey wizardKey = WizardKey::kF3;
    if (key == Qt::Key_Left && mods == Qt::AltModifier) {
        wizardKey = WizardKey::kAltLeft;
    } else if (key == Qt::Key_Backspace && mods == 0) {
        wizardKey = WizardKey::kBackspace;
    } else if (key == Qt::Key_Right && mods == Qt::AltModifier) {
        wizardKey = WizardKey::kAltRight;
    } else if (key == Qt::Key_F3 && mods == 0) {
        wizardKey = WizardKey::kF3;
    } else if (key == Qt::Key_X && mods == Qt::AltModifier) {
        wizardKey = WizardKey::kAltX;
    } else if (key == Qt::Key_F10 && mods == 0) {
        wizardKey = WizardKey::kF10;
    } else {
        known = false;
    }
    if (!known || !core_.OnKey(wizardKey)) QDialog::keyPressEvent(event);
}

}  // namespace tv
