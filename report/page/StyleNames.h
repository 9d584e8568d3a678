// The names of window styles and extended styles, for reading a record's hexadecimal values.
#pragma once

#include "report/model/StyleBits.h"

#include <cstdint>
#include <string>

namespace report {

// "WS_VISIBLE | WS_CAPTION | 0x0000C000": the names of the bits set, in the table's order, then
// any bits left over in hexadecimal; "0" when none is set.
std::string StyleNames(std::uint32_t style);
std::string ExtendedStyleNames(std::uint32_t exStyle);

} // namespace report
