// vantrel-report's command line: LOG [LOG2] [-o PAGE.html] [--no-open], or
// --live [-o PAGE.html] [--no-open].
#pragma once

#include <string>
#include <vector>

namespace report {

extern const char kUsage[];

struct CommandLine {
    std::vector<std::string> logs; // in the order given
    std::string output;            // -o's value; empty without -o
    bool open = true;              // not after --no-open
    bool live = false;
    bool help = false;   // -h or --help
    std::string unknown; // the first argument not understood, or -o without a value
};

// After "--", and for "-" or anything not starting with '-', an argument is a log. A second -o is
// not understood.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

} // namespace report
