// tallyvault.exe: the wizard with its native Windows face.
#include "ui-win32/Win32Windows.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "ui-win32/Win32App.h"
#include "ui-win32/Win32Handles.h"
#include "ui-win32/Win32Text.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::u16string> args;
    for (int i = 1; argv != nullptr && i < count; ++i) args.push_back(tv::FromWide(argv[i]));
    if (argv != nullptr) LocalFree(argv);
    return tv::RunTallyvaultWin32(instance, args);
}
