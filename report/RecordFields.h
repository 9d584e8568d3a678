// A record's fields as text, for the page and for telling two records apart.
#pragma once

#include "report/WindowRecord.h"

#include <string>

namespace report {

struct RecordField {
    const char* name;
    std::string (*text)(const WindowRecord&);
};

// Every field of a record, in the log's order.
extern const RecordField kRecordFields[13];

std::string HandleText(std::uint32_t handle); // "0x0001004C"
std::string RectText(const Rect& r);          // "0,0 - 160,226"
std::string StateText(const WindowRecord& r); // "normal", "maximized", "minimized" or both
// The record as the log wrote it, its four lines joined by LF.
std::string RecordText(const WindowRecord& r);

} // namespace report
