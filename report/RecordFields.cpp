#include "report/RecordFields.h"

#include "report/Numbers.h"

#include <algorithm>

namespace report {

namespace {

std::string LowerHex(std::uint32_t value)
{
    std::string digits = Hex8(value);
    digits.erase(0, std::min(digits.find_first_not_of('0'), std::size_t{7}));
    for (char& c : digits) c = c >= 'A' ? static_cast<char>(c - 'A' + 'a') : c;
    return digits;
}

std::string Flag(bool on) { return on ? "1" : "0"; }

} // namespace

std::string HandleText(std::uint32_t handle) { return "0x" + Hex8(handle); }

std::string RectText(const Rect& r)
{
    return Decimal(r.left) + "," + Decimal(r.top) + " - " + Decimal(r.right) + "," + Decimal(r.bottom);
}

std::string StateText(const WindowRecord& r)
{
    if (r.maximized && r.minimized) return "maximized, minimized";
    return r.maximized ? "maximized" : r.minimized ? "minimized" : "normal";
}

const RecordField kRecordFields[13] = {
    {"handle", [](const WindowRecord& r) { return HandleText(r.hwnd); }},
    {"program", [](const WindowRecord& r) { return r.exe; }},
    {"title", [](const WindowRecord& r) { return r.title; }},
    {"class", [](const WindowRecord& r) { return r.className; }},
    {"atom", [](const WindowRecord& r) { return HandleText(r.atom); }},
    {"style", [](const WindowRecord& r) { return "0x" + LowerHex(r.style); }},
    {"exStyle", [](const WindowRecord& r) { return "0x" + LowerHex(r.exStyle); }},
    {"parent", [](const WindowRecord& r) { return HandleText(r.parent); }},
    {"owner", [](const WindowRecord& r) { return HandleText(r.owner); }},
    {"getparent", [](const WindowRecord& r) { return HandleText(r.getParent); }},
    {"window rectangle", [](const WindowRecord& r) { return RectText(r.window); }},
    {"client rectangle", [](const WindowRecord& r) { return RectText(r.client); }},
    {"state", StateText},
};

std::string RecordText(const WindowRecord& r)
{
    return HandleText(r.hwnd) + ": exe=" + r.exe + "\ntitle=\"" + r.title + "\" class=\"" + r.className +
           "\" atom = " + HandleText(r.atom) + "\nStyle=0x" + LowerHex(r.style) + " exStyle=0x" + LowerHex(r.exStyle) +
           " parent=" + HandleText(r.parent) + " owner=" + HandleText(r.owner) +
           " getparent=" + HandleText(r.getParent) + "\nrcWnd = " + RectText(r.window) +
           " rcClient = " + RectText(r.client) + " maximized = " + Flag(r.maximized) +
           " minimized = " + Flag(r.minimized);
}

} // namespace report
