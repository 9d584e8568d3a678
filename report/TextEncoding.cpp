#include "report/TextEncoding.h"

#include "report/Numbers.h"

#include <cstdint>
#include <cstring>

namespace report {

char Latin1(std::uint32_t code) { return code > 0xFF ? '?' : static_cast<char>(code); }

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
    out += HexDigit(byte >> 4);
    out += HexDigit(byte);
}

std::string PrintableLine(std::string_view latin1, std::size_t most)
{
    std::string out;
    for (std::size_t i = 0, shown = 0; i < latin1.size() && latin1[i] != '\n' && shown < most; ++i, ++shown) {
        const auto c = static_cast<unsigned char>(latin1[i]);
        if (c == '\r' && i + 1 < latin1.size() && latin1[i + 1] == '\n') break;
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
            AppendByteEscape(out, c);
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}

std::size_t DecodeUtf8(std::string_view text, std::size_t at, std::uint32_t& code)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    std::size_t length = 0;
    std::uint32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - at < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

namespace {

bool IsUtf8WithNonAscii(std::string_view text)
{
    bool nonAscii = false;
    std::uint32_t code = 0;
    for (std::size_t at = 0; at < text.size();) {
        // Most of a log is ASCII: eight bytes at a time pass over it, and only the bytes past it
        // need decoding.
        std::uint64_t eight = 0;
        if (text.size() - at >= sizeof(eight)) {
            std::memcpy(&eight, text.data() + at, sizeof(eight));
            if ((eight & 0x8080808080808080u) == 0) {
                at += sizeof(eight);
                continue;
            }
        }
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++at;
            continue;
        }
        const std::size_t length = DecodeUtf8(text, at, code);
        if (length == 0) return false;
        nonAscii = true;
        at += length;
    }
    return nonAscii;
}

std::string FromUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::uint32_t code = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = DecodeUtf8(text, at, code);
        // After a byte-order mark the rest may still be damaged: such a byte stays as it is.
        out += length == 0 ? text[at] : Latin1(code);
        at += length == 0 ? 1 : length;
    }
    return out;
}

// Every UTF-16 unit above U+00FF becomes one '?', surrogates too: exactly what the tool writes.
std::string FromUtf16(std::string_view text)
{
    std::string out;
    out.reserve(text.size() / 2);
    for (std::size_t at = 0; at + 1 < text.size(); at += 2) {
        out += Latin1(static_cast<unsigned char>(text[at]) | static_cast<unsigned char>(text[at + 1]) << 8);
    }
    return out;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

} // namespace

std::string_view ToLatin1(std::string_view bytes, const char*& encoding, std::string& decoded)
{
    if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        encoding = "UTF-8 with byte-order mark (re-saved by an editor)";
        decoded = FromUtf8(bytes.substr(3));
        return decoded;
    }
    if (StartsWith(bytes, "\xFF\xFE")) {
        encoding = "UTF-16 (re-saved by an editor)";
        decoded = FromUtf16(bytes.substr(2));
        return decoded;
    }
    if (IsUtf8WithNonAscii(bytes)) {
        encoding = "UTF-8 (re-saved by an editor)";
        decoded = FromUtf8(bytes);
        return decoded;
    }
    encoding = "ISO 8859-1";
    return bytes;
}

} // namespace report
