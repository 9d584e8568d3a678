#include "report/Markup.h"

#include "report/TextEncoding.h"

#include <cstdint>

namespace report {

namespace {

// Printable ASCII that needs no escape anywhere in a page, so that runs of it are copied at once.
bool IsPlain(unsigned char c) { return c >= 0x20 && c < 0x7F && c != '&' && c != '<' && c != '>' && c != '"' && c != '\''; }

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
    for (std::size_t at = 0; at < latin1.size();) {
        std::size_t run = at;
        while (run < latin1.size() && IsPlain(static_cast<unsigned char>(latin1[run]))) ++run;
        out_.append(latin1, at, run - at);
        if (run < latin1.size()) Character(static_cast<unsigned char>(latin1[run++]));
        at = run;
    }
    return Flushed();
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
    return Flushed();
}

Markup& Markup::PathText(std::string_view latin1)
{
    for (std::size_t at = 0; at < latin1.size();) {
        const std::size_t slash = latin1.find('\\', at);
        const std::size_t end = slash == std::string_view::npos ? latin1.size() : slash + 1;
        Text(latin1.substr(at, end - at));
        if (slash != std::string_view::npos) out_ += "<wbr>";
        at = end;
    }
    return Flushed();
}

void Markup::Finish()
{
    sink_.Write(out_);
    out_.clear();
}

} // namespace report
