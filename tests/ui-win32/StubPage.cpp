#include "StubPage.h"

#include <commctrl.h>

#include "app/AppContext.h"

namespace tv::test {

void Win32FaceTest::SetUp() {
    TestEnvironment::SetUp();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

void Win32FaceTest::TearDown() {
    if (wizard_) wizard_->DestroyPages();
    window_.reset();
    wizard_.reset();
    pages_.clear();
    TestEnvironment::TearDown();
}

void Win32FaceTest::Open(const std::vector<int>& pageIds, const std::string& scaleType,
                         const std::vector<std::string>& settings) {
    std::vector<std::string> lines = settings;
    lines.push_back("ScaleType=" + scaleType);
    WriteConfig(ValidConfig(lines));
    GetAppContext();
    window_ = std::make_unique<Win32WizardWindow>(GetModuleHandleW(nullptr));
    wizard_ = std::make_unique<CMasterDlg>(*window_);
    for (int id : pageIds) {
        pages_.push_back(std::make_unique<StubPage>(id));
        wizard_->AddPage(pages_.back().get());
    }
    ASSERT_TRUE(window_->Create(*wizard_));
    wizard_->Initialise();
    ShowWindow(Window(), SW_SHOWNA);
    UpdateWindow(Window());
    Pump();
}

void Win32FaceTest::ClickControl(HWND control) {
    ASSERT_NE(control, nullptr);
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
                 reinterpret_cast<LPARAM>(control));
    Pump();
}

int Win32FaceTest::ActiveId() const {
    const CWizardPage* page = wizard_ ? wizard_->ActivePage() : nullptr;
    return page != nullptr ? page->PageId() : 0;
}

}  // namespace tv::test
