// The system headers, included once with the same settings everywhere: those that vantrel_platform
// gives every target linking it (platform/CMakeLists.txt). Declarations of newer systems are
// visible so that their types can be named; such functions are only ever looked up at run time
// (see RuntimeFunction.h), never imported, so the program still starts on Windows 2000.
#pragma once

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
