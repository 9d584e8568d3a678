#include "report/win32/Console.h"

#include "report/win32/WideText.h"

#include "platform/Win32Api.h"

namespace report {

using vantrel::platform::Api;

void Print(DWORD which, const std::string& utf8)
{
    const HANDLE out = Api().GetStdHandle(which);
    DWORD mode = 0, written = 0;
    if (Api().GetConsoleMode(out, &mode)) {
        const std::wstring wide = Wide(utf8);
        Api().WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        Api().WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    }
}

bool HasConsoleOfItsOwn()
{
    CONSOLE_SCREEN_BUFFER_INFO info{};
    return Api().GetConsoleScreenBufferInfo(Api().GetStdHandle(STD_OUTPUT_HANDLE), &info) &&
           info.dwCursorPosition.X == 0 && info.dwCursorPosition.Y == 0;
}

void PrintOutOfMemory(bool ownConsole)
{
    static const char message[] = "vantrel-report: not enough memory\n";
    DWORD written = 0;
    Api().WriteFile(Api().GetStdHandle(STD_ERROR_HANDLE), message, sizeof(message) - 1, &written, nullptr);
    if (ownConsole)
        Api().MessageBoxW(nullptr, L"vantrel-report: not enough memory", L"vantrel-report", MB_OK | MB_ICONWARNING);
}

} // namespace report
