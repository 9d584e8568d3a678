#include "report/win32/WindowsFiles.h"

#include "report/text/Numbers.h"
#include "report/text/Paths.h"
#include "report/win32/UnixTime.h"
#include "report/win32/WideText.h"

#include "platform/UniqueResource.h"
#include "platform/Win32Api.h"

#include <algorithm>
#include <string_view>

namespace report {

namespace {

using vantrel::platform::Api;
using vantrel::platform::UniqueHandle;

// The system's own words for an error, read before anything else can change the last error.
std::string SystemMessage(DWORD error)
{
    wchar_t text[512];
    DWORD length = Api().FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        text, 512, nullptr);
    while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n' || text[length - 1] == L'.')) --length;
    if (length == 0) return "Windows error " + Decimal(error);
    return Utf8(std::wstring_view(text, length));
}

// Where a path's file lies, for a temporary file beside it: its folder; a drive's own current
// folder ("C:page.html"); else the current folder.
std::wstring FolderOf(const std::string& path)
{
    const std::size_t name = FileNameStart(path);
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
        if (!path_.empty()) Api().DeleteFileW(path_.c_str());
    }
    const std::wstring& Path() const { return path_; }
    // Replaces `target`; the write through makes the rename itself reach the disk before it
    // counts as done.
    bool MoveTo(const std::wstring& target)
    {
        if (!Api().MoveFileExW(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return false;
        path_.clear();
        return true;
    }

private:
    std::wstring path_;
};

// The page's bytes into an open file. The first failure is kept and whatever comes after it
// dropped: the page is lost once any of it is.
class FileSink : public ByteSink {
public:
    explicit FileSink(HANDLE file) : file_(file) {}

    void Write(std::string_view bytes) override
    {
        while (!bytes.empty() && failure_ == 0) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
            if (!Api().WriteFile(file_, bytes.data(), chunk, &written, nullptr)) {
                failure_ = ::GetLastError();
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
    return UniqueHandle(Api().CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

} // namespace

FileAccess::File WindowsFiles::Read(const std::string& path, std::uint64_t limit)
{
    File result;
    // Shared every way: a log may still be open in the editor that shows it.
    UniqueHandle file(Api().CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    FILETIME written{};
    if (!file.IsValid() || !Api().GetFileSizeEx(file.Get(), &size) ||
        !Api().GetFileTime(file.Get(), nullptr, nullptr, &written)) {
        result.error = SystemMessage(::GetLastError());
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
        if (!Api().ReadFile(file.Get(), &result.bytes[got], static_cast<DWORD>(result.bytes.size() - got), &read,
                            nullptr)) {
            result.error = SystemMessage(::GetLastError());
            return result;
        }
        if (read == 0) break; // cut short while being read
        got += read;
    }
    result.bytes.resize(got);
    result.size = got;
    result.modified = UnixTime(written);
    result.ok = true;
    return result;
}

bool WindowsFiles::SameFile(const std::string& a, const std::string& b)
{
    // Both stay open while compared: a file's index is only sure to hold while it is open.
    const UniqueHandle first = OpenForIdentity(a);
    const UniqueHandle second = OpenForIdentity(b);
    BY_HANDLE_FILE_INFORMATION one{};
    BY_HANDLE_FILE_INFORMATION two{};
    return first.IsValid() && second.IsValid() && Api().GetFileInformationByHandle(first.Get(), &one) &&
           Api().GetFileInformationByHandle(second.Get(), &two) &&
           one.dwVolumeSerialNumber == two.dwVolumeSerialNumber && one.nFileIndexHigh == two.nFileIndexHigh &&
           one.nFileIndexLow == two.nFileIndexLow;
}

bool WindowsFiles::Write(const std::string& path, const std::function<void(ByteSink&)>& write, std::string& error)
{
    const std::wstring target = Wide(path);
    // Beside the page, so that the rename stays on one volume. The call makes the file empty.
    wchar_t temporaryPath[MAX_PATH];
    if (Api().GetTempFileNameW(FolderOf(path).c_str(), L"vrp", 0, temporaryPath) == 0) {
        error = SystemMessage(::GetLastError());
        return false;
    }
    TemporaryFile temporary(temporaryPath);
    UniqueHandle file(Api().CreateFileW(temporary.Path().c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) {
        error = SystemMessage(::GetLastError());
        return false;
    }
    FileSink sink(file.Get());
    write(sink);
    DWORD failure = sink.Failure();
    // Closed here rather than by the owner, which keeps the caller's last error: a failed
    // close may be data that never reached the disk, and its reason is wanted.
    if (!Api().CloseHandle(file.Release()) && failure == 0) failure = ::GetLastError();
    if (failure == 0 && !temporary.MoveTo(target)) failure = ::GetLastError();
    if (failure == 0) return true;
    error = SystemMessage(failure);
    return false;
}

} // namespace report
