// What a support engineer should look at first in a log, each with the windows it is about.
#pragma once

#include "report/analysis/DesktopLayout.h"
#include "report/analysis/Finding.h"
#include "report/model/LoggedWindow.h"

#include <vector>

namespace report {

enum class LogFindingKind {
    ManyButtons,    // one program with more than one button; subject: the program
    AppWindowOwned, // owned windows shown only because of WS_EX_APPWINDOW
    NoProgram,      // the process had ended or could not be opened
    Minimized,
    ZeroSize,
    FarAway,        // far from all others (the layout's `far`): perhaps on a monitor that is gone
    StoreApp,       // ApplicationFrameHost.exe hosts the apps
    LostCharacters, // '?' in the title
    CutTitle,       // kTitleLimit characters
    SameTitle,      // subject: the title
};
constexpr std::size_t kLogFindingKinds = static_cast<std::size_t>(LogFindingKind::SameTitle) + 1;

using LogFinding = Finding<LogFindingKind>;

// In the order of the kinds above; within a kind, in the order of the first window each concerns.
std::vector<LogFinding> FindLogIssues(const std::vector<LoggedWindow>& records, const DesktopLayout& layout);

} // namespace report
