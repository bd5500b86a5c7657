#include "wizard/CoreWizardTest.h"

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "wizard/Pages.h"

namespace tv::test {

void CoreWizardTest::TearDown() {
    if (wizard_) wizard_->DestroyPages();
    wizard_.reset();
    pages_.clear();
    CardTest::TearDown();
}

void CoreWizardTest::Start(const std::string& scaleType, const std::vector<std::string>& overrides) {
    std::vector<std::string> lines = {"ScaleType=" + scaleType};
    lines.insert(lines.end(), overrides.begin(), overrides.end());
    WriteConfig(ValidConfig(lines));
    const StartUpResult start = RunStartUpSteps();
    wizard_ = std::make_unique<CMasterDlg>(window_);
    pages_ = AddWizardPages(*wizard_, start.pageOrder);
    wizard_->Initialise();
}

int CoreWizardTest::Active() const {
    const CWizardPage* active = wizard_ ? wizard_->ActivePage() : nullptr;
    return active != nullptr ? active->PageId() : 0;
}

void CoreWizardTest::Click(int pageId, int control, bool checkBox) {
    if (checkBox) View(pageId).At(control).checked = !View(pageId).At(control).checked;
    wizard_->FindPage(pageId)->OnCommand(control);
}

void CoreWizardTest::Choose(int pageId, int control, const std::vector<int>& group) {
    for (int other : group) View(pageId).At(other).checked = other == control;
    View(pageId).At(control).checked = true;
    wizard_->FindPage(pageId)->OnCommand(control);
}

void CoreWizardTest::Select(int pageId, int control, int index) {
    View(pageId).At(control).selection = index;
    wizard_->FindPage(pageId)->OnSelectionChange(control);
}

void CoreWizardTest::Type(int pageId, int control, const std::u16string& text) {
    View(pageId).At(control).text = text;
    wizard_->FindPage(pageId)->OnEditChange(control);
}

}  // namespace tv::test
