// UTF-8, both ways, and how a byte that is no character shows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace report {

// Decodes the UTF-8 sequence at `at` (< text.size()) into `code`; returns its length, or 0 when
// it is not valid UTF-8 (overlong forms, surrogates and values past U+10FFFF are not).
std::size_t DecodeUtf8(std::string_view text, std::size_t at, std::uint32_t& code);
// `code` as UTF-8.
void AppendUtf8(std::string& out, std::uint32_t code);
// "\xNN", upper-case: how a byte that has no character of its own is shown.
void AppendByteEscape(std::string& out, unsigned char byte);

} // namespace report
