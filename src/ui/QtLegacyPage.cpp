#include "ui/QtLegacyPage.h"

#include "ui/QtWizardPage.h"

namespace tv {

QtLegacyPage::QtLegacyPage(QtWizardPage& page) : CWizardPage(page.PageId()), page_(page), controls_(page, this) {}

int QtLegacyPage::OnDeviceChange() { return page_.OnDeviceChange(); }
void QtLegacyPage::OnBeforeNext() { page_.OnBeforeNext(); }
int QtLegacyPage::UpdateHeader() { return page_.UpdateHeader(); }
void QtLegacyPage::UpdateTexts() { page_.UpdateTexts(); }
void QtLegacyPage::OnEnterForward() { page_.OnEnterForward(); }
void QtLegacyPage::OnReturnTo(bool flag) { page_.OnReturnTo(flag); }
bool QtLegacyPage::OnCreatePage() { return page_.OnCreatePage(); }
void QtLegacyPage::OnDestroyPage() { page_.OnDestroyPage(); }
bool QtLegacyPage::OnKillActive() { return page_.OnKillActive(); }
void QtLegacyPage::OnSetActive() { page_.OnSetActive(); }
bool QtLegacyPage::OnQueryCancel() { return page_.OnQueryCancel(); }
int QtLegacyPage::OnWizardBack() { return page_.OnWizardBack(); }
int QtLegacyPage::OnWizardNext() { return page_.OnWizardNext(); }
bool QtLegacyPage::OnWizardFinish() { return page_.OnWizardFinish(); }
bool QtLegacyPage::OnFinishWizard() { return page_.OnFinishWizard(); }
void QtLegacyPage::OnBrowse() { page_.OnBrowse(); }
void QtLegacyPage::OnDefaultPathChanged() { page_.OnDefaultPathChanged(); }

}  // namespace tv
