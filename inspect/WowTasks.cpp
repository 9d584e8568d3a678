#include "inspect/WowTasks.h"

#include "inspect/LongPath.h"
#include "platform/RuntimeFunction.h"
#include "platform/SafeString.h"
#include "platform/Win32Api.h"

namespace inspect {

using vantrel::platform::Api;

namespace {

constexpr int kTaskFileChars = MAX_PATH;

} // namespace

BOOL WINAPI WowTaskEnumProc(DWORD threadId, WORD /*module16*/, WORD /*task16*/, PSZ /*moduleName*/, PSZ fileName,
                            LPARAM query)
{
    auto* sought = reinterpret_cast<WowTaskQuery*>(query);
    if (sought == nullptr || sought->buffer == nullptr || sought->capacity <= 0) return TRUE;
    if (threadId != sought->threadId) return FALSE;

    int count = Api().lstrlenA(fileName) + 1;
    if (count > sought->capacity) count = sought->capacity;
    const int converted = Api().MultiByteToWideChar(CP_ACP, 0, fileName, count, sought->buffer, count);
    if (converted <= 0) {
        sought->buffer[0] = L'\0';
    } else if (sought->buffer[converted - 1] != L'\0') {
        // The name was cut to fit, so its terminator was not converted.
        vantrel::platform::TerminateWithin(sought->buffer, static_cast<std::size_t>(sought->capacity),
                                           static_cast<std::size_t>(converted));
    }
    return TRUE;
}

bool GetWowTaskFileName(DWORD processId, DWORD threadId, wchar_t* out, int capacity)
{
    wchar_t buffer[kTaskFileChars] = {};
    WowTaskQuery query{threadId, buffer, kTaskFileChars};

    // The VDM debugging library is bound when the first virtual DOS machine is met and stays
    // loaded. A system without it, or without the function, simply has no tasks to report.
    if (const auto enumTasks = vantrel::platform::Find<&vantrel::platform::Win32Api::VDMEnumTaskWOWEx>()) {
        enumTasks(processId, &WowTaskEnumProc, reinterpret_cast<LPARAM>(&query));
    }
    inspect::ReplaceByLongForm(buffer, kTaskFileChars);

    if (buffer[0] == L'\0' || out == nullptr || capacity <= 0) return false;
    vantrel::platform::SafeStringCchCopy(out, static_cast<std::size_t>(capacity), buffer);
    return true;
}

} // namespace inspect
