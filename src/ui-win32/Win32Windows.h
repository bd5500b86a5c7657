// windows.h for the face, without the macro that would rename the engine's
// UiHost::MessageBox (the face calls ::MessageBoxW by its own name).
#pragma once

#include <windows.h>

#ifdef MessageBox
#undef MessageBox
#endif
