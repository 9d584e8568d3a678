// The rules by which the taskbar gives a window a button or denies it one.
#pragma once

#include "report/model/LoggedWindow.h"
#include "report/model/StyleBits.h"

#include <cstddef>
#include <optional>

namespace report {

// The rule that gave a window its taskbar button or denied it one, as the taskbar test decides, in
// the order the test asks them (but for the shown ones, first).
enum class TaskbarRule {
    AppWindow,        // shown: WS_EX_APPWINDOW
    Unowned,          // shown: unowned, and neither a tool window nor no-activate
    OnAnotherDesktop, // shown: cloaked by the shell on another desktop, with every desktop's shown
    Gone,             // not shown: the window was destroyed while the snapshot was taken
    Hidden,           // not shown: no WS_VISIBLE
    NotTopLevel,      // not shown: its parent is not the desktop
    ToolWindow,       // not shown: WS_EX_TOOLWINDOW
    NoActivate,       // not shown: WS_EX_NOACTIVATE
    Owned,            // not shown: owned, without WS_EX_APPWINDOW
    Ghost,            // not shown: the "Ghost" stand-in for a hung window
    RemovedByProgram, // not shown: its program removed the button (ITaskbarList::DeleteTab)
    ShellDesktop,     // not shown: the shell's desktop window
    Cloaked,          // not shown: the window manager cloaks it (see LiveWindow::cloak)
};
constexpr std::size_t kTaskbarRules = static_cast<std::size_t>(TaskbarRule::Cloaked) + 1;

// The rule that gave a logged window its button, by the styles and the owner the log holds: a log
// records only windows that had one. None where neither accounts for the record.
inline std::optional<TaskbarRule> ButtonRuleOf(const LoggedWindow& r)
{
    if (r.exStyle & k_WS_EX_APPWINDOW) return TaskbarRule::AppWindow;
    if (r.owner == 0 && !(r.exStyle & (k_WS_EX_TOOLWINDOW | k_WS_EX_NOACTIVATE))) return TaskbarRule::Unowned;
    return std::nullopt;
}

} // namespace report
