#pragma once
// Every Win32 file includes this before any other system header (right after its own
// header): <windows.h> without the A/W macros that share names with the platform services'
// methods (the files call the A functions by name).
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#undef CreateProcess
#undef CreateWindow
#undef DeleteFile
#undef ExpandEnvironmentStrings
#undef FormatMessage
#undef GetComputerName
#undef GetShortPathName
#undef GetSystemDirectory
#undef GetUserName
#undef GetUserProfileDirectory
#undef GetVersionEx
