#include "tests/report/SampleSnapshot.h"

namespace reporttest {

using report::Known;
using report::LiveSnapshot;
using report::LiveWindow;
using report::Rect;
using Rule = report::TaskbarRule;

std::uint32_t HandleOf(std::size_t window) { return 0x20000 + 4 * static_cast<std::uint32_t>(window); }

LiveWindow Window(std::string title, Rule rule, Rect rect, std::string exe)
{
    LiveWindow w;
    w.record.exe = std::move(exe);
    w.record.title = std::move(title);
    w.record.className = "AppWindowClass";
    w.record.style = rule == Rule::Hidden ? kShown & ~report::k_WS_VISIBLE : kShown;
    w.record.window = w.normal = rect;
    w.frame = rect;
    w.rule = rule;
    w.shown = rule == Rule::AppWindow || rule == Rule::Unowned || rule == Rule::OnAnotherDesktop;
    w.cloak = 0;
    w.onCurrentDesktop = Known::Yes;
    w.monitor = 0;
    return w;
}

LiveWindow Owned(std::string title, Rule rule, std::size_t owner, bool ownerShown, Rect rect)
{
    LiveWindow w = Window(std::move(title), rule, rect);
    w.record.owner = HandleOf(owner);
    w.owner = owner;
    w.ownerShown = ownerShown;
    return w;
}

LiveWindow Cloaked(std::string title, std::uint32_t cloak)
{
    LiveWindow w = Window(std::move(title), Rule::Cloaked, {0, 0, 1920, 1040}, "C:\\Apps\\store.exe");
    w.cloak = cloak;
    w.onCurrentDesktop = cloak == 2 ? Known::No : Known::Yes;
    return w;
}

LiveSnapshot TwoMonitors(std::vector<LiveWindow> windows)
{
    LiveSnapshot s;
    s.windows = std::move(windows);
    for (std::size_t i = 0; i < s.windows.size(); ++i) s.windows[i].record.hwnd = HandleOf(i);
    s.monitors = {{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true, "\\\\.\\DISPLAY1", 96},
                  {{1920, 0, 3200, 1024}, {1920, 0, 3200, 1024}, false, "\\\\.\\<b>DISPLAY2", 144}};
    s.virtualScreen = {0, 0, 3200, 1080};
    s.windowsVersion = "Windows 10.0.19045";
    s.taken = 1700000000;
    return s;
}

LiveSnapshot EveryRule()
{
    const std::string kExplorer = "C:\\Windows\\explorer.exe", kStuck = "C:\\Apps\\stuck.exe";
    // clang-format off
    std::vector<LiveWindow> w{
        Window("Main <script>", Rule::Unowned, {80, 60, 1100, 800}), Owned("Options", Rule::Owned, 0, true),
        Owned("Own button", Rule::AppWindow, 0, true, {700, 300, 1200, 700}),
        Window("Palette", Rule::ToolWindow, {1150, 80, 1400, 500}),
        Window("Keyboard", Rule::NoActivate, {200, 760, 1300, 1030}, "C:\\Windows\\System32\\osk.exe"),
        Owned("Lost dialog", Rule::Owned, 7, false, {500, 400, 900, 650}),
        Window("Far away", Rule::Unowned, {5000, 5000, 5600, 5400}), Window("Hidden owner", Rule::Hidden),
        Window("Helper", Rule::Hidden, {0, 0, 0, 0}, kExplorer), Cloaked("By the app", 1), Cloaked("Other desktop", 2),
        Cloaked("With its owner", 4), Window("Not Responding", Rule::Ghost, {1300, 520, 1880, 1000}, kExplorer),
        Window("Stuck", Rule::Unowned, {1300, 520, 1880, 1000}, kStuck),
        Window("Parked", Rule::Unowned, {-32000, -32000, -31840, -31972}), Window("", Rule::Gone),
        Window("Inner", Rule::NotTopLevel, {100, 100, 300, 200}),
        Window("On two", Rule::Unowned, {2000, 100, 2900, 800}, "C:\\Apps\\viewer.exe"),
        Window("Program Manager", Rule::ShellDesktop, {0, 0, 3200, 1080}, kExplorer),
        Window("Skip taskbar", Rule::RemovedByProgram, {400, 200, 800, 500}, "C:\\Apps\\chat.exe"),
        Cloaked("Shown from elsewhere", 2)};
    // clang-format on
    w[3].record.exStyle = report::k_WS_EX_TOOLWINDOW;
    w[3].record.style |= report::k_WS_MINIMIZEBOX;
    w[4].record.exStyle = report::k_WS_EX_NOACTIVATE;
    w[6].monitor.reset();
    w[12].hung = w[13].hung = true;
    w[14].record.minimized = true;
    w[14].normal = {400, 300, 1000, 700};
    w[17].monitor = 1;
    w[20].rule = Rule::OnAnotherDesktop;
    w[20].shown = true;
    LiveSnapshot s = TwoMonitors(std::move(w));
    s.taskbar = {0u, 1u, 2u};
    return s;
}

LiveSnapshot Unknowns(bool monitors)
{
    LiveSnapshot s = TwoMonitors({Window("Old", Rule::Unowned), Window("Far", Rule::Unowned, {9000, 0, 9100, 100})});
    for (LiveWindow& w : s.windows) {
        w.cloak.reset();
        w.frame.reset();
        w.onCurrentDesktop = Known::Unknown;
    }
    s.windows[1].monitor.reset();
    for (report::LiveMonitor& m : s.monitors) m.dpi.reset();
    if (!monitors) s.monitors.clear();
    s.windowsVersion.clear();
    s.taken = 0;
    return s;
}

LiveSnapshot ManyHung()
{
    LiveSnapshot s = TwoMonitors({});
    for (int n = 0; n < 12; ++n) {
        s.windows.push_back(Window(std::string(n + 1, 'h'), Rule::Unowned));
        s.windows.back().hung = true;
    }
    return s;
}

} // namespace reporttest
