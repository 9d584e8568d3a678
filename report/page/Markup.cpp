#include "report/page/Markup.h"

#include "report/text/Numbers.h"
#include "report/text/Utf8.h"

#include <cstdint>

namespace report {

namespace {

// Printable ASCII that needs no escape anywhere in a page, so that runs of it are copied at once.
struct PlainBytes {
    bool plain[256] = {};
    constexpr PlainBytes()
    {
        for (int c = 0x20; c < 0x7F; ++c) plain[c] = c != '&' && c != '<' && c != '>' && c != '"' && c != '\'';
    }
};
constexpr PlainBytes kPlain;

bool IsPlain(unsigned char c) { return kPlain.plain[c]; }

} // namespace

void Markup::Character(std::uint32_t code)
{
    switch (code) {
    case '&': return Append("&amp;");
    case '<': return Append("&lt;");
    case '>': return Append("&gt;");
    case '"': return Append("&quot;");
    case '\'': return Append("&#39;");
    default: break;
    }
    // A title's CR, LF or TAB matters when telling windows apart: each shows as its control
    // picture (U+2400 onwards), DEL as U+2421, and the C1 controls, which have none, as \xNN.
    std::string shown;
    if (code < 0x20) {
        AppendUtf8(shown, 0x2400 + code);
    } else if (code == 0x7F) {
        AppendUtf8(shown, 0x2421);
    } else if (code >= 0x80 && code < 0xA0) {
        AppendByteEscape(shown, static_cast<unsigned char>(code));
    } else {
        AppendUtf8(shown, code);
    }
    Append(shown);
}

Markup& Markup::Text(std::string_view latin1)
{
    for (std::size_t at = 0; at < latin1.size();) {
        std::size_t run = at;
        while (run < latin1.size() && IsPlain(static_cast<unsigned char>(latin1[run]))) ++run;
        Append(latin1.substr(at, run - at));
        if (run < latin1.size()) Character(static_cast<unsigned char>(latin1[run++]));
        at = run;
    }
    return *this;
}

Markup& Markup::Utf8Text(std::string_view utf8)
{
    for (std::size_t at = 0; at < utf8.size();) {
        std::uint32_t code = 0;
        const std::size_t length = DecodeUtf8(utf8, at, code);
        if (length == 0) {
            std::string escape;
            AppendByteEscape(escape, static_cast<unsigned char>(utf8[at]));
            Append(escape);
            ++at;
            continue;
        }
        Character(code);
        at += length;
    }
    return *this;
}

Markup& Markup::BreakableText(std::string_view latin1, Literal breakAfter)
{
    for (std::size_t at = 0; at < latin1.size();) {
        const std::size_t separator = latin1.find_first_of(breakAfter.View(), at);
        const std::size_t end = separator == std::string_view::npos ? latin1.size() : separator + 1;
        Text(latin1.substr(at, end - at));
        if (separator != std::string_view::npos && end < latin1.size()) Append("<wbr>");
        at = end;
    }
    return *this;
}

Markup& Markup::Handle(std::uint32_t handle)
{
    char digits[8];
    Append("0x");
    Append(Hex8(handle, digits));
    return *this;
}

Markup& Markup::Rectangle(const Rect& r)
{
    Number(r.left).Tag(",").Number(r.top).Tag(" - ").Number(r.right).Tag(",").Number(r.bottom);
    return *this;
}

void Markup::Finish()
{
    sink_.Write(std::string_view(block_.get(), used_));
    used_ = 0;
}

} // namespace report
