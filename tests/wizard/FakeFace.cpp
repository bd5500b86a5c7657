#include "wizard/FakeFace.h"

namespace tv::test {

int FakePageView::Focused() const {
    for (const auto& [id, control] : controls_) {
        if (control.focused) return id;
    }
    return 0;
}

void FakePageView::Focus(int control) {
    for (auto& [id, c] : controls_) c.focused = false;
    At(control).focused = true;
}

void FakePageView::ClearItems(int control) {
    At(control).items.clear();
    At(control).selection = -1;
}

std::u16string FakePageView::ItemText(int control, int index) const {
    const auto& items = At(control).items;
    return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<size_t>(index)] : std::u16string();
}

void FakePageView::SetDateRange(int control, const DayDate& first, const DayDate& last) {
    At(control).first = first;
    At(control).last = last;
}

std::u16string FakePageView::Pick(PickerCall call) {
    pickerCalls.push_back(std::move(call));
    if (picks.empty()) return {};
    std::u16string answer = picks.front();
    picks.pop_front();
    return answer;
}

std::u16string FakePageView::ChooseFile(const std::u16string& title, const std::u16string& initial,
                                        const std::vector<FileFilter>& filters) {
    return Pick({u"file", title, initial, filters});
}

std::u16string FakePageView::ChooseFolder(const std::u16string& title, const std::u16string& initial) {
    return Pick({u"folder", title, initial, {}});
}

std::u16string FakePageView::ChooseSaveFile(const std::u16string& title, const std::u16string& initial,
                                            const std::vector<FileFilter>& filters) {
    return Pick({u"save", title, initial, filters});
}

FakeWizardWindow::FakeWizardWindow() {
    Button(WizardButton::kFinish).visible = false;
    Button(WizardButton::kPage).visible = false;
}

PageView* FakeWizardWindow::CreatePageView(CWizardPage& page) {
    if (page.PageId() == failingPage) return nullptr;
    auto& view = views_[page.PageId()];
    if (!view) view = std::make_unique<FakePageView>();
    return view.get();
}

void FakeWizardWindow::ShowPageView(CWizardPage& page, bool show) {
    if (show) {
        shownPage = page.PageId();
    } else if (shownPage == page.PageId()) {
        shownPage = 0;
    }
}

void FakeWizardWindow::ShowBreadcrumb(const BreadcrumbPlan& plan) {
    breadcrumb.clear();
    for (const BreadcrumbStep& step : plan.steps) breadcrumb.push_back(step.caption);
    if (plan.highlight >= 0) highlight = plan.highlight;
}

bool FakeWizardWindow::OpenDocument(const std::string& path) {
    opened.push_back(path);
    return openSucceeds;
}

void FakeWizardWindow::RunSettings(CSettingsDlg& dialog) {
    ++settingsRuns;
    if (duringSettings) duringSettings(dialog);
}

}  // namespace tv::test
