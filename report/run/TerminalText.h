// Text from a file as a terminal shows it, where nothing read may move the cursor or change colours.
#pragma once

#include <string>
#include <string_view>

namespace report {

// ISO 8859-1 text as UTF-8: up to the first line end, every control byte as \xNN, at most `most`
// characters.
std::string PrintableLine(std::string_view latin1, std::size_t most);

} // namespace report
