#include "app/RecordWriter.h"

#include "Library4/Shell/ShellWindows.h"
#include "app/LogStream.h"
#include "inspect/WindowRecord.h"
#include "platform/SafeString.h"

#include <cstdint>

namespace app {

namespace {

// Room for the longest record: the three strings at their limits, the fixed text and 19 numbers.
constexpr int kRecordChars = 2048;

const wchar_t kRecordFormat[] = L"0x%p: exe=%s\n"
                                L"title=\"%s\" class=\"%s\" atom = 0x%p\n"
                                L"Style=0x%x exStyle=0x%x parent=0x%p owner=0x%p getparent=0x%p\n"
                                L"rcWnd = %d,%d - %d,%d rcClient = %d,%d - %d,%d maximized = %d minimized = %d\n"
                                L"\n";

void* AsPointer(std::uintptr_t value) { return reinterpret_cast<void*>(value); }

} // namespace

void WriteWindowRecord(const WindowRecord& r, LogStream& stream)
{
    wchar_t text[kRecordChars];
    vantrel::platform::SafeStringCbPrintf(
        text, sizeof(text), kRecordFormat, static_cast<void*>(r.hwnd), r.exe, r.title, r.className, AsPointer(r.atom),
        static_cast<unsigned int>(r.style), static_cast<unsigned int>(r.exStyle), static_cast<void*>(r.parent),
        static_cast<void*>(r.owner), static_cast<void*>(r.getParent), static_cast<int>(r.window.left),
        static_cast<int>(r.window.top), static_cast<int>(r.window.right), static_cast<int>(r.window.bottom),
        static_cast<int>(r.client.left), static_cast<int>(r.client.top), static_cast<int>(r.client.right),
        static_cast<int>(r.client.bottom), r.maximized, r.minimized);
    stream.Write(text);
}

BOOL CALLBACK LogWindowProc(HWND hwnd, LPARAM lParam)
{
    auto& pass = *reinterpret_cast<LogPass*>(lParam);
    return pass.stream.RunWriter([&] {
        if (Library4::Shell::IsTaskbarWindow(hwnd, pass.taskbar)) {
            WindowRecord record;
            inspect::ReadWindowRecord(hwnd, record);
            WriteWindowRecord(record, pass.stream);
        }
        return TRUE;
    });
}

} // namespace app
