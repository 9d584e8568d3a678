// The log is written as ISO 8859-1; an editor may have saved it again in another encoding.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace report {

// Decodes the UTF-8 sequence at `at` (< text.size()) into `code`; returns its length, or 0 when
// it is not valid UTF-8 (overlong forms, surrogates and values past U+10FFFF are not).
std::size_t DecodeUtf8(std::string_view text, std::size_t at, std::uint32_t& code);

// A character as the tool writes it in a log: itself up to U+00FF, any other as '?'.
char Latin1(std::uint32_t code);
// `code` as UTF-8.
void AppendUtf8(std::string& out, std::uint32_t code);
// "\xNN", upper-case: how a byte that has no character of its own is shown.
void AppendByteEscape(std::string& out, unsigned char byte);
// ISO 8859-1 text as UTF-8 for a terminal: up to the first line end, every control byte as \xNN
// (so nothing read can move the cursor or change colours), at most `most` characters.
std::string PrintableLine(std::string_view latin1, std::size_t most);

// The log's bytes as ISO 8859-1, whatever they arrived as: a UTF-8 byte-order mark, or a whole file
// of valid UTF-8 holding some non-ASCII byte, is taken as an editor's re-save and decoded; so is
// UTF-16 with its byte-order mark (Notepad's "Unicode"). A character beyond U+00FF becomes '?', as
// the tool itself writes it. Anything else is taken as ISO 8859-1, unchanged. `encoding` names
// what was found. The result is `bytes` itself when nothing needed decoding, else the decoded text
// in `decoded`.
std::string_view ToLatin1(std::string_view bytes, const char*& encoding, std::string& decoded);

} // namespace report
