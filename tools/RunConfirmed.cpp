// Confirms message boxes for runs without a person at the screen.
//   run-confirmed.exe [--wait-classes CLASS,CLASS...] [PROGRAM]
//       With --wait-classes, first waits (at most 15 s) until a visible top-level window of each
//       class exists, so that programs started just before have their windows up; without a
//       PROGRAM it only waits, and exits 0 when every class showed up, else 1.
//       With PROGRAM, runs it, waits for its message box, prints the box's caption and text,
//       presses OK, and prints the program's exit code, which it also returns.
//   run-confirmed.exe --confirm CAPTION
//       Waits (at most 60 s) for a message box with this caption from any process, prints it and
//       presses OK: for a program that somebody else started. Exits 0, or 1 when none appeared.

#include "tools/MessageBoxWatch.h"

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

bool HasVisibleWindowOfClass(const std::wstring& className)
{
    for (HWND hwnd = ::FindWindowExW(nullptr, nullptr, className.c_str(), nullptr); hwnd != nullptr;
         hwnd = ::FindWindowExW(nullptr, hwnd, className.c_str(), nullptr)) {
        if (::IsWindowVisible(hwnd)) return true;
    }
    return false;
}

bool WaitForClasses(const std::wstring& list)
{
    std::vector<std::wstring> classes;
    for (std::size_t start = 0; start <= list.size();) {
        std::size_t comma = list.find(L',', start);
        if (comma == std::wstring::npos) comma = list.size();
        if (comma > start) classes.push_back(list.substr(start, comma - start));
        start = comma + 1;
    }
    for (int waited = 0;; waited += 50) {
        bool all = true;
        for (const std::wstring& name : classes) all = all && HasVisibleWindowOfClass(name);
        if (all) return true;
        if (waited >= 15000) return false;
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

void PrintAndConfirm(const tools::ShownMessageBox& box)
{
    Print(L"message box \"" + box.caption + L"\": " + box.text);
    tools::PressOk(box.window);
}

int ConfirmBoxOfAnyProcess(const wchar_t* caption)
{
    tools::ShownMessageBox box;
    if (!tools::WaitForMessageBoxTitled(caption, 60000, box)) {
        Print(L"no message box appeared");
        return 1;
    }
    PrintAndConfirm(box);
    return 0;
}

int RunAndConfirm(const wchar_t* program)
{
    std::wstring commandLine = L"\"" + std::wstring(program) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        Print(L"cannot start " + std::wstring(program));
        return 2;
    }

    tools::ShownMessageBox box;
    if (tools::WaitForMessageBox(info.dwProcessId, info.hProcess, 60000, box))
        PrintAndConfirm(box);
    else
        Print(L"no message box appeared");

    DWORD exitCode = 2;
    if (::WaitForSingleObject(info.hProcess, 60000) == WAIT_OBJECT_0) ::GetExitCodeProcess(info.hProcess, &exitCode);
    Print(L"exit code: " + std::to_wstring(exitCode));
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return static_cast<int>(exitCode);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && std::wcscmp(argv[1], L"--confirm") == 0) return ConfirmBoxOfAnyProcess(argv[2]);

    int arg = 1;
    bool classesShown = true;
    if (argc >= 3 && std::wcscmp(argv[1], L"--wait-classes") == 0) {
        classesShown = WaitForClasses(argv[2]);
        if (!classesShown) Print(L"not every window of " + std::wstring(argv[2]) + L" appeared");
        arg = 3;
    }
    if (arg < argc) return RunAndConfirm(argv[arg]);
    if (arg > 1) return classesShown ? 0 : 1;

    std::fputs("usage: run-confirmed [--wait-classes CLASS,...] [PROGRAM] | --confirm CAPTION\n", stderr);
    return 2;
}
