// A record's fields: their names and text for the page, and how two records are told apart.
#pragma once

#include "report/model/LoggedWindow.h"

#include <string>

namespace report {

std::string HandleText(std::uint32_t handle); // "0x0001004C"
std::string StyleText(std::uint32_t style);   // "0x14cf0000", as the log writes it
std::string RectText(const Rect& r);          // "0,0 - 160,226"
std::string StateText(const LoggedWindow& r); // "normal", "maximized", "minimized" or both

struct RecordField {
    const char* name;
    std::string (*text)(const LoggedWindow&);
    // By value: two records differ in a field when their values do, whatever the text shows.
    bool (*same)(const LoggedWindow&, const LoggedWindow&);
};

template <auto Member>
bool SameField(const LoggedWindow& a, const LoggedWindow& b)
{
    return a.*Member == b.*Member;
}

// Every field of a record, in the log's order.
// clang-format off
inline const RecordField kRecordFields[] = {
    {"handle", [](const LoggedWindow& r) { return HandleText(r.hwnd); }, SameField<&LoggedWindow::hwnd>},
    {"program", [](const LoggedWindow& r) { return r.exe; }, SameField<&LoggedWindow::exe>},
    {"title", [](const LoggedWindow& r) { return r.title; }, SameField<&LoggedWindow::title>},
    {"class", [](const LoggedWindow& r) { return r.className; }, SameField<&LoggedWindow::className>},
    {"atom", [](const LoggedWindow& r) { return HandleText(r.atom); }, SameField<&LoggedWindow::atom>},
    {"style", [](const LoggedWindow& r) { return StyleText(r.style); }, SameField<&LoggedWindow::style>},
    {"exStyle", [](const LoggedWindow& r) { return StyleText(r.exStyle); }, SameField<&LoggedWindow::exStyle>},
    {"parent", [](const LoggedWindow& r) { return HandleText(r.parent); }, SameField<&LoggedWindow::parent>},
    {"owner", [](const LoggedWindow& r) { return HandleText(r.owner); }, SameField<&LoggedWindow::owner>},
    {"getparent", [](const LoggedWindow& r) { return HandleText(r.getParent); }, SameField<&LoggedWindow::getParent>},
    {"window rectangle", [](const LoggedWindow& r) { return RectText(r.window); }, SameField<&LoggedWindow::window>},
    {"client rectangle", [](const LoggedWindow& r) { return RectText(r.client); }, SameField<&LoggedWindow::client>},
    {"state", StateText,
     [](const LoggedWindow& a, const LoggedWindow& b) { return a.maximized == b.maximized && a.minimized == b.minimized; }},
};
// clang-format on

} // namespace report
