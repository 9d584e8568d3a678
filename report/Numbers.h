// Numbers as the page shows them, the same whatever the locale.
#pragma once

#include <cstdint>
#include <string>

namespace report {

std::string Decimal(std::int64_t value);
// Eight upper-case digits, as the log writes handles.
std::string Hex8(std::uint32_t value);
// "2026-12-08 15:07 UTC" from seconds since 1970.
std::string UtcTime(std::int64_t seconds);

} // namespace report
