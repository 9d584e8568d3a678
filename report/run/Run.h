// vantrel-report's whole job, whatever system it runs on: from the command line to a page written,
// or to the message that says why not.
#pragma once

#include "report/run/Ports.h"

#include <cstdint>
#include <string>
#include <vector>

namespace report {

// The largest file read as a log. A record takes some 300 bytes (about 1.6 KB at the very most),
// and a desktop has tens of taskbar buttons: even the benchmark's desktop of 4,000 windows logs
// some 1.2 MB. 16 MiB holds over 50,000 ordinary records, five times the 10,000 windows that
// Windows lets one process own by default. A larger file is not a log, and reading it whole would
// only cost memory.
constexpr std::uint64_t kMostLogBytes = 16 * 1024 * 1024;

struct Outcome {
    // 0: the page is written (or the usage was asked for). 1: no page; `message` says which file
    // and why, or, for a command line it does not understand, how to use it.
    int exitCode = 0;
    std::string page;    // the page's path, when written
    bool open = true;    // whether the Windows entry opens the page (not after --no-open)
    std::string message; // for standard output on success, standard error otherwise
};

// The page goes where -o says, or beside the last log, named after it with ".html" in place of
// its extension (both '\' and '/' end a folder's name).
std::string PagePath(const std::string& log);

// With --live, the page is of `desktop`'s snapshot, beside the program unless -o says otherwise;
// without a desktop (null), --live fails saying it needs Windows.
Outcome Run(const std::vector<std::string>& arguments, FileAccess& files, Desktop* desktop = nullptr);

} // namespace report
