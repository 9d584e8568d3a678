// Bounded operations on fixed UTF-16 arrays, with the status codes of the platform's StrSafe
// family: they never write past the destination, always leave it terminated when its size is
// valid, and say when the result was cut.
#pragma once

#include "WindowsHeaders.h"

#include <cstddef>

namespace vantrel::platform {

constexpr HRESULT kSafeStringInvalidArgument = static_cast<HRESULT>(0x80070057L);
constexpr HRESULT kSafeStringInsufficientBuffer = static_cast<HRESULT>(0x8007007AL);
constexpr std::size_t kSafeStringMaxChars = 2147483647;

// Appends src to the terminated string in dest; destBytes / 2 characters of room.
HRESULT SafeStringCbCat(wchar_t* dest, std::size_t destBytes, const wchar_t* src);

// Formats with the program's own formatter (WideFormat.h); destBytes / 2 characters of room.
HRESULT SafeStringCbPrintf(wchar_t* dest, std::size_t destBytes, const wchar_t* format, ...);

// Copies src into dest; destChars characters of room.
HRESULT SafeStringCchCopy(wchar_t* dest, std::size_t destChars, const wchar_t* src);

// Ends a text of length characters that the system wrote into room characters (room >= 1),
// terminated or not: at its end when the terminator fits, else on the room's last character, which
// the terminator replaces. Returns the length of the text kept.
inline std::size_t TerminateWithin(wchar_t* text, std::size_t room, std::size_t length)
{
    const std::size_t kept = length < room ? length : room - 1;
    text[kept] = L'\0';
    return kept;
}

} // namespace vantrel::platform
