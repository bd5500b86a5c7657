#include "ui-win32/Win32App.h"

#include <commctrl.h>

#include <cstdio>
#include <memory>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "emulator/SmcEmulator.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "ui-win32/Win32Handles.h"
#include "ui-win32/Win32Options.h"
#include "ui-win32/Win32SingleInstance.h"
#include "ui-win32/Win32Text.h"
#include "ui-win32/Win32UiHost.h"
#include "ui-win32/Win32WizardWindow.h"
#include "wizard/MasterDlg.h"
#include "wizard/Pages.h"
#include "wizard/WizardPage.h"

namespace tv {

namespace {

constexpr int kExitUsage = 64;

// A window program has no console of its own: it writes to the one it was
// started from, when there is one.
void WriteToConsole(const std::string& text, bool error) {
    AttachConsole(ATTACH_PARENT_PROCESS);
    std::FILE* stream = error ? stderr : stdout;
    std::fputs(text.c_str(), stream);
    std::fflush(stream);
}

std::u16string UserName() {
    wchar_t name[257] = {};
    DWORD size = 257;
    if (!GetUserNameW(name, &size)) return u"user";
    return FromWide(name);
}

std::string Usage() {
    std::string text = kWin32Usage;
    text += "help pages of the Help button:\n";
    for (const char* language : {"English", "French"}) {
        // Before any environment is set up: the path is made here, not by the platform.
        const std::string page = ProgramFolder() + "\\" + HelpFileName(language);
        const DWORD attributes = GetFileAttributesW(Wide(ToUtf16(page)));
        const bool missing = attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        text += "  " + Utf16ToUtf8(ToUtf16(page)) + (missing ? " (missing)" : "") + "\n";
    }
    return text;
}

}  // namespace

std::string ProgramFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return ".";
        if (length < buffer.size()) break;
        buffer.resize(buffer.size() * 2);
    }
    std::u16string path = FromWide(buffer.data());
    const size_t cut = path.find_last_of(u"\\/");
    return ToNarrow(cut == std::u16string::npos ? u"." : path.substr(0, cut));
}

int RunTallyvaultWin32(HINSTANCE instance, const std::vector<std::u16string>& args) {
    Win32Options options;
    std::string error;
    if (!ParseWin32Options(args, options, error)) {
        WriteToConsole("tallyvault: " + error + "\n\n" + kWin32Usage, true);
        return kExitUsage;
    }
    if (options.help) {
        WriteToConsole(Usage(), false);
        return 0;
    }

    // One wizard per user and version: a second start brings the first forward.
    Win32SingleInstance single(InstanceMutexName(ToUtf16(WindowTitle()), UserName()));
    if (single.AlreadyRunning()) {
        Win32SingleInstance::RaiseFirst();
        return 0;
    }

    ComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    std::unique_ptr<Platform> platform = CreateSystemPlatform();
    Win32UiHost ui;
    std::vector<std::shared_ptr<SmcEmulator>> cards;
    for (const auto& [letter, folder] : options.cardImages) cards.push_back(MountEmulatedCard(*platform, letter, folder));
    InstallEnvironment(*platform, ui, options.dataDir);

    const StartUpResult start = RunStartUpSteps();
    if (start.dataFolderInUse) return kExitDataFolderInUse;

    // The pages outlive the wizard, the wizard outlives nothing of the window's.
    std::vector<std::unique_ptr<CWizardPage>> pages;
    Win32WizardWindow window(instance);
    CMasterDlg wizard(window);
    wizard.SetProgramFolder(ProgramFolder());
    pages = AddWizardPages(wizard, start.pageOrder);
    if (!window.Create(wizard)) {
        ::MessageBoxW(nullptr, L"The window of Tallyvault could not be made.", L"Tallyvault", MB_ICONERROR);
        if (HasAppContext()) DestroyAppContext();
        return 1;
    }
    ui.SetOwner(&window);
    window.Run();
    ui.SetOwner(nullptr);
    // The context holds files and the card of this platform: it goes before them.
    if (HasAppContext()) DestroyAppContext();
    return 0;
}

}  // namespace tv
