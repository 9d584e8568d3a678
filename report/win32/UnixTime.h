// vantrel-report's Windows code: the system's clock and file times as the portable code counts
// time.
#pragma once

#include "platform/WindowsHeaders.h"

#include <cstdint>

namespace report {

// FILETIME counts 100 ns from 1601, UTC; the model counts whole seconds from 1970, UTC.
inline std::int64_t UnixTime(const FILETIME& time)
{
    const std::uint64_t ticks = (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / 10000000) - 11644473600;
}

} // namespace report
