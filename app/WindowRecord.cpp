#include "app/WindowRecord.h"

#include "Library4/Shell/ShellWindows.h"
#include "app/LogStream.h"
#include "inspect/ProcessImagePath.h"
#include "platform/SafeString.h"
#include "platform/Win32Api.h"

#include <cstdint>

using platform::Api;

namespace {

constexpr int kExeChars = 260;
constexpr int kTitleChars = 300;
constexpr int kClassChars = 300;
// Room for the longest record: the three strings at their limits, the fixed text and 19 numbers.
constexpr int kRecordChars = 2048;

const wchar_t kRecordFormat[] =
    L"0x%p: exe=%s\n"
    L"title=\"%s\" class=\"%s\" atom = 0x%p\n"
    L"Style=0x%x exStyle=0x%x parent=0x%p owner=0x%p getparent=0x%p\n"
    L"rcWnd = %d,%d - %d,%d rcClient = %d,%d - %d,%d maximized = %d minimized = %d\n"
    L"\n";

void* AsPointer(std::uintptr_t value) { return reinterpret_cast<void*>(value); }

void WriteWindowRecord(HWND hwnd, LogStream& stream)
{
    if (!Library4::Shell::IsTaskbarWindow(hwnd)) return;

    wchar_t title[kTitleChars] = {};
    wchar_t className[kClassChars] = {};
    wchar_t exe[kExeChars] = {};
    Api().GetWindowTextW(hwnd, title, kTitleChars);
    Api().GetClassNameW(hwnd, className, kClassChars);
    GetWindowProcessImagePath(hwnd, exe, kExeChars);

    RECT window{};
    RECT client{};
    Api().GetWindowRect(hwnd, &window);
    Api().GetClientRect(hwnd, &client);
    const int minimized = Api().IsIconic(hwnd) ? 1 : 0;
    const int maximized = Api().IsZoomed(hwnd) ? 1 : 0;
    WINDOWINFO info{};
    info.cbSize = sizeof(info);
    Api().GetWindowInfo(hwnd, &info);
    const HWND getParent = Api().GetParent(hwnd);
    const HWND owner = Api().GetWindow(hwnd, GW_OWNER);
    const HWND parent = Api().GetAncestor(hwnd, GA_PARENT);
    const auto exStyle = static_cast<unsigned int>(Api().GetWindowLongW(hwnd, GWL_EXSTYLE));
    const auto style = static_cast<unsigned int>(Api().GetWindowLongW(hwnd, GWL_STYLE));

    wchar_t record[kRecordChars];
    platform::SafeStringCbPrintf(record, sizeof(record), kRecordFormat, static_cast<void*>(hwnd), exe, title,
                                 className, AsPointer(info.atomWindowType), style, exStyle,
                                 static_cast<void*>(parent), static_cast<void*>(owner),
                                 static_cast<void*>(getParent), static_cast<int>(window.left),
                                 static_cast<int>(window.top), static_cast<int>(window.right),
                                 static_cast<int>(window.bottom), static_cast<int>(client.left),
                                 static_cast<int>(client.top), static_cast<int>(client.right),
                                 static_cast<int>(client.bottom), maximized, minimized);
    stream.Write(record);
}

} // namespace

BOOL CALLBACK LogWindowProc(HWND hwnd, LPARAM lParam)
{
    auto* stream = reinterpret_cast<LogStream*>(lParam);
    try {
        WriteWindowRecord(hwnd, *stream);
    } catch (...) {
        stream->WriterFailure = std::current_exception();
        return FALSE;
    }
    return TRUE;
}
