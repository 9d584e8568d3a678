// The live snapshot through the platform table: what Wine cannot make (a hung window, another
// virtual desktop, monitors at different DPI) and each newer function missing, which reads as
// unknown and never fails the snapshot. One real window is the desktop's only one.
#undef WINVER
#undef _WIN32_WINNT
#define WINVER 0x0A00
#define _WIN32_WINNT 0x0A00

#include "platform/Win32Api.h"
#include "report/win32/LiveCollection.h"
#include "tests/support/ApiFakes.h"
#include "tests/support/DesktopManagerFake.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace livetest {

namespace {

using report::Known;

// What differs from an ordinary Windows 11 desktop, a bit each.
// clang-format off
enum Change : unsigned { kHung = 1, kOtherDesktop = 2, kTwoMonitors = 4, kNoDwm = 8, kNoCom = 16, kNoManager = 32,
                         kNoShcore = 64, kNoRtlGetVersion = 128, kAllDesktops = 256, kUncloaks = 512, kHidden = 1024,
                         kFarWorkArea = 2048 };
// clang-format on
unsigned changes = 0;
HWND theWindow = nullptr;
int apartments = 0; // joined and not yet left

// The fakes' own monitors, the second with a taskbar on top: their handles reach no real function.
const struct FakeMonitor {
    HMONITOR handle;
    RECT bounds, work;
    UINT dpi;
} kMonitors[] = {
    {reinterpret_cast<HMONITOR>(0x10001), {0, 0, 1920, 1080}, {60, 0, 1920, 1080}, 96},
    {reinterpret_cast<HMONITOR>(0x10003), {1920, 0, 3840, 1080}, {1920, 40, 3840, 1080}, 144},
};
std::size_t MonitorCount() { return (changes & kTwoMonitors) ? 2 : 1; }
const FakeMonitor& MonitorOf(HMONITOR handle) { return kMonitors[handle == kMonitors[0].handle ? 0 : 1]; }

BOOL WINAPI FakeEnumWindows(WNDENUMPROC visit, LPARAM parameter) { return visit(theWindow, parameter); }
BOOL WINAPI FakeIsHungAppWindow(HWND) { return (changes & kHung) != 0; }
HRESULT WINAPI FakeCoInitializeEx(LPVOID, DWORD)
{
    ++apartments;
    return S_OK;
}
void WINAPI FakeCoUninitialize() { --apartments; }
int cloakQueries = 0;
HRESULT WINAPI FakeDwmGetWindowAttribute(HWND, DWORD attribute, PVOID value, DWORD)
{
    if (attribute == DWMWA_EXTENDED_FRAME_BOUNDS) *static_cast<RECT*>(value) = {7, 0, 393, 293};
    if (attribute == DWMWA_CLOAKED) {
        // A window that its program uncloaks right after the first question.
        const bool byApp = (changes & kUncloaks) && cloakQueries++ == 0;
        *static_cast<DWORD*>(value) = (changes & kOtherDesktop) ? DWM_CLOAKED_SHELL : byApp ? DWM_CLOAKED_APP : 0;
    }
    return S_OK;
}
// The user has the taskbar show the windows of every desktop: Explorer's key, standing in for the
// one this prefix lacks, holds the value.
LSTATUS WINAPI FakeRegOpenKeyExW(HKEY root, LPCWSTR name, DWORD options, REGSAM access, PHKEY key)
{
    const bool advanced = std::wcsstr(name, L"Explorer\\Advanced") != nullptr;
    return testsupport::SystemApi().RegOpenKeyExW(root, (changes & kAllDesktops) && advanced ? L"Software" : name,
                                                  options, access, key);
}
LSTATUS WINAPI FakeRegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    if (!(changes & kAllDesktops) || std::wcscmp(name, L"VirtualDesktopTaskbarFilter") != 0)
        return testsupport::SystemApi().RegQueryValueExW(key, name, reserved, type, data, size);
    *type = REG_DWORD;
    *reinterpret_cast<DWORD*>(data) = 0;
    *size = sizeof(DWORD);
    return ERROR_SUCCESS;
}
BOOL WINAPI FakeEnumDisplayMonitors(HDC, LPCRECT, MONITORENUMPROC visit, LPARAM parameter)
{
    for (std::size_t i = 0; i < MonitorCount(); ++i) visit(kMonitors[i].handle, nullptr, nullptr, parameter);
    return TRUE;
}
BOOL WINAPI FakeGetMonitorInfoW(HMONITOR monitor, LPMONITORINFO info)
{
    if (info->cbSize != sizeof(MONITORINFOEXW)) return FALSE;
    info->rcMonitor = MonitorOf(monitor).bounds;
    info->rcWork = MonitorOf(monitor).work;
    // A work area as far from its monitor's corner as coordinates go.
    if (changes & kFarWorkArea) info->rcWork.left = INT32_MAX - 16;
    info->dwFlags = monitor == kMonitors[0].handle ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}
HMONITOR WINAPI FakeMonitorFromWindow(HWND, DWORD) { return kMonitors[MonitorCount() - 1].handle; }
HRESULT WINAPI FakeGetDpiForMonitor(HMONITOR monitor, MONITOR_DPI_TYPE, UINT* x, UINT* y)
{
    *x = *y = MonitorOf(monitor).dpi;
    return S_OK;
}
// The restored rectangle as the system gives it: relative to the work area.
BOOL WINAPI FakeGetWindowPlacement(HWND, WINDOWPLACEMENT* placement)
{
    placement->rcNormalPosition = {10, 20, 410, 320};
    return placement->length == sizeof(WINDOWPLACEMENT);
}
LONG NTAPI FakeRtlGetVersion(PRTL_OSVERSIONINFOW version)
{
    version->dwMajorVersion = 10;
    version->dwBuildNumber = 22631;
    return 0;
}
BOOL WINAPI FakeGetVersionExW(LPOSVERSIONINFOW version)
{
    *version = {version->dwOSVersionInfoSize, 6, 1, 7601, VER_PLATFORM_WIN32_NT, L"Service Pack 1"};
    return TRUE;
}

struct SeamCase {
    const char* what;
    unsigned changes;
    bool shown;
    std::optional<std::uint32_t> cloak;
    bool framed;
    Known onCurrentDesktop;
    bool hung;
    std::vector<std::optional<std::uint32_t>> dpis; // the window is on the last monitor
    report::Rect normal;
    const char* version;
};
// clang-format off
const SeamCase kCases[] = {
    {"ordinary", 0, true, 0, true, Known::Yes, false, {96}, {70, 20, 470, 320}, "Windows 10.0.22631"},
    {"hung", kHung, true, 0, true, Known::Yes, true, {96}, {70, 20, 470, 320}, "Windows 10.0.22631"},
    {"on another virtual desktop", kOtherDesktop, false, DWM_CLOAKED_SHELL, true, Known::No, false, {96},
     {70, 20, 470, 320}, "Windows 10.0.22631"},
    {"on the second of two monitors at different DPI", kTwoMonitors, true, 0, true, Known::Yes, false, {96, 144},
     {10, 60, 410, 360}, "Windows 10.0.22631"},
    {"no dwmapi", kNoDwm, true, {}, false, Known::Yes, false, {96}, {70, 20, 470, 320}, "Windows 10.0.22631"},
    {"no ole32", kNoCom, true, 0, true, Known::Unknown, false, {96}, {70, 20, 470, 320}, "Windows 10.0.22631"},
    {"no desktop manager", kNoManager, true, 0, true, Known::Unknown, false, {96}, {70, 20, 470, 320},
     "Windows 10.0.22631"},
    {"no shcore", kNoShcore, true, 0, true, Known::Yes, false, {{}}, {70, 20, 470, 320}, "Windows 10.0.22631"},
    {"no RtlGetVersion", kNoRtlGetVersion, true, 0, true, Known::Yes, false, {96}, {70, 20, 470, 320},
     "Windows 6.1.7601 Service Pack 1"},
    {"shown from another desktop", kOtherDesktop | kAllDesktops, true, DWM_CLOAKED_SHELL, true, Known::No, false, {96},
     {70, 20, 470, 320}, "Windows 10.0.22631"},
    {"uncloaked while asked", kUncloaks, false, DWM_CLOAKED_APP, true, Known::Yes, false, {96}, {70, 20, 470, 320},
     "Windows 10.0.22631"},
    {"the restored place past the last coordinate", kFarWorkArea, true, 0, true, Known::Yes, false, {96},
     {INT32_MAX - 6, 20, INT32_MAX, 320}, "Windows 10.0.22631"},
    {"hidden: no desktop asked", kHidden, false, 0, true, Known::Unknown, false, {96}, {70, 20, 470, 320},
     "Windows 10.0.22631"},
};
// clang-format on

} // namespace

TEST(LiveSnapshotThroughTheSeam, ReadsEachAnswerAndTakesWhatIsMissingAsUnknown)
{
    testsupport::TestWindow window({L"the only window"});
    theWindow = window.Get();
    for (const SeamCase& c : kCases) {
        SCOPED_TRACE(c.what);
        changes = c.changes;
        cloakQueries = 0;
        ::ShowWindow(theWindow, (changes & kHidden) ? SW_HIDE : SW_SHOWNOACTIVATE);
        vantrel::platform::ScopedApiOverride api;
        api->RegOpenKeyExW = &FakeRegOpenKeyExW;
        api->RegQueryValueExW = &FakeRegQueryValueExW;
        api->EnumWindows = &FakeEnumWindows;
        api->IsHungAppWindow = &FakeIsHungAppWindow;
        api->CoInitializeEx = (changes & kNoCom) ? nullptr : &FakeCoInitializeEx;
        api->CoUninitialize = (changes & kNoCom) ? nullptr : &FakeCoUninitialize;
        api->CoCreateInstance = (changes & (kNoCom | kNoManager)) ? nullptr : &testsupport::FakeCoCreateInstance;
        testsupport::Desktops().window = theWindow;
        testsupport::Desktops().onCurrent = (changes & kOtherDesktop) == 0;
        api->DwmGetWindowAttribute = (changes & kNoDwm) ? nullptr : &FakeDwmGetWindowAttribute;
        api->EnumDisplayMonitors = &FakeEnumDisplayMonitors;
        api->GetMonitorInfoW = &FakeGetMonitorInfoW;
        api->MonitorFromWindow = &FakeMonitorFromWindow;
        api->GetDpiForMonitor = (changes & kNoShcore) ? nullptr : &FakeGetDpiForMonitor;
        api->GetWindowPlacement = &FakeGetWindowPlacement;
        api->RtlGetVersion = (changes & kNoRtlGetVersion) ? nullptr : &FakeRtlGetVersion;
        api->GetVersionExW = &FakeGetVersionExW;

        const report::LiveSnapshot snapshot = report::TakeSnapshot();

        ASSERT_EQ(1u, snapshot.windows.size());
        const report::LiveWindow& live = snapshot.windows[0];
        EXPECT_EQ(c.shown, live.shown);
        EXPECT_EQ(c.cloak, live.cloak);
        EXPECT_EQ(c.framed, (live.frame == report::Rect{7, 0, 393, 293}));
        EXPECT_EQ(c.onCurrentDesktop, live.onCurrentDesktop);
        EXPECT_EQ(c.hung, live.hung);
        ASSERT_EQ(c.dpis.size(), snapshot.monitors.size());
        for (std::size_t i = 0; i < c.dpis.size(); ++i) EXPECT_EQ(c.dpis[i], snapshot.monitors[i].dpi) << i;
        EXPECT_EQ(c.dpis.size() - 1, live.monitor.value_or(99));
        EXPECT_TRUE(c.normal == live.normal);
        EXPECT_EQ(c.version, snapshot.windowsVersion);
        if (changes & kAllDesktops) {
            EXPECT_EQ(0u, snapshot.taskbar.virtualDesktopFilter);
        }
        // COM is left as it was found, and the manager given back.
        EXPECT_EQ(0, apartments);
        EXPECT_EQ(0u, testsupport::Desktops().references);
    }
}

} // namespace livetest
