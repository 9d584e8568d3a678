#include "report/reading/LogEncoding.h"

#include "inspect/RecordText.h"
#include "report/text/Utf8.h"

#include <cstdint>
#include <cstring>

namespace report {

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
        out += length == 0 ? text[at] : inspect::LoggedByte(code);
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
        out +=
            inspect::LoggedByte(static_cast<unsigned char>(text[at]) | static_cast<unsigned char>(text[at + 1]) << 8);
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
