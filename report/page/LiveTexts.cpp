#include "report/page/LiveTexts.h"

#include <iterator>

namespace report {

namespace {

struct RuleRow {
    TaskbarRule rule;
    CloakReason cloak;
    RuleWords words;
};

// clang-format off
const RuleRow kRules[] = {
    {TaskbarRule::AppWindow, CloakReason::Other, {"g-appwindow", "WS_EX_APPWINDOW, yet no button",
        "The rules give a window with WS_EX_APPWINDOW a button, yet the snapshot says it has none.",
        "Take the snapshot again; if the button stays missing, the taskbar decided by a rule not known here.",
        "WS_EX_APPWINDOW"}},
    {TaskbarRule::Unowned, CloakReason::Other, {"g-unowned", "Unowned, yet no button",
        "The rules give an unowned window that is neither a tool window nor no-activate a button, yet the "
        "snapshot says it has none.",
        "Take the snapshot again; if the button stays missing, the taskbar decided by a rule not known here.",
        "unowned, neither a tool window nor no-activate"}},
    {TaskbarRule::OnAnotherDesktop, CloakReason::Other, {"g-otherdesktop", "On another desktop, shown from every one",
        "The shell cloaks a window on another virtual desktop, yet the taskbar is set to show the windows of every "
        "desktop, so the window has a button.",
        "Nothing to change; to leave such windows out, set the taskbar to show the windows of the desktop in use only "
        "(Settings, Multitasking).",
        "on another virtual desktop, and the taskbar shows every desktop&#39;s windows"}},
    {TaskbarRule::Gone, CloakReason::Other, {"g-gone", "Closed while the snapshot was taken",
        "The window was destroyed between being listed and being asked about.",
        "Nothing to change: take the snapshot again to see what took its place.",
        "closed while the snapshot was taken"}},
    {TaskbarRule::Hidden, CloakReason::Other, {"g-hidden", "Hidden windows",
        "No WS_VISIBLE: nothing of the window is on screen, and the taskbar shows no button for what cannot "
        "be seen. Most are helper windows that programs keep hidden on purpose.",
        "To have a button, the window must be shown (ShowWindow).",
        "hidden: no WS_VISIBLE"}},
    {TaskbarRule::NotTopLevel, CloakReason::Other, {"g-child", "Windows that are not top-level",
        "Its parent is another window, not the desktop: it lives inside that window.",
        "To have a button, create it without a parent and without WS_CHILD.",
        "not top-level: its parent is a window"}},
    {TaskbarRule::ToolWindow, CloakReason::Other, {"g-tool", "Tool windows",
        "WS_EX_TOOLWINDOW: a floating palette or pop-up, which the taskbar and Alt+Tab leave out.",
        "To have a button, remove WS_EX_TOOLWINDOW, or add WS_EX_APPWINDOW.",
        "a tool window: WS_EX_TOOLWINDOW"}},
    {TaskbarRule::NoActivate, CloakReason::Other, {"g-noactivate", "No-activate windows",
        "WS_EX_NOACTIVATE: a window that never takes the focus, such as an on-screen keyboard.",
        "To have a button, remove WS_EX_NOACTIVATE, or add WS_EX_APPWINDOW.",
        "no-activate: WS_EX_NOACTIVATE"}},
    {TaskbarRule::Owned, CloakReason::Other, {"g-owned", "Owned windows",
        "An owned window belongs to its owner, whose button stands for it, as a dialog shares its main "
        "window&#39;s button. Each row names the owner.",
        "To have a button of its own, give it WS_EX_APPWINDOW.",
        "owned"}},
    {TaskbarRule::Ghost, CloakReason::Other, {"g-ghost", "&#8220;Ghost&#8221; stand-ins",
        "The window manager puts a window of the class Ghost in place of a window that stopped answering; "
        "the hung window keeps its own button.",
        "Nothing to change here: the hung program must answer again, or be ended.",
        "the &#8220;Ghost&#8221; stand-in of a hung window"}},
    {TaskbarRule::RemovedByProgram, CloakReason::Other, {"g-removed", "Buttons their program removed",
        "The program removed the window&#39;s button with ITaskbarList::DeleteTab, whatever its styles, as many "
        "frameworks do for a window that should stay off the taskbar (Electron&#39;s skipTaskbar among them); the "
        "shell marks such a window with the property ITaskList_Deleted. The button comes back when Explorer "
        "restarts.",
        "To have a button, the program must add it back (ITaskbarList::AddTab), or not remove it.",
        "its program removed the button (ITaskbarList::DeleteTab)"}},
    {TaskbarRule::ShellDesktop, CloakReason::Other, {"g-shell", "The shell&#39;s desktop",
        "The desktop behind every window (Program Manager), which is never a button.",
        "Nothing to change.",
        "the shell&#39;s desktop"}},
    {TaskbarRule::Cloaked, CloakReason::App, {"g-cloaked-app", "Cloaked by their program",
        "DWM_CLOAKED_APP (1): the program asked the window manager to keep the window out of sight "
        "(DwmSetWindowAttribute with DWMWA_CLOAK). It is there, but neither drawn nor on the taskbar.",
        "To have a button, the program must uncloak it.",
        "cloaked by its program"}},
    {TaskbarRule::Cloaked, CloakReason::Shell, {"g-cloaked-shell", "Cloaked by the shell",
        "DWM_CLOAKED_SHELL (2): the shell keeps the window out of sight, because it is on another virtual "
        "desktop or belongs to a Store app that is suspended or not started.",
        "Switch to its desktop (Win+Ctrl+Left or Right arrow), or start the app.",
        "cloaked by the shell"}},
    {TaskbarRule::Cloaked, CloakReason::Inherited, {"g-cloaked-inherited", "Cloaked with their owner",
        "DWM_CLOAKED_INHERITED (4): the owner is cloaked, and so is every window it owns.",
        "Look at the owner: the window shows when its owner does.",
        "cloaked with its owner"}},
    {TaskbarRule::Cloaked, CloakReason::Other, {"g-cloaked", "Cloaked",
        "The window manager keeps these out of sight for more than one reason, or for one not known here: "
        "1 is by the program, 2 by the shell, 4 with the owner.",
        "Each reason must go for the window to show.",
        "cloaked"}},
};
// clang-format on

} // namespace

const RuleWords& WordsOf(TaskbarRule rule, CloakReason cloak)
{
    if (rule != TaskbarRule::Cloaked) cloak = CloakReason::Other;
    for (const RuleRow& row : kRules) {
        if (row.rule == rule && row.cloak == cloak) return row.words;
    }
    // A rule the table lacks is a value no collector writes; it reads as the last.
    return kRules[std::size(kRules) - 1].words;
}

namespace {

// clang-format off
constexpr FindingRow<LiveFindingKind> kLiveFindings[] = {
    {LiveFindingKind::OffEveryMonitor, {"Windows off every monitor: shown, yet nothing of them can be seen",
        "To bring one back, select it (its taskbar button, or Alt+Tab), press Alt+Space, then M (Move) and an arrow "
        "key, and move the mouse until it shows; or press Shift+Win+Left or Right arrow to move it to a monitor."}},
    {LiveFindingKind::OwnerHidden, {"Owned windows whose owner is hidden: nothing on the taskbar reaches them",
        "Show the owner, or give the window WS_EX_APPWINDOW so that it has a button of its own."}},
    {LiveFindingKind::LooksLikeApp,
        {"Tool windows with a caption and a minimize box: they look like an app, and have no button",
        "Remove WS_EX_TOOLWINDOW to give it a button; or remove WS_MINIMIZEBOX, since once minimized it has no "
        "button to come back by."}},
    {LiveFindingKind::Hung, {"Hung windows: not answering the window manager",
        "The program is busy or stuck; after a few seconds the window manager draws a &#8220;Ghost&#8221; in its "
        "place. Wait, or end the program."}},
    {LiveFindingKind::OtherDesktop, {"Windows on another virtual desktop",
        "The taskbar shows their buttons only when it is set to show the windows of all desktops (Settings, "
        "Multitasking); or switch to their desktop with Win+Ctrl+Left or Right arrow."}},
};
// clang-format on
static_assert(InKindOrder(kLiveFindings, kLiveFindingKinds), "one row per kind, in the kinds' order");

} // namespace

const FindingWords& WordsOf(LiveFindingKind kind) { return kLiveFindings[static_cast<std::size_t>(kind)].words; }

} // namespace report
