// Which platform operations a piece of code called, in order: for one scope every entry of the
// platform table is replaced by a forwarder that logs the entry's name, then calls the table as it
// stood when the log began (fakes installed before it included). Single-threaded code only.
#pragma once

#include "platform/Win32Api.h"

#include <string>
#include <vector>

namespace apptest {

class SeamCallLog {
public:
    SeamCallLog();

    // For a call that bypasses the table, such as a function a fake GetProcAddress handed out:
    // the fake notes itself, so that it appears in order with the rest.
    static void Note(const std::string& event);

    // The calls so far, and forgets them.
    std::vector<std::string> Take();

private:
    platform::ScopedApiOverride api_;
};

} // namespace apptest
