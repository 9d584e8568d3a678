// Numbers as the page and the messages show them, the same whatever the locale.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>

namespace report {

template <class Integer, std::enable_if_t<std::is_integral_v<Integer>, int> = 0>
std::string Decimal(Integer value)
{
    return std::to_string(value);
}

// The upper-case digit of the low four bits.
inline char HexDigit(unsigned value) { return "0123456789ABCDEF"[value & 0xF]; }
// Eight upper-case digits, as the log writes handles.
std::string Hex8(std::uint32_t value);
// "2026-12-08 15:07 UTC" from seconds since 1970.
std::string UtcTime(std::int64_t seconds);

} // namespace report
