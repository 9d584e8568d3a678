// Numbers as the page and the messages show them, the same whatever the locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace report {

template <class Integer, std::enable_if_t<std::is_integral_v<Integer>, int> = 0>
std::string Decimal(Integer value)
{
    return std::to_string(value);
}

// Eight upper-case hexadecimal digits, as the log writes handles: "0001004C". The first form
// writes them into `digits` and asks for no memory.
std::string_view Hex8(std::uint32_t value, char (&digits)[8]);
std::string Hex8(std::uint32_t value);
// Lower-case hexadecimal digits without leading zeros, as the log writes styles: "14cf0000".
std::string HexDigits(std::uint32_t value);
// "2026-12-08 15:07 UTC" from seconds since 1970.
std::string UtcTime(std::int64_t seconds);

} // namespace report
