// vantrel-report's entry on Windows: a console program for wide paths. Dropped on by a log in
// Explorer, it writes the page beside the log and opens it in the default browser.
//
// Declarations up to Windows 8 are visible in this file only, so that every style name below can
// be checked against the header; nothing newer is called (the import-table test holds that line).
#undef WINVER
#undef _WIN32_WINNT
#define WINVER 0x0602
#define _WIN32_WINNT 0x0602

#include "report/CommandLine.h"
#include "report/Numbers.h"
#include "report/StyleNames.h"

#include <algorithm>

#include <windows.h>
#include <shellapi.h>

// The portable code writes the style values out; here they meet the header they come from.
#define REPORT_CHECK_STYLE(name, value) static_assert(static_cast<std::uint32_t>(name) == (value), #name);
REPORT_WINDOW_STYLES(REPORT_CHECK_STYLE)
REPORT_EXTENDED_STYLES(REPORT_CHECK_STYLE)
#undef REPORT_CHECK_STYLE

namespace {

std::wstring Wide(const std::string& utf8)
{
    if (utf8.empty()) return {};
    // Windows 2000 takes no flags with CP_UTF8.
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
    return wide;
}

std::string Utf8(const wchar_t* wide, int length)
{
    if (length == 0) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, length, &utf8[0], size, nullptr, nullptr);
    return utf8;
}

// The system's own words for an error, read before anything else can change the last error.
std::string SystemMessage(DWORD error)
{
    wchar_t text[512];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                  512, nullptr);
    while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n' || text[length - 1] == L'.')) --length;
    if (length == 0) return "Windows error " + report::Decimal(error);
    return Utf8(text, static_cast<int>(length));
}

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { Close(); }
    bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE Get() const { return handle_; }
    bool Close()
    {
        const bool closed = !IsValid() || CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

class WindowsFiles : public report::FileAccess {
public:
    File Read(const std::string& path, std::uint64_t limit) override
    {
        File result;
        // Shared every way: a log may still be open in the editor that shows it.
        Handle file(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER size{};
        FILETIME written{};
        if (!file.IsValid() || !GetFileSizeEx(file.Get(), &size) ||
            !GetFileTime(file.Get(), nullptr, nullptr, &written)) {
            return result.error = SystemMessage(GetLastError()), result;
        }
        if (static_cast<std::uint64_t>(size.QuadPart) > limit) return result.tooLarge = true, result;
        result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
        std::size_t got = 0;
        while (got < result.bytes.size()) {
            DWORD read = 0;
            if (!ReadFile(file.Get(), &result.bytes[got], static_cast<DWORD>(result.bytes.size() - got), &read,
                          nullptr)) {
                return result.error = SystemMessage(GetLastError()), result;
            }
            if (read == 0) break; // cut short while being read
            got += read;
        }
        result.bytes.resize(got);
        result.size = got;
        // FILETIME counts 100 ns from 1601; the page counts seconds from 1970.
        const std::uint64_t ticks = (std::uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime;
        result.modified = static_cast<std::int64_t>(ticks / 10000000) - 11644473600;
        result.ok = true;
        return result;
    }

    bool Write(const std::string& path, const std::string& bytes, std::string& error) override
    {
        const std::wstring wide = Wide(path);
        Handle file(
            CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsValid()) return error = SystemMessage(GetLastError()), false;
        std::size_t done = 0;
        DWORD failure = 0;
        while (done < bytes.size() && failure == 0) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
            if (!WriteFile(file.Get(), bytes.data() + done, chunk, &written, nullptr))
                failure = GetLastError();
            else if (written == 0)
                failure = ERROR_DISK_FULL;
            done += written;
        }
        if (!file.Close() && failure == 0) failure = GetLastError();
        if (failure == 0) return true;
        error = SystemMessage(failure);
        // A page cut short would look whole in a browser.
        DeleteFileW(wide.c_str());
        return false;
    }
};

void Print(DWORD which, const std::string& utf8)
{
    const HANDLE out = GetStdHandle(which);
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(out, &mode)) {
        const std::wstring wide = Wide(utf8);
        WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    }
}

// Dropped on in Explorer, the program has a console of its own that closes as it ends: nothing
// printed there could be read. Such a console is new, its cursor still at the top left.
bool HasConsoleOfItsOwn()
{
    CONSOLE_SCREEN_BUFFER_INFO info{};
    return GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info) && info.dwCursorPosition.X == 0 &&
           info.dwCursorPosition.Y == 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const bool ownConsole = HasConsoleOfItsOwn();
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(Utf8(argv[i], lstrlenW(argv[i])));
    WindowsFiles files;
    const report::Outcome outcome = report::Run(arguments, files);
    Print(outcome.exitCode == 0 ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE, outcome.message);
    if (outcome.exitCode != 0 && ownConsole) {
        MessageBoxW(nullptr, Wide(outcome.message).c_str(), L"vantrel-report", MB_OK | MB_ICONWARNING);
    }
    if (outcome.exitCode == 0 && outcome.open && !outcome.page.empty()) {
        const auto opened = reinterpret_cast<INT_PTR>(
            ShellExecuteW(nullptr, L"open", Wide(outcome.page).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        if (opened <= 32) Print(STD_ERROR_HANDLE, "vantrel-report: the page is written but could not be opened\n");
    }
    return outcome.exitCode;
}
