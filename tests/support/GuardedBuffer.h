// A destination of `room` characters followed by guard characters, to catch a write past the room:
// the guards hold kUntouched from the start and must still hold it afterwards.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace testsupport {

constexpr wchar_t kUntouched = 0xCCCC;

struct GuardedBuffer {
    static constexpr std::size_t kGuard = 8;

    // The room starts as `fill`: kUntouched, so that "nothing written" can be seen too.
    explicit GuardedBuffer(std::size_t room, wchar_t fill = kUntouched) : room(room), data(room + kGuard, kUntouched)
    {
        std::fill_n(data.begin(), room, fill);
    }

    wchar_t* Get() { return data.data(); }
    int Room() const { return static_cast<int>(room); }
    std::size_t Bytes() const { return room * sizeof(wchar_t); }
    // Up to the first terminator.
    std::wstring Text() const { return std::wstring(data.data()); }
    bool GuardIntact() const
    {
        return std::all_of(data.begin() + static_cast<std::ptrdiff_t>(room), data.end(),
                           [](wchar_t c) { return c == kUntouched; });
    }

    std::size_t room;
    std::vector<wchar_t> data;
};

} // namespace testsupport
