#include "report/win32/LiveCollection.h"

#include "Library4/Shell/ShellWindows.h"
#include "inspect/WindowRecord.h"
#include "platform/GuardedEnumeration.h"
#include "platform/RuntimeFunction.h"
#include "platform/VirtualDesktops.h"
#include "platform/Win32Api.h"
#include "report/analysis/Owners.h"
#include "report/text/Numbers.h"
#include "report/win32/UnixTime.h"
#include "report/win32/WideText.h"

#include <algorithm>
#include <cstdint>
#include <exception>

namespace report {

namespace {

using vantrel::platform::Api;
using vantrel::platform::Find;
using vantrel::platform::Win32Api;

// As the log writes text: each UTF-16 unit by the tool's own rule for a single byte.
std::string LoggedText(const wchar_t* text)
{
    std::string bytes;
    for (; *text != L'\0'; ++text) bytes += inspect::LoggedByte(static_cast<std::uint16_t>(*text));
    return bytes;
}

// As the log writes a handle: its low 32 bits, which are all a window handle uses.
std::uint32_t HandleValue(HWND hwnd) { return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(hwnd)); }

Rect RectOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

LoggedWindow LoggedWindowOf(const inspect::WindowRecord& raw)
{
    LoggedWindow record;
    record.hwnd = HandleValue(raw.hwnd);
    record.exe = LoggedText(raw.exe);
    record.title = LoggedText(raw.title);
    record.className = LoggedText(raw.className);
    record.atom = raw.atom;
    record.style = raw.style;
    record.exStyle = raw.exStyle;
    record.parent = HandleValue(raw.parent);
    record.owner = HandleValue(raw.owner);
    record.getParent = HandleValue(raw.getParent);
    record.window = RectOf(raw.window);
    record.client = RectOf(raw.client);
    record.maximized = raw.maximized != 0;
    record.minimized = raw.minimized != 0;
    return record;
}

TaskbarRule RuleOf(Library4::Shell::TaskbarRule rule)
{
    using Module = Library4::Shell::TaskbarRule;
    switch (rule) {
    case Module::AppWindow: return TaskbarRule::AppWindow;
    case Module::Unowned: return TaskbarRule::Unowned;
    case Module::Gone: return TaskbarRule::Gone;
    case Module::Hidden: return TaskbarRule::Hidden;
    case Module::NotTopLevel: return TaskbarRule::NotTopLevel;
    case Module::ToolWindow: return TaskbarRule::ToolWindow;
    case Module::NoActivate: return TaskbarRule::NoActivate;
    case Module::Owned: return TaskbarRule::Owned;
    case Module::Ghost: return TaskbarRule::Ghost;
    case Module::ShellDesktop: return TaskbarRule::ShellDesktop;
    case Module::Cloaked: return TaskbarRule::Cloaked;
    case Module::RemovedByProgram: return TaskbarRule::RemovedByProgram;
    case Module::OnAnotherDesktop: return TaskbarRule::OnAnotherDesktop;
    }
    return TaskbarRule::Gone;
}

std::optional<std::uint32_t> DpiOf(HMONITOR monitor)
{
    const auto getDpi = Find<&Win32Api::GetDpiForMonitor>();
    UINT x = 0, y = 0;
    if (!getDpi || FAILED(getDpi(monitor, MDT_EFFECTIVE_DPI, &x, &y))) return std::nullopt;
    return x;
}

// The snapshot's monitors, and beside them their handles, to find a window's monitor among them.
struct Monitors {
    std::vector<LiveMonitor>& list;
    std::vector<HMONITOR> handles;
    std::exception_ptr failure;

    std::optional<std::size_t> IndexOf(HMONITOR monitor) const
    {
        for (std::size_t i = 0; i < handles.size(); ++i) {
            if (handles[i] == monitor) return i;
        }
        return std::nullopt;
    }
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM parameter)
{
    auto& monitors = *reinterpret_cast<Monitors*>(parameter);
    return vantrel::platform::GuardCallback(monitors.failure, [&] {
        MONITORINFOEXW info{};
        info.cbSize = sizeof(info);
        if (!Api().GetMonitorInfoW(monitor, &info)) return TRUE;
        LiveMonitor live;
        live.bounds = RectOf(info.rcMonitor);
        live.work = RectOf(info.rcWork);
        live.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
        live.device = Utf8(info.szDevice);
        live.dpi = DpiOf(monitor);
        monitors.list.push_back(std::move(live));
        monitors.handles.push_back(monitor);
        return TRUE;
    });
}

// The verdict's own reading where it made one, so that the two cannot disagree; else the same reader.
std::optional<std::uint32_t> CloakOf(HWND hwnd, const Library4::Shell::TaskbarVerdict& verdict)
{
    using Library4::Shell::CloakQuery;
    if (verdict.cloakQuery == CloakQuery::Answered) return verdict.cloak;
    DWORD cloak = 0;
    if (verdict.cloakQuery == CloakQuery::Unknown || !Library4::Shell::GetWindowCloak(hwnd, &cloak))
        return std::nullopt;
    return cloak;
}

std::optional<Rect> FrameOf(HWND hwnd)
{
    const auto getAttribute = Find<&Win32Api::DwmGetWindowAttribute>();
    RECT frame{};
    if (!getAttribute || FAILED(getAttribute(hwnd, DWMWA_EXTENDED_FRAME_BOUNDS, &frame, sizeof(frame))))
        return std::nullopt;
    return RectOf(frame);
}

// The restored rectangle in screen coordinates (see TakeSnapshot).
Rect NormalPosition(HWND hwnd, const inspect::WindowRecord& raw, std::optional<std::size_t> monitor,
                    const std::vector<LiveMonitor>& monitors)
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!Api().GetWindowPlacement(hwnd, &placement)) return RectOf(raw.window);
    Rect normal = RectOf(placement.rcNormalPosition);
    if ((raw.exStyle & WS_EX_TOOLWINDOW) != 0) return normal;
    const auto primary = std::find_if(monitors.begin(), monitors.end(), [](const LiveMonitor& m) { return m.primary; });
    const LiveMonitor* workspace = monitor ? &monitors[*monitor] : nullptr;
    if (workspace == nullptr && primary != monitors.end()) workspace = &*primary;
    if (workspace == nullptr) return normal;
    // In 64 bits: a work area far from its monitor's corner must not wrap a coordinate around.
    const std::int64_t dx = std::int64_t{workspace->work.left} - workspace->bounds.left;
    const std::int64_t dy = std::int64_t{workspace->work.top} - workspace->bounds.top;
    const auto shifted = [](std::int32_t value, std::int64_t by) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(value + by, INT32_MIN, INT32_MAX));
    };
    return {shifted(normal.left, dx), shifted(normal.top, dy), shifted(normal.right, dx), shifted(normal.bottom, dy)};
}

struct Pass {
    LiveSnapshot& snapshot;
    const Monitors& monitors;
    const Library4::Shell::TaskbarSettings& settings;
    std::vector<HWND> handles;
    std::vector<HWND> owners; // each window's, as its record read it
    std::exception_ptr failure;
};

// The log's decision and record first, in the log's order, then what only the explanation asks.
BOOL CALLBACK AddWindow(HWND hwnd, LPARAM parameter)
{
    auto& pass = *reinterpret_cast<Pass*>(parameter);
    return vantrel::platform::GuardCallback(pass.failure, [&] {
        LiveWindow live;
        const Library4::Shell::TaskbarVerdict verdict = Library4::Shell::ExplainTaskbarWindow(hwnd, pass.settings);
        live.shown = verdict.shown;
        live.rule = RuleOf(verdict.rule);
        inspect::WindowRecord raw;
        inspect::ReadWindowRecord(hwnd, raw);
        live.record = LoggedWindowOf(raw);
        live.cloak = CloakOf(hwnd, verdict);
        live.hung = Api().IsHungAppWindow(hwnd) != FALSE;
        live.monitor = pass.monitors.IndexOf(Api().MonitorFromWindow(hwnd, MONITOR_DEFAULTTONULL));
        live.normal = NormalPosition(hwnd, raw, live.monitor, pass.snapshot.monitors);
        live.frame = FrameOf(hwnd);
        pass.snapshot.windows.push_back(std::move(live));
        pass.handles.push_back(hwnd);
        pass.owners.push_back(raw.owner);
        return TRUE;
    });
}

// Owned windows lie above their owners in z-order, so owners are found once the pass is done. An
// owner that is not among the windows (made after the pass went by) is asked about by itself.
void FindOwners(LiveSnapshot& snapshot, const std::vector<HWND>& owners,
                const Library4::Shell::TaskbarSettings& settings)
{
    std::vector<LiveWindow>& windows = snapshot.windows;
    const std::vector<std::optional<std::size_t>> among =
        OwnersAmong(windows, [](const LiveWindow& w) -> const LoggedWindow& { return w.record; });
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (owners[i] == nullptr) continue;
        windows[i].owner = among[i];
        windows[i].ownerShown =
            among[i] ? windows[*among[i]].shown : Library4::Shell::IsTaskbarWindow(owners[i], settings);
    }
}

// A cross-process call for each window, so made once the pass is done (not inside the window
// system's enumeration), and only for the windows that show: a hidden one is on no desktop's screen.
void AskDesktops(LiveSnapshot& snapshot, const std::vector<HWND>& handles)
{
    const vantrel::platform::VirtualDesktops desktops;
    for (std::size_t i = 0; i < handles.size(); ++i) {
        LiveWindow& w = snapshot.windows[i];
        if (!IsVisible(w)) continue;
        const std::optional<bool> onCurrent = desktops.IsOnCurrent(handles[i]);
        w.onCurrentDesktop = !onCurrent ? Known::Unknown : *onCurrent ? Known::Yes : Known::No;
    }
}

std::string WindowsVersion()
{
    RTL_OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    const auto getVersion = Find<&Win32Api::RtlGetVersion>();
    const bool fromNtdll = getVersion && getVersion(&version) == 0;
    // Where ntdll lacks it, the older call answers, though as the manifest lets it.
    if (!fromNtdll && !Api().GetVersionExW(&version)) return {};
    std::string text = "Windows " + Decimal(version.dwMajorVersion) + "." + Decimal(version.dwMinorVersion) + "." +
                       Decimal(version.dwBuildNumber);
    const std::string servicePack = Utf8(version.szCSDVersion);
    if (!servicePack.empty()) text += " " + servicePack;
    return text;
}

std::int64_t Now()
{
    FILETIME now{};
    Api().GetSystemTimeAsFileTime(&now);
    return UnixTime(now);
}

} // namespace

LiveSnapshot TakeSnapshot()
{
    LiveSnapshot snapshot;
    snapshot.taken = Now();
    snapshot.windowsVersion = WindowsVersion();
    const int left = Api().GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = Api().GetSystemMetrics(SM_YVIRTUALSCREEN);
    snapshot.virtualScreen = {left, top, left + Api().GetSystemMetrics(SM_CXVIRTUALSCREEN),
                              top + Api().GetSystemMetrics(SM_CYVIRTUALSCREEN)};

    Monitors monitors{snapshot.monitors, {}, {}};
    Api().EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.failure) std::rethrow_exception(monitors.failure);

    const Library4::Shell::TaskbarSettings settings = Library4::Shell::ReadTaskbarSettings();
    snapshot.taskbar = {settings.VirtualDesktopTaskbarFilter, settings.MMTaskbarEnabled, settings.MMTaskbarMode};
    Pass pass{snapshot, monitors, settings, {}, {}, {}};
    vantrel::platform::EnumWindowsGuarded(&AddWindow, reinterpret_cast<LPARAM>(&pass), pass.failure);
    FindOwners(snapshot, pass.owners, settings);
    AskDesktops(snapshot, pass.handles);
    return snapshot;
}

} // namespace report
