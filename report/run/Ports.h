// How the program's job reaches the world: files, and this desktop. The entries give their own;
// the tests give tables.
#pragma once

#include "report/model/LiveSnapshot.h"
#include "report/page/ByteSink.h"

#include <cstdint>
#include <functional>
#include <string>

namespace report {

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

} // namespace report
