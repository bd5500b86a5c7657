#include "ui/QtWizardDialog.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>

#include "ui/QtWizardPage.h"

namespace tv {

QtWizardDialog::QtWizardDialog(QWidget* parent) : QDialog(parent) {
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
}

void QtWizardDialog::AddPage(QtWizardPage* page) {
    page->setParent(pageArea_);
    static_cast<QGridLayout*>(pageArea_->layout())->addWidget(page, 0, 0);
    page->hide();
    pages_.push_back(page);
}

QtWizardPage* QtWizardDialog::FindPage(int pageId) const {
    for (QtWizardPage* p : pages_) {
        if (p->PageId() == pageId) return p;
    }
    return nullptr;
}

QtWizardPage* QtWizardDialog::ActivePage() const {
    for (QtWizardPage* p : pages_) {
        if (p->active_) return p;
    }
    return nullptr;
}

int QtWizardDialog::IndexOf(const QtWizardPage* page) const {
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (pages_[i] == page) return static_cast<int>(i);
    }
    return -1;
}

QtWizardPage* QtWizardDialog::Neighbour(const QtWizardPage* page, int step) const {
    const int i = IndexOf(page) + step;
    if (IndexOf(page) < 0 || i < 0 || i >= static_cast<int>(pages_.size())) return nullptr;
    return pages_[static_cast<size_t>(i)];
}

QtWizardPage* QtWizardDialog::Target(const QtWizardPage* active, int answer, int step) const {
    if (answer == -1) return nullptr;
    if (answer == 0) return Neighbour(active, step);
    return FindPage(answer);
}

bool QtWizardDialog::IsRunPage(int pageId) {
    return pageId == 135 || pageId == 136 || pageId == 137 || pageId == 141;
}

bool QtWizardDialog::ShowPageHeader(int, bool) { return true; }

bool QtWizardDialog::ActivatePage(QtWizardPage* page) {
    if (page == nullptr) return false;
    if (!page->created_) {
        page->created_ = true;
        page->wizard_ = this;
        if (!page->OnCreatePage()) {
            page->created_ = false;
            return false;
        }
    }
    if (QtWizardPage* current = ActivePage()) {
        if (!current->OnKillActive()) return false;
        current->hide();
        current->active_ = false;
    }
    pageButton_->hide();
    page->setEnabled(true);
    page->show();
    page->update();
    page->OnSetActive();
    page->active_ = true;
    page->UpdateHeader();
    page->UpdateTexts();
    if (page->PageId() == 6 || (page->PageId() == 133 && !backMove_)) page->OnEnterForward();
    backMove_ = false;
    UpdateButtonCaptions();
    return true;
}

void QtWizardDialog::ShowFirstPage() {
    if (QtWizardPage* current = ActivePage()) {
        if (current->OnKillActive()) {
            current->hide();
            current->active_ = false;
        }
    }
    back_->hide();
    finish_->setVisible(pages_.size() < 2);
    next_->setVisible(pages_.size() >= 2);
    if (!pages_.empty()) ActivatePage(pages_.front());
}

void QtWizardDialog::OnNext() {
    backMove_ = false;
    QtWizardPage* active = ActivePage();
    if (active == nullptr) return;
    if ((!next_->isEnabled() || next_->isHidden()) && !IsRunPage(active->PageId())) return;
    QtWizardPage* target = Target(active, active->OnWizardNext(), +1);
    if (target == nullptr) return;
    target->OnBeforeNext();
    // A page reached by Next has one to go back to; pages without Back hide it
    // when they are shown.
    back_->show();
    if (!ActivatePage(target)) return;
    if (target == pages_.front()) {
        next_->hide();
        back_->hide();
        finish_->hide();
    }
    if (target->PageId() != 6 && target->PageId() != 133) target->OnEnterForward();
    UpdateButtonCaptions();
}

void QtWizardDialog::OnBack() {
    backMove_ = true;
    QtWizardPage* active = ActivePage();
    if (active == nullptr) return;
    if ((!back_->isEnabled() || back_->isHidden()) && !IsRunPage(active->PageId())) return;
    QtWizardPage* target = Target(active, active->OnWizardBack(), -1);
    if (target == nullptr || !ActivatePage(target)) {
        backMove_ = false;
        return;
    }
    target->OnReturnTo(true);
    if (target == pages_.front()) {
        back_->hide();
        finish_->hide();
    }
    next_->show();
    if (next_->isEnabled()) MakeDefault(next_);
    UpdateButtonCaptions();
}

void QtWizardDialog::OnFinish() {
    if (QtWizardPage* active = ActivePage()) active->OnWizardFinish();
}

void QtWizardDialog::FinishWizard() {
    QtWizardPage* active = ActivePage();
    if (active != nullptr && !active->OnKillActive()) return;
    for (QtWizardPage* p : pages_) {
        if (p->created_ && !p->OnFinishWizard()) return;
    }
    done(kFinishCode);
}

void QtWizardDialog::OnCancel() {
    QtWizardPage* active = ActivePage();
    if (active != nullptr && IsRunPage(active->PageId())) {
        if (active->OnQueryCancel()) done(QDialog::Rejected);
        return;
    }
    for (QtWizardPage* p : pages_) {
        if (!p->created_ || IsRunPage(p->PageId())) continue;
        if (!p->OnQueryCancel()) {
            if (active != nullptr) active->OnReturnTo(true);
            if (next_->isEnabled()) MakeDefault(next_);
            return;
        }
    }
    done(QDialog::Rejected);
}

void QtWizardDialog::reject() { OnCancel(); }

void QtWizardDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    OnCancel();
}

void QtWizardDialog::keyPressEvent(QKeyEvent* event) {
    if (PreTranslateKey(event)) return;
    const auto mods = event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::ShiftModifier);
    const int key = event->key();
    if ((key == Qt::Key_Left && mods == Qt::AltModifier) || (key == Qt::Key_Backspace && mods == 0)) {
        OnBack();
    } else if (key == Qt::Key_Right && mods == Qt::AltModifier) {
        OnNext();
    } else if (key == Qt::Key_F3 && mods == 0) {
        if (QtWizardPage* active = ActivePage()) active->OnBrowse();
    } else if (key == Qt::Key_X && mods == Qt::AltModifier) {
        OnSettingsKey();
    } else if (key == Qt::Key_F10 && mods == 0) {
        OnSettingsFocusKey();
    } else {
        QDialog::keyPressEvent(event);
    }
}

void QtWizardDialog::MakeDefault(QPushButton* button) {
    for (QPushButton* b : {back_, next_, cancel_, finish_}) b->setDefault(b == button);
}

void QtWizardDialog::SetNextOrCancelDefault(bool disableNext) {
    if (disableNext) {
        next_->setEnabled(false);
        MakeDefault(cancel_);
    } else {
        next_->setEnabled(true);
        MakeDefault(next_);
    }
}

void QtWizardDialog::SetNextOrFinishDefault(bool finish) { MakeDefault(finish ? finish_ : next_); }

void QtWizardDialog::SetNextOrCancelDefaultKeepEnabled(bool cancel) { MakeDefault(cancel ? cancel_ : next_); }

void QtWizardDialog::SetNextDefaultAfterBack() { MakeDefault(next_); }

}  // namespace tv
