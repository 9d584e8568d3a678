#include "inspect/ProcessImagePath.h"

#include "inspect/LongPath.h"
#include "inspect/WowTasks.h"
#include "platform/RuntimeFunction.h"
#include "platform/SafeString.h"
#include "platform/UniqueResource.h"
#include "platform/Win32Api.h"
#include "platform/WindowThread.h"

#include <cwchar>
#include <vector>

namespace inspect {

using vantrel::platform::Api;
using vantrel::platform::UniqueHandle;

namespace {

using vantrel::platform::FoundFunction;
using QueryFullProcessImageName = FoundFunction<decltype(&::QueryFullProcessImageNameW)>;
using GetModuleFileNameEx = FoundFunction<decltype(&::GetModuleFileNameExW)>;

// Longest path the system can hand back; used only to recover from a room that was too small.
constexpr DWORD kLongestPath = 32768;

bool IsEmpty(const wchar_t* text) { return text[0] == L'\0'; }

// Strategy A (Vista and later).
bool QueryImageByFullName(const QueryFullProcessImageName& queryFullName, DWORD processId, wchar_t* out, int capacity)
{
    UniqueHandle process(Api().OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process.IsValid()) return false;

    DWORD size = static_cast<DWORD>(capacity);
    if (!queryFullName(process.Get(), 0, out, &size)) {
        // A path longer than the room fails and leaves the room undefined: read it whole, keep
        // what fits.
        out[0] = L'\0';
        std::vector<wchar_t> whole(kLongestPath);
        DWORD wholeSize = kLongestPath;
        if (queryFullName(process.Get(), 0, whole.data(), &wholeSize)) {
            vantrel::platform::SafeStringCchCopy(out, static_cast<std::size_t>(capacity), whole.data());
        }
    }
    return true;
}

// Strategy B (psapi): the main module's file name.
void QueryImageByModuleName(const GetModuleFileNameEx& moduleFileNameEx, DWORD processId, wchar_t* out, int capacity)
{
    UniqueHandle process(Api().OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process.IsValid()) return;
    const DWORD length = moduleFileNameEx(process.Get(), nullptr, out, static_cast<DWORD>(capacity));
    // Older systems leave a cut name unterminated.
    vantrel::platform::TerminateWithin(out, static_cast<std::size_t>(capacity), length);
}

// A process of the NT virtual DOS machine stands for the 16-bit task that owns the thread.
void UseWowTaskFileIfVirtualDosMachine(DWORD processId, DWORD threadId, wchar_t* out, int capacity)
{
    if (IsEmpty(out)) return;
    const wchar_t* lastSlash = std::wcsrchr(out, L'\\');
    if (lastSlash == nullptr || Api().lstrcmpiW(lastSlash + 1, L"ntvdm.exe") != 0) return;
    GetWowTaskFileName(processId, threadId, out, capacity);
}

} // namespace

bool GetWindowProcessImagePath(HWND hwnd, wchar_t* out, int capacity)
{
    if (out == nullptr || capacity <= 0) return false;
    out[0] = L'\0';
    const vantrel::platform::ThreadAndProcess ids = vantrel::platform::ThreadAndProcessOfWindow(hwnd);
    if (ids.processId == 0) return false;
    return GetProcessImagePath(ids.processId, ids.threadId, out, capacity);
}

bool GetProcessImagePath(DWORD processId, DWORD threadId, wchar_t* out, int capacity)
{
    if (out == nullptr || capacity <= 0) return false;
    out[0] = L'\0';

    if (const auto queryFullName =
            vantrel::platform::Find<&vantrel::platform::Win32Api::QueryFullProcessImageNameW>()) {
        if (!QueryImageByFullName(queryFullName, processId, out, capacity)) return false;
    } else {
        // psapi stays loaded only for this query.
        const auto moduleFileNameEx = vantrel::platform::Find<&vantrel::platform::Win32Api::GetModuleFileNameExW>();
        if (moduleFileNameEx.LibraryMissing()) return false;
        if (!moduleFileNameEx) return GetProcessImagePathFromSnapshot(processId, out, capacity);
        QueryImageByModuleName(moduleFileNameEx, processId, out, capacity);
    }

    UseWowTaskFileIfVirtualDosMachine(processId, threadId, out, capacity);
    return !IsEmpty(out);
}

bool GetProcessImagePathFromSnapshot(DWORD processId, wchar_t* out, int capacity)
{
    if (out == nullptr || capacity <= 0) return false;
    out[0] = L'\0';
    if (processId == 0) return false;

    {
        const UniqueHandle processes(Api().CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        if (!processes.IsValid()) return false;

        PROCESSENTRY32W process{};
        process.dwSize = sizeof(process);
        for (BOOL more = Api().Process32FirstW(processes.Get(), &process); more;
             process.dwSize = sizeof(process), more = Api().Process32NextW(processes.Get(), &process)) {
            if (process.th32ProcessID != processId) continue;

            if (std::wcschr(process.szExeFile, L'\\') != nullptr) {
                Api().lstrcpynW(out, process.szExeFile, capacity);
                break;
            }
            // Only the file name is known: the main module of the same name gives the full path.
            const UniqueHandle modules(Api().CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
            if (!modules.IsValid()) break;
            MODULEENTRY32W module{};
            module.dwSize = sizeof(module);
            for (BOOL moreModules = Api().Module32FirstW(modules.Get(), &module); moreModules;
                 moreModules = Api().Module32NextW(modules.Get(), &module)) {
                if (Api().lstrcmpiW(module.szModule, process.szExeFile) == 0) {
                    Api().lstrcpynW(out, module.szExePath, capacity);
                    break;
                }
            }
            break;
        }
    }

    inspect::ReplaceByLongForm(out, capacity);
    return !IsEmpty(out);
}

} // namespace inspect
