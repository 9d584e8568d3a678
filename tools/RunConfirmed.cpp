// Runs a program, waits for its message box, prints the box's caption and text, presses OK, and
// prints the program's exit code, which it also returns. For headless runs of the tool.
//   run-confirmed.exe [--wait-windows N] PROGRAM
// --wait-windows N first waits (at most 15 s) until N visible top-level windows exist, so that
// programs started just before have their windows up.

#include "tools/MessageBoxWatch.h"

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

BOOL CALLBACK CountVisible(HWND hwnd, LPARAM lParam)
{
    if (::IsWindowVisible(hwnd) && ::GetWindow(hwnd, GW_OWNER) == nullptr) ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

void WaitForWindows(int wanted)
{
    for (int waited = 0; waited < 15000; waited += 50) {
        int count = 0;
        ::EnumWindows(&CountVisible, reinterpret_cast<LPARAM>(&count));
        if (count >= wanted) return;
        ::Sleep(50);
    }
}

void Print(const std::wstring& text)
{
    // The text goes out as UTF-8 whatever the console's code page.
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes > 0 ? bytes : 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], bytes, nullptr, nullptr);
    std::fputs(utf8.c_str(), stdout);
    std::fputs("\n", stdout);
    std::fflush(stdout);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    int arg = 1;
    if (argc > 3 && std::wcscmp(argv[1], L"--wait-windows") == 0) {
        WaitForWindows(_wtoi(argv[2]));
        arg = 3;
    }
    if (arg >= argc) {
        std::fputs("usage: run-confirmed [--wait-windows N] PROGRAM\n", stderr);
        return 2;
    }

    std::wstring commandLine = L"\"" + std::wstring(argv[arg]) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(argv[arg], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info)) {
        Print(L"cannot start " + std::wstring(argv[arg]));
        return 2;
    }

    tools::ShownMessageBox box;
    if (tools::WaitForMessageBox(info.dwProcessId, info.hProcess, 60000, box)) {
        Print(L"message box \"" + box.caption + L"\": " + box.text);
        tools::PressOk(box.window);
    } else {
        Print(L"no message box appeared");
    }

    DWORD exitCode = 2;
    if (::WaitForSingleObject(info.hProcess, 60000) == WAIT_OBJECT_0) ::GetExitCodeProcess(info.hProcess, &exitCode);
    Print(L"exit code: " + std::to_wstring(exitCode));
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return static_cast<int>(exitCode);
}
