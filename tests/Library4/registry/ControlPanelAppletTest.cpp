#include "Library4/Shell/ShellRegistry.h"

#include "tests/Library4/registry/RegistryTestSupport.h"
#include "tests/support/ApiFakes.h"
#include "tests/support/KnownPaths.h"
#include "tests/support/TempFiles.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>

namespace registrytest {

using Library4::Shell::OpenControlPanelApplet;

namespace {

// What the launcher asked CreateProcessW to do.
struct StartRequest {
    int calls = 0;
    std::wstring application;
    std::wstring commandLine;
    bool commandLineWritable = false;
    BOOL inheritHandles = TRUE;
    DWORD flags = 0xFFFFFFFF;
    bool ownEnvironmentAndFolder = false;
    DWORD startupSize = 0;
};

StartRequest request;
bool reallyStart = false;
// The test's own handle to a started process, so that it can be examined after the launcher has
// closed its handles, and ended.
HANDLE startedProcess = nullptr;
HANDLE launcherProcessHandle = nullptr;
HANDLE launcherThreadHandle = nullptr;
DWORD startedId = 0;

BOOL WINAPI RecordingCreateProcessW(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                                    LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD flags,
                                    LPVOID environment, LPCWSTR folder, LPSTARTUPINFOW startup,
                                    LPPROCESS_INFORMATION started)
{
    ++request.calls;
    request.application = application != nullptr ? application : L"<null>";
    request.commandLine = commandLine != nullptr ? commandLine : L"<null>";
    request.commandLineWritable = commandLine != nullptr;
    request.inheritHandles = inheritHandles;
    request.flags = flags;
    request.ownEnvironmentAndFolder =
        environment == nullptr && folder == nullptr && processAttributes == nullptr && threadAttributes == nullptr;
    request.startupSize = startup != nullptr ? startup->cb : 0;

    if (!reallyStart) {
        ::SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    const BOOL ok =
        testsupport::SystemApi().CreateProcessW(application, commandLine, processAttributes, threadAttributes,
                                                inheritHandles, flags, environment, folder, startup, started);
    if (ok) {
        launcherProcessHandle = started->hProcess;
        launcherThreadHandle = started->hThread;
        startedId = started->dwProcessId;
        ::DuplicateHandle(::GetCurrentProcess(), started->hProcess, ::GetCurrentProcess(), &startedProcess, 0, FALSE,
                          DUPLICATE_SAME_ACCESS);
    }
    return ok;
}

class ControlPanelApplet : public ::testing::Test {
protected:
    void SetUp() override
    {
        request = StartRequest{};
        reallyStart = false;
        startedProcess = nullptr;
        recorder_.Override()->CreateProcessW = &RecordingCreateProcessW;
    }

    void TearDown() override
    {
        if (startedProcess != nullptr) {
            ::TerminateProcess(startedProcess, 0);
            ::WaitForSingleObject(startedProcess, 10000);
            ::CloseHandle(startedProcess);
        }
    }

    ApiRecorder recorder_;
};

struct LineCase {
    const char* name;
    const wchar_t* appletFile;
    int index;
    int page;
    const wchar_t* expectedLine;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

const LineCase kLineCases[] = {
    {"Sample", L"sample.cpl", 0, 2, L"rundll32.exe shell32.dll,Control_RunDLL sample.cpl,@0,2"},
    {"NegativeNumbers", L"sample.cpl", -1, -7, L"rundll32.exe shell32.dll,Control_RunDLL sample.cpl,@-1,-7"},
    {"PathWithSpacesUnquoted", L"C:\\Program Files\\Vantrel\\desk top.cpl", 3, 0,
     L"rundll32.exe shell32.dll,Control_RunDLL C:\\Program Files\\Vantrel\\desk top.cpl,@3,0"},
    {"ExtremeNumbers", L"x.cpl", INT_MIN, INT_MAX,
     L"rundll32.exe shell32.dll,Control_RunDLL x.cpl,@-2147483648,2147483647"},
};

class ControlPanelCommandLine : public ControlPanelApplet, public ::testing::WithParamInterface<LineCase> {};

TEST_P(ControlPanelCommandLine, StartsTheSystemRundll32WithTheAppletLine)
{
    const LineCase& c = GetParam();
    EXPECT_EQ(0u, OpenControlPanelApplet(c.appletFile, c.index, c.page));

    ASSERT_EQ(1, request.calls);
    EXPECT_EQ(c.expectedLine, request.commandLine);
    EXPECT_EQ(testsupport::SystemFile(L"rundll32.exe"), request.application);
    EXPECT_TRUE(request.commandLineWritable);
    EXPECT_FALSE(request.inheritHandles);
    EXPECT_EQ(0u, request.flags);
    EXPECT_TRUE(request.ownEnvironmentAndFolder);
    EXPECT_EQ(sizeof(STARTUPINFOW), request.startupSize);
    if (sizeof(void*) == 4) {
        EXPECT_EQ(68u, request.startupSize);
    }
    // A failed start leaves nothing to close.
    EXPECT_TRUE(recorder_.ClosedHandles().empty());
}

INSTANTIATE_TEST_SUITE_P(Lines, ControlPanelCommandLine, ::testing::ValuesIn(kLineCases),
                         [](const ::testing::TestParamInfo<LineCase>& info) { return info.param.name; });

TEST_F(ControlPanelApplet, LineThatFillsTheBufferIsStartedAndOneLongerIsNot)
{
    // The line's buffer holds 259 characters and a terminator.
    const std::wstring fixedText = L"rundll32.exe shell32.dll,Control_RunDLL ,@0,2";
    const std::wstring fitting(259 - fixedText.size(), L'f');

    OpenControlPanelApplet(fitting.c_str(), 0, 2);
    ASSERT_EQ(1, request.calls);
    EXPECT_EQ(259u, request.commandLine.size());

    const std::wstring tooLong = fitting + L"g";
    EXPECT_EQ(0u, OpenControlPanelApplet(tooLong.c_str(), 0, 2));
    EXPECT_EQ(1, request.calls) << "a line that does not fit starts nothing";

    // A number that grows the line past the buffer counts as well.
    EXPECT_EQ(0u, OpenControlPanelApplet(fitting.c_str(), 10, 2));
    EXPECT_EQ(1, request.calls);
}

std::wstring ImagePath(HANDLE process)
{
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!::QueryFullProcessImageNameW(process, 0, path, &size)) return L"<unknown>";
    return path;
}

// Changes the current folder for one scope.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const std::wstring& folder)
    {
        ::GetCurrentDirectoryW(MAX_PATH, saved_);
        EXPECT_TRUE(::SetCurrentDirectoryW(folder.c_str()));
    }
    ~ScopedCurrentFolder() { ::SetCurrentDirectoryW(saved_); }
    ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
    ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

private:
    wchar_t saved_[MAX_PATH] = {};
};

TEST_F(ControlPanelApplet, RealStartReturnsTheProcessIdAndClosesBothHandles)
{
    // A rundll32.exe planted in the current folder, which a search by name would find first.
    const testsupport::TempFolder folder;
    const std::wstring planted = folder.File(L"rundll32.exe");
    const std::wstring system = testsupport::SystemFile(L"rundll32.exe");
    ASSERT_TRUE(::CopyFileW(system.c_str(), planted.c_str(), TRUE));

    DWORD processId = 0;
    {
        ScopedCurrentFolder current(folder.Path());
        reallyStart = true;
        processId = OpenControlPanelApplet(L"vantrel-no-such-applet.cpl", 0, 0);
    }

    ASSERT_NE(0u, processId);
    ASSERT_NE(nullptr, startedProcess);
    EXPECT_EQ(startedId, processId);
    EXPECT_EQ(processId, ::GetProcessId(startedProcess));
    EXPECT_EQ(0, ::lstrcmpiW(system.c_str(), ImagePath(startedProcess).c_str()))
        << "started " << ::testing::PrintToString(ImagePath(startedProcess));
    ASSERT_EQ(2u, recorder_.ClosedHandles().size());
    EXPECT_EQ(launcherThreadHandle, recorder_.ClosedHandles()[0]);
    EXPECT_EQ(launcherProcessHandle, recorder_.ClosedHandles()[1]);

    ::TerminateProcess(startedProcess, 0);
    ::WaitForSingleObject(startedProcess, 10000);
}

} // namespace

} // namespace registrytest
