// vantrel-report's entry on Windows: a console program for wide paths. Dropped on by a log in
// Explorer, it writes the page beside the log and opens it in the default browser; started with
// no log from Explorer, it does the same with the live page of this desktop, beside itself.
//
// Declarations up to Windows 8 are visible in this file only, so that every style name below can
// be checked against the header; nothing newer is imported, only looked up at run time (the
// import-table test holds that line).
#undef WINVER
#undef _WIN32_WINNT
#define WINVER 0x0602
#define _WIN32_WINNT 0x0602

#include "report/run/Run.h"
#include "report/win32/LiveCollection.h"
#include "report/text/Numbers.h"
#include "report/text/Paths.h"
#include "report/model/StyleBits.h"
#include "report/win32/WideText.h"

#include "platform/ComApartment.h"
#include "platform/UniqueResource.h"

#include <algorithm>
#include <functional>
#include <new>
#include <string_view>

#include <windows.h>
#include <shellapi.h>

// The portable code writes the style values out; here they meet the header they come from.
#define REPORT_CHECK_STYLE(name, value) static_assert(static_cast<std::uint32_t>(name) == (value), #name);
REPORT_WINDOW_STYLES(REPORT_CHECK_STYLE)
REPORT_EXTENDED_STYLES(REPORT_CHECK_STYLE)
#undef REPORT_CHECK_STYLE

namespace {

using report::Utf8;
using report::Wide;

// The system's own words for an error, read before anything else can change the last error.
std::string SystemMessage(DWORD error)
{
    wchar_t text[512];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                  512, nullptr);
    while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n' || text[length - 1] == L'.')) --length;
    if (length == 0) return "Windows error " + report::Decimal(error);
    return Utf8(std::wstring_view(text, length));
}

using vantrel::platform::UniqueHandle;

// Where a path's file lies, for a temporary file beside it: its folder; a drive's own current
// folder ("C:page.html"); else the current folder.
std::wstring FolderOf(const std::string& path)
{
    const std::size_t name = report::FileNameStart(path);
    if (name > 0) return Wide(path.substr(0, name));
    if (path.size() >= 2 && path[1] == ':') return Wide(path.substr(0, 2) + ".");
    return L".";
}

// A file removed when this object goes, unless it was moved into place first: whichever way a
// write ends, by failure or by an exception, it leaves nothing behind.
class TemporaryFile {
public:
    explicit TemporaryFile(const wchar_t* path) : path_(path) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (!path_.empty()) DeleteFileW(path_.c_str());
    }
    const std::wstring& Path() const { return path_; }
    // Replaces `target`; the write through makes the rename itself reach the disk before it
    // counts as done.
    bool MoveTo(const std::wstring& target)
    {
        if (!MoveFileExW(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return false;
        path_.clear();
        return true;
    }

private:
    std::wstring path_;
};

// The page's bytes into an open file. The first failure is kept and whatever comes after it
// dropped: the page is lost once any of it is.
class FileSink : public report::ByteSink {
public:
    explicit FileSink(HANDLE file) : file_(file) {}

    void Write(std::string_view bytes) override
    {
        while (!bytes.empty() && failure_ == 0) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
            if (!WriteFile(file_, bytes.data(), chunk, &written, nullptr)) {
                failure_ = GetLastError();
            } else if (written == 0) {
                failure_ = ERROR_DISK_FULL;
            }
            bytes.remove_prefix(std::min<std::size_t>(written, bytes.size()));
        }
    }

    DWORD Failure() const { return failure_; }

private:
    HANDLE file_;
    DWORD failure_ = 0;
};

// Opened for its identity only: no right to its contents is needed, a folder opens too, and
// whoever else has it open is not disturbed.
UniqueHandle OpenForIdentity(const std::string& path)
{
    return UniqueHandle(CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

class WindowsFiles : public report::FileAccess {
public:
    File Read(const std::string& path, std::uint64_t limit) override
    {
        File result;
        // Shared every way: a log may still be open in the editor that shows it.
        UniqueHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER size{};
        FILETIME written{};
        if (!file.IsValid() || !GetFileSizeEx(file.Get(), &size) ||
            !GetFileTime(file.Get(), nullptr, nullptr, &written)) {
            result.error = SystemMessage(GetLastError());
            return result;
        }
        if (static_cast<std::uint64_t>(size.QuadPart) > limit) {
            result.tooLarge = true;
            return result;
        }
        result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
        std::size_t got = 0;
        while (got < result.bytes.size()) {
            DWORD read = 0;
            if (!ReadFile(file.Get(), &result.bytes[got], static_cast<DWORD>(result.bytes.size() - got), &read,
                          nullptr)) {
                result.error = SystemMessage(GetLastError());
                return result;
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

    bool SameFile(const std::string& a, const std::string& b) override
    {
        // Both stay open while compared: a file's index is only sure to hold while it is open.
        const UniqueHandle first = OpenForIdentity(a);
        const UniqueHandle second = OpenForIdentity(b);
        BY_HANDLE_FILE_INFORMATION one{};
        BY_HANDLE_FILE_INFORMATION two{};
        return first.IsValid() && second.IsValid() && GetFileInformationByHandle(first.Get(), &one) &&
               GetFileInformationByHandle(second.Get(), &two) && one.dwVolumeSerialNumber == two.dwVolumeSerialNumber &&
               one.nFileIndexHigh == two.nFileIndexHigh && one.nFileIndexLow == two.nFileIndexLow;
    }

    bool Write(const std::string& path, const std::function<void(report::ByteSink&)>& write,
               std::string& error) override
    {
        const std::wstring target = Wide(path);
        // Beside the page, so that the rename stays on one volume. The call makes the file empty.
        wchar_t temporaryPath[MAX_PATH];
        if (GetTempFileNameW(FolderOf(path).c_str(), L"vrp", 0, temporaryPath) == 0) {
            error = SystemMessage(GetLastError());
            return false;
        }
        TemporaryFile temporary(temporaryPath);
        UniqueHandle file(CreateFileW(temporary.Path().c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsValid()) {
            error = SystemMessage(GetLastError());
            return false;
        }
        FileSink sink(file.Get());
        write(sink);
        DWORD failure = sink.Failure();
        // Closed here rather than by the owner, which keeps the caller's last error: a failed
        // close may be data that never reached the disk, and its reason is wanted.
        if (!CloseHandle(file.Release()) && failure == 0) failure = GetLastError();
        if (failure == 0 && !temporary.MoveTo(target)) failure = GetLastError();
        if (failure == 0) return true;
        error = SystemMessage(failure);
        return false;
    }
};

class ThisDesktop : public report::Desktop {
public:
    report::LiveSnapshot Snapshot() override { return report::TakeSnapshot(); }

    std::string ProgramPath() override
    {
        std::wstring path(32768, L'\0');
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        return Utf8(std::wstring_view(path.c_str(), std::min<std::size_t>(length, path.size())));
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

// Memory ran out before a log could be named, or after: said without asking for any more.
void PrintOutOfMemory(bool ownConsole)
{
    static const char message[] = "vantrel-report: not enough memory\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), message, sizeof(message) - 1, &written, nullptr);
    if (ownConsole)
        MessageBoxW(nullptr, L"vantrel-report: not enough memory", L"vantrel-report", MB_OK | MB_ICONWARNING);
}

int RunFromConsole(int argc, wchar_t** argv, bool ownConsole)
{
    // One apartment for the whole run: the snapshot asks the virtual desktop manager through it,
    // and ShellExecuteW needs COM on its thread to open the page.
    const vantrel::platform::ComApartment com;
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(Utf8(argv[i]));
    // Opened from Explorer with no log, the one page there is to make is this desktop's.
    if (arguments.empty() && ownConsole) arguments.push_back("--live");
    WindowsFiles files;
    ThisDesktop desktop;
    const report::Outcome outcome = report::Run(arguments, files, &desktop);
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

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const bool ownConsole = HasConsoleOfItsOwn();
    try {
        return RunFromConsole(argc, argv, ownConsole);
    } catch (const std::bad_alloc&) {
        PrintOutOfMemory(ownConsole);
        return 1;
    }
}
