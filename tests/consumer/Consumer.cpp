// Calls into each of the shell module's public headers through the SDK and prints what it found,
// one "name=value" line each, for the driver to compare.
#include "Library4/Shell/ShellRegistry.h"
#include "Library4/Shell/ShellWindows.h"
#include "Library4/Shell/ShellWorkers.h"

#include <cstdio>

int main(int argc, char** argv)
{
    namespace Shell = Library4::Shell;
    if (argc != 3) return 2; // consumer SUBKEY VALUE, below HKEY_CURRENT_USER

    // The generic names compile only when the package passes UNICODE on to its consumers.
    const HINSTANCE instance = ::GetModuleHandle(nullptr);
    HWND window = ::CreateWindowEx(0, L"STATIC", L"consumer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                   nullptr, instance, nullptr);
    HWND tool = ::CreateWindowEx(WS_EX_TOOLWINDOW, L"STATIC", L"tool", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                 nullptr, nullptr, instance, nullptr);
    if (window == nullptr || tool == nullptr) return 3;
    std::printf("taskbar-window=%d\n", Shell::IsTaskbarWindow(window) ? 1 : 0);
    std::printf("tool-window=%d\n", Shell::IsTaskbarWindow(tool) ? 1 : 0);
    std::printf("main-window=%s\n", Shell::FindMainWindow(tool) == window ? "the taskbar window" : "another");
    ::DestroyWindow(tool);
    ::DestroyWindow(window);

    // The arguments are ASCII, so a plain widening keeps them.
    wchar_t subKey[200] = {};
    wchar_t valueName[100] = {};
    ::MultiByteToWideChar(CP_ACP, 0, argv[1], -1, subKey, ARRAYSIZE(subKey) - 1);
    ::MultiByteToWideChar(CP_ACP, 0, argv[2], -1, valueName, ARRAYSIZE(valueName) - 1);
    wchar_t text[200] = {};
    DWORD length = ARRAYSIZE(text);
    if (Shell::ReadRegistryDisplayString(HKEY_CURRENT_USER, subKey, valueName, nullptr, text, &length)) {
        std::printf("display-string=%ls (%lu)\n", text, static_cast<unsigned long>(length));
    } else {
        std::printf("display-string not read\n");
    }

    // A worker that cannot start throws, which ends the program with a failing exit code.
    Shell::AppBarWorker worker;
    worker.ClearRequest();
    worker.Call(ABM_GETSTATE);
    std::printf("app-bar-worker=%s\n", worker.Running ? "running" : "stopped");
    return 0;
}
