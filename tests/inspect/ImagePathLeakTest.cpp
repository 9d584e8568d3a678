// Every strategy of the image-path look-up, run a thousand times over: the handles, GDI and USER
// objects of the process must be where they were, and every run must still give the right path.
// Each look-up of the table is a test case of its own: a thousand snapshots take tens of seconds
// under Wine.
#include "inspect/ProcessImagePath.h"

#include "platform/Win32Api.h"
#include "tests/inspect/ImagePathTestSupport.h"
#include "tests/support/ApiFakes.h"
#include "tests/support/GuardedBuffer.h"
#include "tests/support/HelperProcess.h"
#include "tests/support/KnownPaths.h"
#include "tests/support/ResourceCount.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace inspecttest {

using inspect::GetProcessImagePath;
using inspect::GetWindowProcessImagePath;
using inspect::GetProcessImagePathFromSnapshot;

using namespace inspecttest;
using testsupport::ExpectNoResourceLeak;

namespace {

constexpr int kIterations = 1000;
constexpr int kRoom = 260;
constexpr int kSmallRoom = 12;

// No process has this id: process ids are small multiples of four, handed out from the bottom.
constexpr DWORD kNoSuchProcess = 0x7FFFFFF0;

// What a look-up is pointed at: the helper process and its window, or this process and a window
// of it that is gone.
struct Target {
    DWORD processId;
    HWND window;
};

struct LookUp {
    const char* id;
    bool otherProcess;                  // a helper process is the target
    void (*arrange)(ProcessImagePath&); // the seam's state; null: as it is
    bool (*run)(const Target&, wchar_t* out, int capacity);
    int capacity;
    std::wstring (*expected)(const std::wstring& ownPath); // empty: the look-up must fail
};

void PrintTo(const LookUp& lookUp, std::ostream* out) { *out << lookUp.id; }

void AsTheSystemIs(ProcessImagePath&) {}
void NoQueryByFullName(ProcessImagePath& fixture) { fixture.api->QueryFullProcessImageNameW = nullptr; }
void NeitherQuery(ProcessImagePath& fixture)
{
    NoQueryByFullName(fixture);
    fixture.api->GetModuleFileNameExW = nullptr;
}
void NoPsapi(ProcessImagePath& fixture)
{
    NoQueryByFullName(fixture);
    refusedLibrarySuffix = L"\\psapi.dll";
}
void VirtualDosMachine(ProcessImagePath& fixture)
{
    fixture.PretendVirtualDosMachine();
    tasks = {{111, "C:\\APPS\\ONE.EXE"}, {222, "C:\\APPS\\TWO.EXE"}};
}
void VirtualDosMachineSeenByPsapi(ProcessImagePath& fixture)
{
    VirtualDosMachine(fixture);
    fixture.api->QueryFullProcessImageNameW = nullptr;
    fixture.api->GetModuleFileNameExW = &VdmGetModuleFileNameExW;
}
void VirtualDosMachineWithoutTaskList(ProcessImagePath& fixture)
{
    VirtualDosMachine(fixture);
    fixture.api->VDMEnumTaskWOWEx = nullptr;
}

bool ByWindow(const Target& target, wchar_t* out, int capacity)
{
    return GetWindowProcessImagePath(target.window, out, capacity);
}
bool ById(const Target& target, wchar_t* out, int capacity)
{
    return GetProcessImagePath(target.processId, 0, out, capacity);
}
bool BySnapshotAlone(const Target& target, wchar_t* out, int capacity)
{
    return GetProcessImagePathFromSnapshot(target.processId, out, capacity);
}
template <DWORD thread>
bool OfThread(const Target& target, wchar_t* out, int capacity)
{
    return GetProcessImagePath(target.processId, thread, out, capacity);
}
bool OfNoSuchProcess(const Target&, wchar_t* out, int capacity)
{
    return GetProcessImagePath(kNoSuchProcess, 0, out, capacity);
}
bool ByNullWindow(const Target&, wchar_t* out, int capacity)
{
    return GetWindowProcessImagePath(nullptr, out, capacity);
}

std::wstring OwnPath(const std::wstring& own) { return own; }
std::wstring OwnPathCut(const std::wstring& own) { return own.substr(0, kSmallRoom - 1); }
std::wstring Nothing(const std::wstring&) { return L""; }
std::wstring TaskOne(const std::wstring&) { return L"C:\\APPS\\ONE.EXE"; }
std::wstring TaskTwo(const std::wstring&) { return L"C:\\APPS\\TWO.EXE"; }
std::wstring TheMachineItself(const std::wstring&) { return reportedImage; }

const LookUp kLookUps[] = {
    // Strategy A, the system's full-name query, against another process.
    {"A_ByWindow", true, &AsTheSystemIs, &ByWindow, kRoom, &OwnPath},
    {"A_ById", true, &AsTheSystemIs, &ById, kRoom, &OwnPath},
    {"A_CutToASmallRoom", true, &AsTheSystemIs, &ById, kSmallRoom, &OwnPathCut},
    // Strategy B, psapi, loaded and let go each time.
    {"B_ByWindow", true, &NoQueryByFullName, &ByWindow, kRoom, &OwnPath},
    {"B_CutToASmallRoom", true, &NoQueryByFullName, &ById, kSmallRoom, &OwnPathCut},
    // Strategy C, the tool-help snapshots, of another process and of this one.
    {"C_ThroughTheModuleList", true, &NeitherQuery, &ByWindow, kRoom, &OwnPath},
    {"C_SnapshotAloneOfThisProcess", false, &AsTheSystemIs, &BySnapshotAlone, kRoom, &OwnPath},
    // The 16-bit tasks of a virtual DOS machine, through the fake task list.
    {"Wow_TaskOfTheThreadAfterA", false, &VirtualDosMachine, &OfThread<222>, kRoom, &TaskTwo},
    {"Wow_TaskOfTheThreadAfterB", false, &VirtualDosMachineSeenByPsapi, &OfThread<111>, kRoom, &TaskOne},
    {"Wow_NoTaskOfTheThread", false, &VirtualDosMachine, &OfThread<333>, kRoom, &TheMachineItself},
    {"Wow_NoTaskList", false, &VirtualDosMachineWithoutTaskList, &OfThread<111>, kRoom, &TheMachineItself},
    // Failures: nothing found, nothing kept.
    {"Fail_A_ProcessCannotBeOpened", false, &AsTheSystemIs, &OfNoSuchProcess, kRoom, &Nothing},
    {"Fail_B_ProcessCannotBeOpened", false, &NoQueryByFullName, &OfNoSuchProcess, kRoom, &Nothing},
    {"Fail_B_PsapiCannotBeLoaded", false, &NoPsapi, &ById, kRoom, &Nothing},
    {"Fail_C_ProcessNotInTheSnapshot", false, &NeitherQuery, &OfNoSuchProcess, kRoom, &Nothing},
    {"Fail_NullWindow", false, &AsTheSystemIs, &ByNullWindow, kRoom, &Nothing},
    {"Fail_WindowThatIsGone", false, &AsTheSystemIs, &ByWindow, kRoom, &Nothing},
};

class ImagePathLeak : public ProcessImagePath, public ::testing::WithParamInterface<LookUp> {};

} // namespace

TEST_P(ImagePathLeak, GivesBackWhatItTakesAndStaysRight)
{
    const LookUp& lookUp = GetParam();
    std::unique_ptr<testsupport::HelperProcess> helper;
    Target target{::GetCurrentProcessId(), nullptr};
    if (lookUp.otherProcess) {
        helper = std::make_unique<testsupport::HelperProcess>(kOneWindowHelper);
        target = Target{helper->ProcessId(), testsupport::FindWindowByTitle(helper->ProcessId(), kOneWindowTitle)};
        ASSERT_NE(nullptr, target.window);
    } else {
        testsupport::TestWindow gone({L"gone", WS_OVERLAPPEDWINDOW});
        target.window = gone.Get();
    }
    const std::wstring expected = lookUp.expected(testsupport::OwnExecutablePath());
    lookUp.arrange(*this);

    // Every run is checked, so that a look-up that starts failing after many runs (a table
    // filling up) shows as well as one that leaks.
    int runs = 0;
    int wrong = 0;
    testsupport::GuardedBuffer out(lookUp.capacity);
    ExpectNoResourceLeak(
        [&] {
            ++runs;
            const bool found = lookUp.run(target, out.Get(), lookUp.capacity);
            const bool right =
                expected.empty() ? !found && out.data[0] == L'\0' : found && SamePath(expected, out.Get());
            if (!right || !out.GuardIntact()) ++wrong;
        },
        kIterations);
    EXPECT_EQ(kIterations + 1, runs);
    EXPECT_EQ(0, wrong) << "last answer: \"" << out.Text() << "\"";
}

INSTANTIATE_TEST_SUITE_P(EveryStrategy, ImagePathLeak, ::testing::ValuesIn(kLookUps),
                         [](const ::testing::TestParamInfo<LookUp>& info) { return std::string(info.param.id); });

namespace {

// Opens every process twice and keeps one of the handles: the fault the loops are there to catch.
std::vector<HANDLE> keptProcesses;

HANDLE WINAPI OpenProcessAndKeepACopy(DWORD access, BOOL inherit, DWORD processId)
{
    const HANDLE kept = testsupport::SystemApi().OpenProcess(access, inherit, processId);
    if (kept != nullptr) keptProcesses.push_back(kept);
    return testsupport::SystemApi().OpenProcess(access, inherit, processId);
}

void LookUpThisProcess()
{
    wchar_t out[kRoom];
    GetProcessImagePath(::GetCurrentProcessId(), 0, out, kRoom);
}

} // namespace

TEST_F(ProcessImagePath, TheLeakLoopCatchesALookUpThatKeepsAProcessHandle)
{
    const int iterations = 50;
    for (bool psapi : {false, true}) {
        SCOPED_TRACE(psapi ? "B" : "A");
        vantrel::platform::ScopedApiOverride strategy;
        if (psapi) strategy->QueryFullProcessImageNameW = nullptr;
        // What a first run loads, and what counting loads (the window system's connection).
        LookUpThisProcess();
        testsupport::CountProcessResources();
        const DWORD handlesBefore = testsupport::ProcessHandleCount();

        keptProcesses.clear();
        testsupport::ExpectLeakReported([](auto& api) { api->OpenProcess = &OpenProcessAndKeepACopy; },
                                        [&] { ExpectNoResourceLeak(&LookUpThisProcess, iterations); }, "more runs");

        // The counter saw each kept handle, and nothing else.
        EXPECT_EQ(static_cast<std::size_t>(iterations + 1), keptProcesses.size());
        EXPECT_EQ(handlesBefore + keptProcesses.size(), testsupport::ProcessHandleCount());
        for (HANDLE process : keptProcesses) ::CloseHandle(process);
        EXPECT_EQ(handlesBefore, testsupport::ProcessHandleCount());

        // The same look-up without the fault passes the same loop.
        ExpectNoResourceLeak(&LookUpThisProcess, iterations);
    }
}

} // namespace inspecttest
