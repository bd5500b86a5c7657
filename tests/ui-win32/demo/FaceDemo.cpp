// win32_face_demo [PAGE] [--settings] [--french] DATA_DIR: the Windows window on
// a stand-in page filled as a page of the core fills it, for looking at the face
// (screenshots) while the core's pages are elsewhere.
#include "ui-win32/Win32Windows.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "messages/Messages.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "ui-win32/Win32SettingsDialog.h"
#include "ui-win32/Win32Text.h"
#include "ui-win32/Win32UiHost.h"
#include "ui-win32/Win32WizardWindow.h"
#include "wizard/MasterDlg.h"
#include "wizard/PageView.h"
#include "wizard/WizardPage.h"

namespace {

using namespace tv;

class DemoPage : public CWizardPage {
public:
    using CWizardPage::CWizardPage;
    int UpdateHeader() override {
        ShowHeader();
        return 0;
    }
    void UpdateTexts() override {
        PageView& v = View();
        switch (PageId()) {
            case 133:
                v.SetText(1040, Text(110));
                v.SetText(1005, Text(111));
                v.SetText(1006, Text(112));
                v.SetText(1099, Text(242));
                v.Show(1099, true);
                if (!v.IsChecked(1006)) v.SetChecked(1005, true);
                break;
            case 134:
                v.SetText(1042, Text(118));
                v.SetText(1016, Text(119));
                v.SetText(1017, Text(120));
                v.SetText(1007, Text(122));
                v.SetChecked(1016, true);
                break;
            case 139:
                v.SetText(1044, Text(131));
                v.SetText(1045, Text(132));
                v.SetText(1046, Text(133));
                break;
            case 141: {
                v.SetText(65535, Text(262));
                v.SetColumns(1024, {Text(190), Text(193), Text(194), Text(195)}, {50, 300, 90, 150});
                ResultList* rows = v.Results(1024);
                if (rows->ItemCount() == 0) {
                    for (int i = 0; i < 4; ++i) {
                        const int row = rows->InsertRow(i, ToUtf16(std::to_string(i + 1)));
                        rows->SetCell(row, 1, u"ARCH_000" + ToUtf16(std::to_string(i + 1)) + u".xml");
                        rows->SetCell(row, 2, i == 2 ? u"Failed" : u"Passed");
                    }
                }
                v.Progress(1021)->SetRange(0, 100);
                v.Progress(1021)->SetPos(60);
                break;
            }
            default:
                break;
        }
    }
    void OnCommand(int control) override {
        if (PageId() == 133 && control == 1006) View().Show(1099, true);
    }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::u16string> args;
    for (int i = 1; argv != nullptr && i < count; ++i) args.push_back(tv::FromWide(argv[i]));
    if (argv != nullptr) LocalFree(argv);
    int first = 133;
    bool settings = false;
    bool french = false;
    std::u16string dataDir;
    for (const auto& a : args) {
        if (a == u"--settings") {
            settings = true;
        } else if (a == u"--french") {
            french = true;
        } else if (!a.empty() && a[0] >= u'0' && a[0] <= u'9') {
            first = static_cast<int>(tv::LeadingDecimal(a));
        } else {
            dataDir = a;
        }
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::unique_ptr<tv::Platform> platform = tv::CreateSystemPlatform();
    tv::Win32UiHost ui;
    tv::InstallEnvironment(*platform, ui, tv::ToNarrow(dataDir));
    tv::RunStartUpSteps();
    if (french) tv::GetAppContext().language = "French";
    std::vector<std::unique_ptr<DemoPage>> pages;
    tv::Win32WizardWindow window(instance);
    tv::CMasterDlg wizard(window);
    for (int id : {first, 134, 139, 141}) {
        if (id == first && !pages.empty()) continue;
        pages.push_back(std::make_unique<DemoPage>(id));
        wizard.AddPage(pages.back().get());
    }
    if (!window.Create(wizard)) return 1;
    ui.SetOwner(&window);
    if (settings) PostMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(1008, BN_CLICKED), 0);
    window.Run();
    ui.SetOwner(nullptr);
    if (tv::HasAppContext()) tv::DestroyAppContext();
    return 0;
}
