#include "app/LogTool.h"

#include "app/LogPath.h"
#include "app/LogStream.h"
#include "app/RecordWriter.h"
#include "platform/SafeString.h"
#include "platform/Win32Api.h"

namespace app {

using vantrel::platform::Api;

namespace {

constexpr std::size_t kMessageChars = 1000;
const wchar_t kCaption[] = L"Vantrel";

int Report(const wchar_t* format, const wchar_t* path, UINT icon, int exitCode)
{
    wchar_t message[kMessageChars] = {};
    vantrel::platform::SafeStringCbPrintf(message, sizeof(message), format, path);
    Api().MessageBoxW(nullptr, message, kCaption, icon | MB_OK);
    return exitCode;
}

int ReportFailure(const wchar_t* path) { return Report(L"Failed to create log file %s.", path, MB_ICONWARNING, 1); }

} // namespace

int RunLogTool(HINSTANCE instance)
{
    wchar_t path[kLogPathChars] = {};
    // A module path that fills the whole room was cut (older systems and Wine do not even
    // terminate it): writing beside a cut path would write somewhere else.
    const DWORD length = Api().GetModuleFileNameW(instance, path, kLogPathChars);
    if (length == 0 || length >= kLogPathChars) {
        vantrel::platform::TerminateWithin(path, kLogPathChars, length);
        return ReportFailure(path);
    }
    if (!MakeLogPath(path)) return ReportFailure(path);

    LogStream stream(path);
    if (!stream.IsOpen()) return ReportFailure(path);
    // The writer returns FALSE only when it stopped on a failure, which the stream reports at
    // Close. Any other FALSE means the system could not list the windows (a desktop this process
    // may not enumerate, memory running out): the log is empty or cut though every write went
    // through.
    LogPass pass{stream, Library4::Shell::ReadTaskbarSettings()};
    const bool listed = Api().EnumWindows(&LogWindowProc, reinterpret_cast<LPARAM>(&pass)) != FALSE;
    // A failed or short write (a full disk), a failed close, a writer stopped by an exception
    // (memory running out) or a failed enumeration leaves a log cut somewhere, which would pass
    // for whole. This run created the file (emptying any earlier one), so removing it loses
    // nothing.
    if (!stream.Close() || !listed) {
        Api().DeleteFileW(path);
        return ReportFailure(path);
    }

    return Report(L"Log file '%s' has been created.", path, MB_ICONINFORMATION, 0);
}

} // namespace app
