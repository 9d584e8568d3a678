// What a support engineer should look at first in a log, each with the windows it is about.
#pragma once

#include "report/DesktopLayout.h"
#include "report/WindowRecord.h"

#include <string>
#include <vector>

namespace report {

enum class FindingKind {
    ManyButtons,    // one program with more than one button; subject: the program
    AppWindowOwned, // owned windows shown only because of WS_EX_APPWINDOW
    NoProgram,      // the process had ended or could not be opened
    Minimized,
    ZeroSize,
    FarAway,        // far from all others (the layout's `far`): perhaps on a monitor that is gone
    StoreApp,       // ApplicationFrameHost.exe hosts the apps
    LostCharacters, // '?' in the title
    CutTitle,       // kTitleLimit characters
    SameTitle, // subject: the title
};

struct Finding {
    FindingKind kind;
    std::string subject;              // ISO 8859-1, from the log; empty where the kind needs none
    std::vector<std::size_t> windows; // indices into the log's records, in log order
};

// In the order of the kinds above; within a kind, in the order of the first window each concerns.
std::vector<Finding> FindIssues(const std::vector<WindowRecord>& records, const DesktopLayout& layout);

enum class ButtonRule {
    AppWindow, // WS_EX_APPWINDOW
    Unowned,   // unowned, and neither a tool window nor no-activate
    None,      // a record no rule accounts for
};
ButtonRule ButtonRuleOf(const WindowRecord& record);

} // namespace report
