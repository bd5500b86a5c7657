#include "ui/QtPagePanel.h"

#include "wizard/WizardPage.h"

namespace tv {

QtPagePanel::QtPagePanel(int pageId, CWizardPage& page, QWidget* parent)
    : QtWizardPage(pageId, parent), page_(page), controls_(*this, &page) {
    core_ = &page;
}

int QtPagePanel::OnDeviceChange() { return page_.OnDeviceChange(); }
void QtPagePanel::OnBeforeNext() { page_.OnBeforeNext(); }
int QtPagePanel::UpdateHeader() { return page_.UpdateHeader(); }
void QtPagePanel::UpdateTexts() { page_.UpdateTexts(); }
void QtPagePanel::OnEnterForward() { page_.OnEnterForward(); }
void QtPagePanel::OnReturnTo(bool flag) { page_.OnReturnTo(flag); }
bool QtPagePanel::OnCreatePage() { return page_.OnCreatePage(); }
void QtPagePanel::OnDestroyPage() { page_.OnDestroyPage(); }
bool QtPagePanel::OnKillActive() { return page_.OnKillActive(); }
void QtPagePanel::OnSetActive() { page_.OnSetActive(); }
bool QtPagePanel::OnQueryCancel() { return page_.OnQueryCancel(); }
int QtPagePanel::OnWizardBack() { return page_.OnWizardBack(); }
int QtPagePanel::OnWizardNext() { return page_.OnWizardNext(); }
bool QtPagePanel::OnWizardFinish() { return page_.OnWizardFinish(); }
bool QtPagePanel::OnFinishWizard() { return page_.OnFinishWizard(); }
void QtPagePanel::OnBrowse() { page_.OnBrowse(); }
void QtPagePanel::OnDefaultPathChanged() { page_.OnDefaultPathChanged(); }

void QtPagePanel::OnPagePaint() {
    if (page_.HasView()) page_.OnPaint();
}

}  // namespace tv
