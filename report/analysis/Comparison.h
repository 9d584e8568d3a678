// What changed between two logs of the same machine.
#pragma once

#include "report/model/LoggedWindow.h"

#include <vector>

namespace report {

struct Change {
    std::size_t before, after;       // indices into each log's records
    std::vector<std::size_t> fields; // indices into kRecordFields that differ
};

struct Comparison {
    std::vector<std::size_t> appeared;    // in the later log only
    std::vector<std::size_t> disappeared; // in the earlier log only
    std::vector<Change> changed;          // in both, with some field different
    std::size_t unchanged = 0;
};

// Windows are matched first by handle (with the same program, since a handle of a window that was
// closed can be reused by another), then by program, class and title, each in log order.
Comparison Compare(const std::vector<LoggedWindow>& before, const std::vector<LoggedWindow>& after);

} // namespace report
