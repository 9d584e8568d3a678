// How a record holds a window's texts: the room the log's record gives a title and a class name, in
// UTF-16 units with the terminator, and the one byte each UTF-16 unit becomes in the log. Nothing
// here needs Windows: the log's reader, which builds anywhere, takes the longest title it can meet
// from the writer's own figure, and reads a re-saved log back to the writer's own bytes.
#pragma once

#include <cstdint>

namespace inspect {

constexpr int kRecordTitleChars = 300;
constexpr int kRecordClassChars = 300;

// A character as the log holds it: itself up to U+00FF (ISO 8859-1), any other as '?'.
constexpr char LoggedByte(std::uint32_t code) { return code > 0xFF ? '?' : static_cast<char>(code); }

} // namespace inspect
