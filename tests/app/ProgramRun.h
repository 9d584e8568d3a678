// The real program, run as a user would: started, its message box read and confirmed.
#pragma once

#include "tests/support/TempFiles.h"
#include "tools/MessageBoxWatch.h"

#include <string>

namespace apptest {

struct ProgramRun {
    bool boxShown = false;
    tools::ShownMessageBox box;
    std::string logWhileBoxUp; // the log's bytes while the box was up; empty when there is none
    DWORD exitCode = STILL_ACTIVE;
};

// Starts exe (in workingFolder when one is given), waits for its box, reads log while the box is
// up, presses OK and waits for the exit code.
ProgramRun RunProgram(const std::wstring& exe, const std::wstring& log, const std::wstring& workingFolder = L"");

// A copy of the program built here, under `name` in the folder.
std::wstring CopyProgramAs(const testsupport::TempFolder& folder, const std::wstring& name);

// The text as the log writes it: each UTF-16 unit up to U+00FF as its byte, others as '?', a line
// feed as CR LF.
std::string AsLogBytes(const std::wstring& text);

} // namespace apptest
