// What a support engineer should look at first in a log, each with the windows it is about.
#pragma once

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
    FarAway,        // off every other window: perhaps on a monitor that is gone
    StoreApp,       // ApplicationFrameHost.exe hosts the app; subject: the title
    LostCharacters, // '?' in the title
    CutTitle,
    SameTitle, // subject: the title
};

struct Finding {
    FindingKind kind;
    std::string subject;              // ISO 8859-1, from the log; empty where the kind needs none
    std::vector<std::size_t> windows; // indices into the log's records, in log order
};

// In the order of the kinds above; within a kind, in the order of the first window each concerns.
std::vector<Finding> FindIssues(const std::vector<WindowRecord>& records);

// The finding's headline and the one thing to do about it, plain ASCII.
const char* Headline(FindingKind kind);
const char* Advice(FindingKind kind);

// The file-name part of a Windows path.
std::string FileName(const std::string& path);
// Which rule gave the window its button: "WS_EX_APPWINDOW", "unowned" (and neither a tool window
// nor no-activate), or "none" for a record no rule accounts for.
const char* ButtonRule(const WindowRecord& record);
bool IsParked(const WindowRecord& record);

} // namespace report
