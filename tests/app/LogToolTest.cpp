// The whole run in this process, with the module path, the window enumeration and the message
// box replaced through the platform seam.
#include "app/LogTool.h"

#include "platform/Win32Api.h"
#include "tests/support/ApiFakes.h"
#include "tests/support/TempFiles.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

namespace apptest {

using app::RunLogTool;

using testsupport::ReadBytes;
using testsupport::TempFolder;

namespace {

std::wstring modulePath; // what the fake GetModuleFileNameW reports
std::wstring logToCheck; // the log whose state the fake message box records
struct ShownBox {
    std::wstring text;
    std::wstring caption;
    UINT flags;
    bool logClosed;
    bool logPresent;
};
std::vector<ShownBox> shownBoxes;
int classNameCalls = 0;

// Copies like the system: at most size characters, and no terminator when the path is cut.
DWORD WINAPI FakeGetModuleFileNameW(HMODULE, LPWSTR out, DWORD size)
{
    const DWORD length = static_cast<DWORD>(modulePath.size());
    const DWORD copied = length < size ? length : size;
    std::copy(modulePath.c_str(), modulePath.c_str() + copied, out);
    if (copied < size) out[copied] = L'\0';
    return copied;
}

int WINAPI RecordingMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT flags)
{
    EXPECT_EQ(nullptr, owner);
    // The log must be complete on disk while the box is up: nobody may still hold it open.
    HANDLE exclusive = ::CreateFileW(logToCheck.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const bool closed = exclusive != INVALID_HANDLE_VALUE;
    if (closed) ::CloseHandle(exclusive);
    const bool present = ::GetFileAttributesW(logToCheck.c_str()) != INVALID_FILE_ATTRIBUTES;
    shownBoxes.push_back({text, caption, flags, closed, present});
    return IDOK;
}

int WINAPI ThrowingGetClassNameW(HWND, LPWSTR, int)
{
    ++classNameCalls;
    throw std::bad_alloc();
}

struct LogTool : ::testing::Test {
    LogTool()
    {
        api->GetModuleFileNameW = &FakeGetModuleFileNameW;
        api->MessageBoxW = &RecordingMessageBoxW;
        shownBoxes.clear();
        classNameCalls = 0;
    }

    vantrel::platform::ScopedApiOverride api;
    TempFolder folder;
};

} // namespace

TEST_F(LogTool, WritesTheLogBesideTheProgramThenSaysSo)
{
    testsupport::TestWindow window({L"logged by the run", WS_OVERLAPPEDWINDOW | WS_VISIBLE});
    modulePath = folder.File(L"prog.v2.exe");
    logToCheck = folder.File(L"prog.v2.txt");

    EXPECT_EQ(0, RunLogTool(nullptr));

    ASSERT_EQ(1u, shownBoxes.size());
    EXPECT_EQ(L"Log file '" + logToCheck + L"' has been created.", shownBoxes[0].text);
    EXPECT_EQ(L"Vantrel", shownBoxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION | MB_OK), shownBoxes[0].flags);
    EXPECT_TRUE(shownBoxes[0].logClosed);
    EXPECT_NE(std::string::npos, ReadBytes(logToCheck).find("title=\"logged by the run\""));
}

TEST_F(LogTool, AModulePathThatFillsTheWholeRoomCreatesNoFile)
{
    // 260 characters: the system cuts it (without a terminator on older systems and Wine).
    const std::wstring base = folder.Path() + L"\\";
    modulePath = base + std::wstring(260 - base.size() - 4, L'p') + L".exe";
    ASSERT_EQ(260u, modulePath.size());
    logToCheck = modulePath;

    EXPECT_EQ(1, RunLogTool(nullptr));

    ASSERT_EQ(1u, shownBoxes.size());
    EXPECT_EQ(L"Failed to create log file " + modulePath.substr(0, 259) + L".", shownBoxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING | MB_OK), shownBoxes[0].flags);
    // Neither the cut name's log nor anything else may have been created.
    EXPECT_TRUE(folder.Files().empty());
}

TEST_F(LogTool, ALogPathThatNoLongerFitsCreatesNoFile)
{
    // The file name has no extension, so ".txt" makes the 258-character path too long.
    const std::wstring base = folder.Path() + L"\\";
    modulePath = base + std::wstring(258 - base.size(), L'q');
    logToCheck = modulePath;

    EXPECT_EQ(1, RunLogTool(nullptr));

    ASSERT_EQ(1u, shownBoxes.size());
    EXPECT_EQ(0u, shownBoxes[0].text.find(L"Failed to create log file " + modulePath));
    EXPECT_TRUE(folder.Files().empty());
}

TEST_F(LogTool, ALogThatCannotBeCreatedIsReportedAndLeftAlone)
{
    modulePath = folder.File(L"held.exe");
    logToCheck = folder.File(L"held.txt");
    testsupport::WriteBytes(logToCheck, "someone else's");
    HANDLE holder = ::CreateFileW(logToCheck.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);

    EXPECT_EQ(1, RunLogTool(nullptr));
    ::CloseHandle(holder);

    ASSERT_EQ(1u, shownBoxes.size());
    EXPECT_EQ(L"Failed to create log file " + logToCheck + L".", shownBoxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING | MB_OK), shownBoxes[0].flags);
    EXPECT_EQ("someone else's", ReadBytes(logToCheck));
}

TEST_F(LogTool, AWriterStoppedByAnExceptionEndsTheEnumerationAndIsReported)
{
    testsupport::TestWindow first({L"first", WS_OVERLAPPEDWINDOW | WS_VISIBLE});
    testsupport::TestWindow second({L"second", WS_OVERLAPPEDWINDOW | WS_VISIBLE});
    api->GetClassNameW = &ThrowingGetClassNameW;
    modulePath = folder.File(L"prog.exe");
    logToCheck = folder.File(L"prog.txt");

    EXPECT_EQ(1, RunLogTool(nullptr));

    EXPECT_EQ(1, classNameCalls); // the enumeration stopped at the first failure
    ASSERT_EQ(1u, shownBoxes.size());
    EXPECT_EQ(L"Failed to create log file " + logToCheck + L".", shownBoxes[0].text);
    EXPECT_TRUE(folder.Files().empty()); // no cut log is left behind
}

namespace {

// How the file system lets the log down, and at which WriteFile call (from 1); or how the
// window system fails to list the windows, after how many of them.
enum class Fault { WriteFails, WriteFallsShort, CloseFails, EnumerationFails };
struct WriteFaultCase {
    const char* name;
    Fault fault;
    int call;
};

WriteFaultCase activeFault;
HANDLE logHandle = nullptr;
int writeCalls = 0;

HANDLE WINAPI RememberingCreateFileW(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                     DWORD disposition, DWORD flags, HANDLE templateFile)
{
    logHandle = testsupport::SystemApi().CreateFileW(path, access, share, security, disposition, flags, templateFile);
    return logHandle;
}

// Writes for real until the chosen call, which fails as a full disk does or writes only half.
BOOL WINAPI FaultyWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped)
{
    ++writeCalls;
    if (writeCalls == activeFault.call && activeFault.fault == Fault::WriteFails) {
        *written = 0;
        ::SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    if (writeCalls == activeFault.call && activeFault.fault == Fault::WriteFallsShort) size /= 2;
    return testsupport::SystemApi().WriteFile(file, data, size, written, overlapped);
}

// Lists windows for real until the chosen number, then fails as a desktop that may not be
// enumerated or a failed allocation does: the writer itself never asked to stop.
WNDENUMPROC writer = nullptr;
int windowsListed = 0;
BOOL CALLBACK StoppingEnumProc(HWND hwnd, LPARAM lParam)
{
    if (windowsListed++ == activeFault.call) return FALSE;
    return writer(hwnd, lParam);
}
BOOL WINAPI FailingEnumWindows(WNDENUMPROC proc, LPARAM lParam)
{
    writer = proc;
    windowsListed = 0;
    if (activeFault.call > 0) testsupport::SystemApi().EnumWindows(&StoppingEnumProc, lParam);
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
}

// Closes for real, then says the close failed, for the log's handle only.
BOOL WINAPI FaultyCloseHandle(HANDLE handle)
{
    const BOOL closed = testsupport::SystemApi().CloseHandle(handle);
    if (handle != logHandle || activeFault.fault != Fault::CloseFails) return closed;
    ::SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

const WriteFaultCase kWriteFaults[] = {
    {"FirstBlockFails", Fault::WriteFails, 1},
    {"MiddleBlockFails", Fault::WriteFails, 2},
    {"MiddleBlockFallsShort", Fault::WriteFallsShort, 2},
    {"CloseFails", Fault::CloseFails, 0},
    {"EnumerationFailsAtOnce", Fault::EnumerationFails, 0},
    {"EnumerationFailsAfterSomeRecords", Fault::EnumerationFails, 30},
};

struct WriteFault : LogTool, ::testing::WithParamInterface<WriteFaultCase> {};

} // namespace

TEST_P(WriteFault, ALogNotWrittenWholeIsReportedAndRemoved)
{
    activeFault = GetParam();
    logHandle = nullptr;
    writeCalls = 0;
    api->CreateFileW = &RememberingCreateFileW;
    api->WriteFile = &FaultyWriteFile;
    api->CloseHandle = &FaultyCloseHandle;
    if (activeFault.fault == Fault::EnumerationFails) api->EnumWindows = &FailingEnumWindows;
    // Records of about 450 bytes each, so the log spans several 4096-byte blocks.
    std::vector<std::unique_ptr<testsupport::TestWindow>> windows;
    for (int i = 0; i < 36; ++i)
        windows.push_back(std::make_unique<testsupport::TestWindow>(
            testsupport::WindowOptions{L"window " + std::to_wstring(i) + L" " + std::wstring(250, L'w')}));
    modulePath = folder.File(L"prog.exe");
    logToCheck = folder.File(L"prog.txt");

    EXPECT_EQ(1, RunLogTool(nullptr));

    if (activeFault.fault == Fault::CloseFails) {
        EXPECT_GE(writeCalls, 3); // so the second block is a middle one
    } else if (activeFault.fault == Fault::EnumerationFails) {
        EXPECT_EQ(activeFault.call > 0, writeCalls > 0) << "records reached the file before the failure";
    } else {
        EXPECT_EQ(activeFault.call, writeCalls) << "writing went on after the first failure";
    }
    ASSERT_EQ(1u, shownBoxes.size());
    EXPECT_EQ(L"Failed to create log file " + logToCheck + L".", shownBoxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING | MB_OK), shownBoxes[0].flags);
    EXPECT_FALSE(shownBoxes[0].logPresent) << "the box appeared before the cut log was removed";
    EXPECT_TRUE(folder.Files().empty()) << "a cut log was left behind";
}

INSTANTIATE_TEST_SUITE_P(LogTool, WriteFault, ::testing::ValuesIn(kWriteFaults),
                         [](const ::testing::TestParamInfo<WriteFaultCase>& info) { return info.param.name; });

} // namespace apptest
