// The 16-bit Windows tasks that run inside the NT virtual DOS machine: the task that owns a
// thread, and its own executable file.
#pragma once

#include "platform/WindowsHeaders.h"

namespace inspect {

// What the task enumeration callback is handed: the task sought and where its file name goes.
struct WowTaskQuery {
    DWORD threadId;  // the thread that owns the window; the task sought runs on it
    wchar_t* buffer; // receives the task's file name
    int capacity;    // size of buffer in characters
};

// Writes the file of the task whose thread is threadId into out and returns true; returns false
// and leaves out untouched when no such task is found or the 16-bit tasks cannot be listed.
bool GetWowTaskFileName(DWORD processId, DWORD threadId, wchar_t* out, int capacity);

// Callback of VDMEnumTaskWOWEx: returns FALSE to go on, TRUE once the sought task is found.
BOOL WINAPI WowTaskEnumProc(DWORD threadId, WORD module16, WORD task16, PSZ moduleName, PSZ fileName, LPARAM query);

} // namespace inspect
