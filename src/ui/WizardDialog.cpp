#include "ui/WizardDialog.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>

#include "ui/WizardPage.h"

namespace tv {

CWizardDialog::CWizardDialog(QWidget* parent) : QDialog(parent) {
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
    connect(back_, &QPushButton::clicked, this, &CWizardDialog::OnBack);
    connect(next_, &QPushButton::clicked, this, &CWizardDialog::OnNext);
    connect(finish_, &QPushButton::clicked, this, &CWizardDialog::OnFinish);
    connect(cancel_, &QPushButton::clicked, this, &CWizardDialog::OnCancel);
}

void CWizardDialog::AddPage(CWizardPage* page) {
    page->setParent(pageArea_);
    static_cast<QGridLayout*>(pageArea_->layout())->addWidget(page, 0, 0);
    page->hide();
    pages_.push_back(page);
}

CWizardPage* CWizardDialog::FindPage(int pageId) const {
    for (CWizardPage* p : pages_) {
        if (p->PageId() == pageId) return p;
    }
    return nullptr;
}

CWizardPage* CWizardDialog::ActivePage() const {
    for (CWizardPage* p : pages_) {
        if (p->active_) return p;
    }
    return nullptr;
}

int CWizardDialog::IndexOf(const CWizardPage* page) const {
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (pages_[i] == page) return static_cast<int>(i);
    }
    return -1;
}

CWizardPage* CWizardDialog::Neighbour(const CWizardPage* page, int step) const {
    const int i = IndexOf(page) + step;
    if (IndexOf(page) < 0 || i < 0 || i >= static_cast<int>(pages_.size())) return nullptr;
    return pages_[static_cast<size_t>(i)];
}

CWizardPage* CWizardDialog::Target(const CWizardPage* active, int answer, int step) const {
    if (answer == -1) return nullptr;
    if (answer == 0) return Neighbour(active, step);
    return FindPage(answer);
}

bool CWizardDialog::IsRunPage(int pageId) {
    return pageId == 135 || pageId == 136 || pageId == 137 || pageId == 141;
}

bool CWizardDialog::ShowPageHeader(int, bool) { return true; }

bool CWizardDialog::ActivatePage(CWizardPage* page) {
    if (page == nullptr) return false;
    if (!page->created_) {
        page->created_ = true;
        page->wizard_ = this;
        if (!page->OnCreatePage()) {
            page->created_ = false;
            return false;
        }
    }
    if (CWizardPage* current = ActivePage()) {
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

void CWizardDialog::ShowFirstPage() {
    if (CWizardPage* current = ActivePage()) {
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

void CWizardDialog::OnNext() {
    backMove_ = false;
    CWizardPage* active = ActivePage();
    if (active == nullptr) return;
    if ((!next_->isEnabled() || next_->isHidden()) && !IsRunPage(active->PageId())) return;
    CWizardPage* target = Target(active, active->OnWizardNext(), +1);
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

void CWizardDialog::OnBack() {
    backMove_ = true;
    CWizardPage* active = ActivePage();
    if (active == nullptr) return;
    if ((!back_->isEnabled() || back_->isHidden()) && !IsRunPage(active->PageId())) return;
    CWizardPage* target = Target(active, active->OnWizardBack(), -1);
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

void CWizardDialog::OnFinish() {
    if (CWizardPage* active = ActivePage()) active->OnWizardFinish();
}

void CWizardDialog::FinishWizard() {
    CWizardPage* active = ActivePage();
    if (active != nullptr && !active->OnKillActive()) return;
    for (CWizardPage* p : pages_) {
        if (p->created_ && !p->OnFinishWizard()) return;
    }
    done(kFinishCode);
}

void CWizardDialog::OnCancel() {
    CWizardPage* active = ActivePage();
    if (active != nullptr && IsRunPage(active->PageId())) {
        if (active->OnQueryCancel()) done(QDialog::Rejected);
        return;
    }
    for (CWizardPage* p : pages_) {
        if (!p->created_ || IsRunPage(p->PageId())) continue;
        if (!p->OnQueryCancel()) {
            if (active != nullptr) active->OnReturnTo(true);
            if (next_->isEnabled()) MakeDefault(next_);
            return;
        }
    }
    done(QDialog::Rejected);
}

void CWizardDialog::reject() { OnCancel(); }

void CWizardDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    OnCancel();
}

void CWizardDialog::keyPressEvent(QKeyEvent* event) {
    if (PreTranslateKey(event)) return;
    const auto mods = event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::ShiftModifier);
    const int key = event->key();
    if ((key == Qt::Key_Left && mods == Qt::AltModifier) || (key == Qt::Key_Backspace && mods == 0)) {
        OnBack();
    } else if (key == Qt::Key_Right && mods == Qt::AltModifier) {
        OnNext();
    } else if (key == Qt::Key_F3 && mods == 0) {
        if (CWizardPage* active = ActivePage()) active->OnBrowse();
    } else if (key == Qt::Key_X && mods == Qt::AltModifier) {
        OnSettingsKey();
    } else if (key == Qt::Key_F10 && mods == 0) {
        OnSettingsFocusKey();
    } else {
        QDialog::keyPressEvent(event);
    }
}

void CWizardDialog::MakeDefault(QPushButton* button) {
    for (QPushButton* b : {back_, next_, cancel_, finish_}) b->setDefault(b == button);
}

void CWizardDialog::SetNextOrCancelDefault(bool disableNext) {
    if (disableNext) {
        next_->setEnabled(false);
        MakeDefault(cancel_);
    } else {
        next_->setEnabled(true);
        MakeDefault(next_);
    }
}

void CWizardDialog::SetNextOrFinishDefault(bool finish) { MakeDefault(finish ? finish_ : next_); }

void CWizardDialog::SetNextOrCancelDefaultKeepEnabled(bool cancel) { MakeDefault(cancel ? cancel_ : next_); }

void CWizardDialog::SetNextDefaultAfterBack() { MakeDefault(next_); }

}  // namespace tv
