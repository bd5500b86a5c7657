#include "wizard/WizardDialog.h"

#include "wizard/WizardPage.h"

namespace tv {

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
    const int at = IndexOf(page);
    const int i = at + step;
    if (at < 0 || i < 0 || i >= static_cast<int>(pages_.size())) return nullptr;
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

bool CWizardDialog::Usable(WizardButton button) const {
    return window_.IsButtonEnabled(button) && window_.IsButtonVisible(button);
}

bool CWizardDialog::ActivatePage(CWizardPage* page) {
    if (page == nullptr) return false;
    if (!page->created_) {
        PageView* view = window_.CreatePageView(*page);
        if (view == nullptr) return false;
        page->view_ = view;
        page->created_ = true;
        page->wizard_ = this;
        if (!page->OnCreatePage()) {
            page->created_ = false;
            return false;
        }
    }
    if (CWizardPage* current = ActivePage()) {
        if (!current->OnKillActive()) return false;
        window_.ShowPageView(*current, false);
        current->active_ = false;
    }
    window_.ShowButton(WizardButton::kPage, false);
    window_.ShowPageView(*page, true);
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
            window_.ShowPageView(*current, false);
            current->active_ = false;
        }
    }
    window_.ShowButton(WizardButton::kBack, false);
    window_.ShowButton(WizardButton::kFinish, pages_.size() < 2);
    window_.ShowButton(WizardButton::kNext, pages_.size() >= 2);
    if (!pages_.empty()) ActivatePage(pages_.front());
}

void CWizardDialog::OnNext() {
    backMove_ = false;
    CWizardPage* active = ActivePage();
    if (active == nullptr) return;
    if (!Usable(WizardButton::kNext) && !IsRunPage(active->PageId())) return;
    CWizardPage* target = Target(active, active->OnWizardNext(), +1);
    if (target == nullptr) return;
    target->OnBeforeNext();
    // A page reached by Next has one to go back to; pages without Back hide it
    // when they are shown.
    window_.ShowButton(WizardButton::kBack, true);
    if (!ActivatePage(target)) return;
    if (target == pages_.front()) {
        window_.ShowButton(WizardButton::kNext, false);
        window_.ShowButton(WizardButton::kBack, false);
        window_.ShowButton(WizardButton::kFinish, false);
    }
    if (target->PageId() != 6 && target->PageId() != 133) target->OnEnterForward();
    UpdateButtonCaptions();
}

void CWizardDialog::OnBack() {
    backMove_ = true;
    CWizardPage* active = ActivePage();
    if (active == nullptr) return;
    if (!Usable(WizardButton::kBack) && !IsRunPage(active->PageId())) return;
    CWizardPage* target = Target(active, active->OnWizardBack(), -1);
    if (target == nullptr || !ActivatePage(target)) {
        backMove_ = false;
        return;
    }
    target->OnReturnTo(true);
    if (target == pages_.front()) {
        window_.ShowButton(WizardButton::kBack, false);
        window_.ShowButton(WizardButton::kFinish, false);
    }
    window_.ShowButton(WizardButton::kNext, true);
    if (window_.IsButtonEnabled(WizardButton::kNext)) window_.SetDefaultButton(WizardButton::kNext);
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
    window_.EndDialog(kFinishCode);
}

void CWizardDialog::DestroyPages() {
    for (CWizardPage* p : pages_) {
        if (!p->created_ || !p->OnKillActive()) continue;
        p->OnDestroyPage();
        p->created_ = false;
        p->active_ = false;
        p->view_ = nullptr;
    }
}

void CWizardDialog::OnCancel() {
    CWizardPage* active = ActivePage();
    if (active != nullptr && IsRunPage(active->PageId())) {
        if (active->OnQueryCancel()) window_.EndDialog(kCancelCode);
        return;
    }
    for (CWizardPage* p : pages_) {
        if (!p->created_ || IsRunPage(p->PageId())) continue;
        if (!p->OnQueryCancel()) {
            if (active != nullptr) active->OnReturnTo(true);
            if (window_.IsButtonEnabled(WizardButton::kNext)) window_.SetDefaultButton(WizardButton::kNext);
            return;
        }
    }
    window_.EndDialog(kCancelCode);
}

bool CWizardDialog::OnKey(WizardKey key) {
    switch (key) {
        case WizardKey::kAltLeft:
        case WizardKey::kBackspace:
            OnBack();
            return true;
        case WizardKey::kAltRight:
            OnNext();
            return true;
        case WizardKey::kF3:
            if (CWizardPage* active = ActivePage()) active->OnBrowse();
            return true;
        case WizardKey::kAltX:
            OnSettingsKey();
            return true;
        case WizardKey::kF10:
            OnSettingsFocusKey();
            return true;
    }
    return false;
}

void CWizardDialog::SetNextOrCancelDefault(bool disableNext) {
    window_.EnableButton(WizardButton::kNext, !disableNext);
    window_.SetDefaultButton(disableNext ? WizardButton::kCancel : WizardButton::kNext);
}

void CWizardDialog::SetNextOrFinishDefault(bool finish) {
    window_.SetDefaultButton(finish ? WizardButton::kFinish : WizardButton::kNext);
}

void CWizardDialog::SetNextOrCancelDefaultKeepEnabled(bool cancel) {
    window_.SetDefaultButton(cancel ? WizardButton::kCancel : WizardButton::kNext);
}

void CWizardDialog::SetNextDefaultAfterBack() { window_.SetDefaultButton(WizardButton::kNext); }

}  // namespace tv
