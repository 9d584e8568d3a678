#include "report/Markup.h"

#include "report/TextEncoding.h"

#include <cstdint>

namespace report {

namespace {

void AppendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

void AppendByteEscape(std::string& out, unsigned char byte)
{
    out += "\\x";
    out += "0123456789ABCDEF"[byte >> 4];
    out += "0123456789ABCDEF"[byte & 0xF];
}

} // namespace

void Markup::Character(std::uint32_t code)
{
    switch (code) {
    case '&': out_ += "&amp;"; return;
    case '<': out_ += "&lt;"; return;
    case '>': out_ += "&gt;"; return;
    case '"': out_ += "&quot;"; return;
    case '\'': out_ += "&#39;"; return;
    default: break;
    }
    // A title's CR, LF or TAB matters when telling windows apart: each shows as its control
    // picture (U+2400 onwards), DEL as U+2421, and the C1 controls, which have none, as \xNN.
    if (code < 0x20) return AppendUtf8(out_, 0x2400 + code);
    if (code == 0x7F) return AppendUtf8(out_, 0x2421);
    if (code >= 0x80 && code < 0xA0) return AppendByteEscape(out_, static_cast<unsigned char>(code));
    AppendUtf8(out_, code);
}

Markup& Markup::Text(std::string_view latin1)
{
    for (char c : latin1) Character(static_cast<unsigned char>(c));
    return *this;
}

Markup& Markup::Utf8Text(std::string_view utf8)
{
    for (std::size_t at = 0; at < utf8.size();) {
        std::uint32_t code = 0;
        const std::size_t length = DecodeUtf8(utf8, at, code);
        if (length == 0) {
            AppendByteEscape(out_, static_cast<unsigned char>(utf8[at]));
            ++at;
            continue;
        }
        Character(code);
        at += length;
    }
    return *this;
}

} // namespace report
