// Owns a share of the benchmark's desktop: COUNT visible top-level windows that the taskbar would
// show, titled 10 to 120 characters, every fourth title with characters above U+00FF. Sets READY
// once every window is up, then answers messages until STOP is set.
//   bench-window-owner.exe INDEX COUNT READY-EVENT STOP-EVENT

#include "platform/WindowsHeaders.h"

#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const wchar_t kClassName[] = L"VantrelBenchWindow";

// Deterministic, so that every run of one size sees the same desktop.
std::uint32_t Mix(std::uint32_t value)
{
    value ^= value >> 16;
    value *= 0x7FEB352Du;
    value ^= value >> 15;
    value *= 0x846CA68Bu;
    value ^= value >> 16;
    return value;
}

// A title of 10 to 120 characters: a unique head, then words from a small vocabulary. Latin-1
// letters are common; every fourth window also carries a euro sign, Cyrillic and CJK, which the
// log writes as question marks.
std::wstring MakeTitle(int owner, int index)
{
    static const wchar_t* const kLatinWords[] = {L"Report",   L"caf\u00e9",   L"Stra\u00dfe", L"na\u00efve",
                                                 L"document", L"\u00c5rsbok", L"draft",       L"r\u00e9sum\u00e9"};
    static const wchar_t* const kWideWords[] = {L"\u20ac 12,50", L"\u0416\u0443\u0440\u043d\u0430\u043b",
                                                L"\u4e2d\u6587", L"\u2013 Editor"};
    const std::uint32_t seed = Mix(static_cast<std::uint32_t>(owner) * 100003u + static_cast<std::uint32_t>(index));
    const std::size_t length = 10 + seed % 111;
    const bool wide = index % 4 == 3;

    wchar_t head[32];
    std::swprintf(head, 32, L"W%d-%04d ", owner, index);
    std::wstring title = head;
    for (std::uint32_t word = seed; title.size() < length; word = Mix(word + 1)) {
        title += wide && word % 3 == 0 ? kWideWords[word / 3 % 4] : kLatinWords[word / 3 % 8];
        title += L' ';
    }
    title.resize(length);
    return title;
}

bool RegisterWindowClass(HINSTANCE instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &::DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    return ::RegisterClassExW(&windowClass) != 0;
}

// Shown without activation: thousands of windows taking the foreground in turn from four
// processes would make the set-up, not the benchmark, the slow part.
HWND CreateTaskbarWindow(HINSTANCE instance, int owner, int index)
{
    const std::uint32_t seed = Mix(static_cast<std::uint32_t>(owner) * 7919u + static_cast<std::uint32_t>(index));
    const int x = static_cast<int>(seed % 1200) - 100;
    const int y = static_cast<int>(seed / 1200 % 700);
    const int width = 200 + static_cast<int>(seed / 840000 % 600);
    const int height = 120 + static_cast<int>(seed / 7 % 400);
    const HWND hwnd = ::CreateWindowExW(0, kClassName, MakeTitle(owner, index).c_str(), WS_OVERLAPPEDWINDOW, x, y,
                                        width, height, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) return nullptr;
    // A few minimized and maximized windows, as on a real desktop (maximizing has no form that
    // leaves the activation alone, so those few take the foreground).
    const int show = index % 16 == 5 ? SW_SHOWMINNOACTIVE : index % 16 == 9 ? SW_SHOWMAXIMIZED : SW_SHOWNOACTIVATE;
    ::ShowWindow(hwnd, show);
    return hwnd;
}

void ServeUntil(HANDLE stop)
{
    for (;;) {
        const DWORD woke = ::MsgWaitForMultipleObjects(1, &stop, FALSE, INFINITE, QS_ALLINPUT);
        if (woke != WAIT_OBJECT_0 + 1) return;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/)
{
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argv == nullptr || argc != 5) return 2;
    const int owner = _wtoi(argv[1]);
    const int count = _wtoi(argv[2]);
    HANDLE ready = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[3]);
    HANDLE stop = ::OpenEventW(SYNCHRONIZE, FALSE, argv[4]);
    ::LocalFree(argv);
    if (ready == nullptr || stop == nullptr || !RegisterWindowClass(instance)) return 3;

    std::vector<HWND> windows;
    windows.reserve(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        const HWND hwnd = CreateTaskbarWindow(instance, owner, index);
        if (hwnd == nullptr) return 4;
        windows.push_back(hwnd);
    }
    ::SetEvent(ready);
    ::CloseHandle(ready);

    ServeUntil(stop);
    ::CloseHandle(stop);
    // The windows go with the process: destroying thousands one by one only slows the next size.
    return 0;
}
