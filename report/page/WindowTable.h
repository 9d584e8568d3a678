// The page's table: one row per window, in the log's order (z-order, topmost first), each field
// as a person reads it with the raw value beside the decoded one.
#pragma once

#include "report/page/Markup.h"
#include "report/page/Palette.h"
#include "report/model/LoggedWindow.h"

#include <functional>
#include <optional>
#include <vector>

namespace report {

// `owners`: each record's owner among them (OwnersAmong).
void WriteWindowTable(Markup& page, const std::vector<LoggedWindow>& records, const Palette& palette,
                      const std::vector<std::optional<std::size_t>>& owners);

// Some of the records in the same table, for a page made from something other than a log: no
// lines of a log, and a last column of the page's own. Each row keeps the id "w" and its index
// into `records`, so that the map and every window's name link to it.
struct TableRows {
    std::vector<std::size_t> rows;                    // indices into the records, in the order shown
    Literal reasonHeading;                            // the last column's heading, "Why no button"
    std::function<void(Markup&, std::size_t)> reason; // writes a row's last cell
    // Rows of windows the map draws no item for carry the class "undrawn".
    std::function<bool(std::size_t)> undrawn;
    std::function<std::optional<std::size_t>(std::size_t)> owner; // a row's owner among the records
};
void WriteWindowRows(Markup& page, const std::vector<LoggedWindow>& records, const Palette& palette,
                     const TableRows& table);

} // namespace report
