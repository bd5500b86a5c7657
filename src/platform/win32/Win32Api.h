// windows.h for the Windows platform: the calls of Windows 7 and later, and
// none of the A/W name macros that would rename the platform's own methods
// (DeleteFile, CopyFile, GetPrivateProfileString ...).
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif

#include <windows.h>

#undef CopyFile
#undef CreateDirectory
#undef DeleteFile
#undef GetPrivateProfileInt
#undef GetPrivateProfileString
#undef MoveFile
#undef RemoveDirectory
#undef ReplaceFile
#undef WritePrivateProfileString
