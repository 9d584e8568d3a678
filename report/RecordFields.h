// A record's fields: their names and text for the page, and how two records are told apart.
#pragma once

#include "report/WindowRecord.h"

#include <string>

namespace report {

std::string HandleText(std::uint32_t handle); // "0x0001004C"
std::string StyleText(std::uint32_t style);   // "0x14cf0000", as the log writes it
std::string RectText(const Rect& r);          // "0,0 - 160,226"
std::string StateText(const WindowRecord& r); // "normal", "maximized", "minimized" or both

struct RecordField {
    const char* name;
    std::string (*text)(const WindowRecord&);
    // By value: two records differ in a field when their values do, whatever the text shows.
    bool (*same)(const WindowRecord&, const WindowRecord&);
};

template <auto Member>
bool SameField(const WindowRecord& a, const WindowRecord& b)
{
    return a.*Member == b.*Member;
}

// Every field of a record, in the log's order.
// clang-format off
inline const RecordField kRecordFields[] = {
    {"handle", [](const WindowRecord& r) { return HandleText(r.hwnd); }, SameField<&WindowRecord::hwnd>},
    {"program", [](const WindowRecord& r) { return r.exe; }, SameField<&WindowRecord::exe>},
    {"title", [](const WindowRecord& r) { return r.title; }, SameField<&WindowRecord::title>},
    {"class", [](const WindowRecord& r) { return r.className; }, SameField<&WindowRecord::className>},
    {"atom", [](const WindowRecord& r) { return HandleText(r.atom); }, SameField<&WindowRecord::atom>},
    {"style", [](const WindowRecord& r) { return StyleText(r.style); }, SameField<&WindowRecord::style>},
    {"exStyle", [](const WindowRecord& r) { return StyleText(r.exStyle); }, SameField<&WindowRecord::exStyle>},
    {"parent", [](const WindowRecord& r) { return HandleText(r.parent); }, SameField<&WindowRecord::parent>},
    {"owner", [](const WindowRecord& r) { return HandleText(r.owner); }, SameField<&WindowRecord::owner>},
    {"getparent", [](const WindowRecord& r) { return HandleText(r.getParent); }, SameField<&WindowRecord::getParent>},
    {"window rectangle", [](const WindowRecord& r) { return RectText(r.window); }, SameField<&WindowRecord::window>},
    {"client rectangle", [](const WindowRecord& r) { return RectText(r.client); }, SameField<&WindowRecord::client>},
    {"state", StateText,
     [](const WindowRecord& a, const WindowRecord& b) { return a.maximized == b.maximized && a.minimized == b.minimized; }},
};
// clang-format on

} // namespace report
