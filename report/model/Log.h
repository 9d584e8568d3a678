// What reading a whole log gives: its records, and every piece that is not one.
#pragma once

#include "report/model/LoggedWindow.h"

#include <string>
#include <vector>

namespace report {

// A piece of the log that is not a whole record: its lines, its raw text and the first thing that
// did not fit.
struct Unreadable {
    int firstLine = 0, lastLine = 0;
    std::string text;
    int failedLine = 0;
    std::string expected;
};

struct Log {
    std::vector<LoggedWindow> records;
    std::vector<Unreadable> unreadable;
    const char* encoding = "ISO 8859-1";
    // No record at all, and the first line is not the start of one: some other kind of file.
    bool notALog = false;
};

} // namespace report
