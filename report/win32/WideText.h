// vantrel-report's Windows code: the system's UTF-16 and the portable code's UTF-8, both ways, as
// the system converts them.
#pragma once

#include <string>
#include <string_view>

namespace report {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

} // namespace report
