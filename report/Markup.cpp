#include "report/Markup.h"

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
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
        const unsigned char lead = byte(at);
        const std::size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3
                                                  : (lead & 0xF8) == 0xF0 ? 4 : 0;
        std::uint32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool valid = length != 0 && utf8.size() - at >= length;
        for (std::size_t i = 1; valid && i < length; ++i) {
            valid = (byte(at + i) & 0xC0) == 0x80;
            code = code << 6 | (byte(at + i) & 0x3F);
        }
        const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        valid = valid && code >= least[length] && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
        if (!valid) {
            AppendByteEscape(out_, lead);
            ++at;
            continue;
        }
        Character(code);
        at += length;
    }
    return *this;
}

} // namespace report
