// vantrel-report's command line: LOG [LOG2] [-o PAGE.html] [--no-open], or
// --live [-o PAGE.html] [--no-open].
#pragma once

#include "report/LiveSnapshot.h"
#include "report/Markup.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace report {

// The largest file read as a log. A record takes some 300 bytes (about 1.6 KB at the very most),
// and a desktop has tens of taskbar buttons: even the benchmark's desktop of 4,000 windows logs
// some 1.2 MB. 16 MiB holds over 50,000 ordinary records, five times the 10,000 windows that
// Windows lets one process own by default. A larger file is not a log, and reading it whole would
// only cost memory.
constexpr std::uint64_t kMostLogBytes = 16 * 1024 * 1024;

// Where files are read and written: the native file system in the program, a table in the tests.
// Paths are UTF-8.
class FileAccess {
public:
    struct File {
        bool ok = false;
        bool tooLarge = false;
        std::string bytes; // the whole file, when ok
        std::uint64_t size = 0;
        std::int64_t modified = 0; // seconds since 1970, UTC
        std::string error;         // the system's reason, when not ok and not too large
    };
    virtual ~FileAccess() = default;
    // Reads the whole file, or none of it if it is larger than `limit` bytes.
    virtual File Read(const std::string& path, std::uint64_t limit) = 0;
    // Whether both paths name one existing file, however each is spelt ("./v.txt", "V.TXT" on
    // Windows, a link): by the file's identity, not by its name.
    virtual bool SameFile(const std::string& a, const std::string& b) = 0;
    // Makes the file at `path` from the bytes `write` gives its sink. They go to a new temporary
    // file beside `path`, which replaces `path` only once all of them are written and the file is
    // closed. Any failure, or an exception out of `write` (which is passed on), removes the
    // temporary file and leaves whatever was at `path` as it was; `error` then says why.
    virtual bool Write(const std::string& path, const std::function<void(ByteSink&)>& write, std::string& error) = 0;
};

// This desktop, for --live: the Windows entry's; other systems have none.
class Desktop {
public:
    virtual ~Desktop() = default;
    // Every window on the desktop now, with what the taskbar makes of it. May throw std::bad_alloc.
    virtual LiveSnapshot Snapshot() = 0;
    // The running program's path, UTF-8: the live page goes beside it, named after it.
    virtual std::string ProgramPath() = 0;
};

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
