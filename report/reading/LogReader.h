// Reads a Vantrel log: every whole record, and every piece that is not one.
#pragma once

#include "report/model/Log.h"

#include <string_view>

namespace report {

// Reads the log's bytes in any encoding ToLatin1 accepts, with CR LF or LF line ends, the last
// empty line there or not. Each record is found by the fixed text of its fields, never by counting
// lines, because a title or class name may hold line ends, quotes and anything else. A record
// that does not hold together is kept as Unreadable with its lines and raw text, and reading goes
// on at the next line that starts a record. Empty lines between records are passed over. Time and
// memory grow linearly with the input; any input is accepted.
Log ReadLog(std::string_view bytes);

} // namespace report
