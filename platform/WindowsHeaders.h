// The system headers, included once with the same settings everywhere. Declarations of newer
// systems are visible so that their types can be named; such functions are only ever looked up at
// run time (see RuntimeFunction.h), never imported, so the program still starts on Windows 2000.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>
#include <dwmapi.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <vdmdbg.h>

// psapi's first interface: GetModuleFileNameExW under its own name, as psapi.dll exports it on
// every system (later headers rename it to the kernel32 copy that only Windows 7 has).
#ifndef PSAPI_VERSION
#define PSAPI_VERSION 1
#endif
#include <psapi.h>
