#include "wizard/WizardPage.h"

#include "app/AppContext.h"
#include "messages/Messages.h"
#include "wizard/WizardDialog.h"

namespace tv {

bool CWizardPage::IsDx() { return GetAppContext().scaleType == '0'; }

bool CWizardPage::ShowHeader() { return wizard_ != nullptr && wizard_->ShowPageHeader(pageId_, IsDx()); }

std::u16string CWizardPage::Text(MessageId id) { return GetMessageText(id); }

}  // namespace tv
