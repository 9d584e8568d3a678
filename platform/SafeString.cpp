#include "SafeString.h"

#include "WideFormat.h"

#include <cstdarg>

namespace vantrel::platform {
namespace {

bool IsValidSize(std::size_t chars) { return chars != 0 && chars <= kSafeStringMaxChars; }

// Copies while there is room and source left; when the room runs out the last character written
// gives way to the terminator and the cut is reported.
HRESULT CopyBounded(wchar_t* dest, std::size_t room, const wchar_t* src, std::size_t srcLimit)
{
    std::size_t length = 0;
    for (; length < room && length < srcLimit && src[length] != L'\0'; ++length) dest[length] = src[length];
    return TerminateWithin(dest, room, length) == length ? S_OK : kSafeStringInsufficientBuffer;
}

} // namespace

HRESULT SafeStringCbCat(wchar_t* dest, std::size_t destBytes, const wchar_t* src)
{
    const std::size_t chars = destBytes / sizeof(wchar_t);
    if (!IsValidSize(chars)) return kSafeStringInvalidArgument;

    std::size_t length = 0;
    while (length < chars && dest[length] != L'\0') ++length;
    if (length == chars) return kSafeStringInvalidArgument;

    return CopyBounded(dest + length, chars - length, src, kSafeStringMaxChars);
}

HRESULT SafeStringCchCopy(wchar_t* dest, std::size_t destChars, const wchar_t* src)
{
    if (!IsValidSize(destChars)) return kSafeStringInvalidArgument;
    return CopyBounded(dest, destChars, src, kSafeStringMaxChars - 1);
}

HRESULT SafeStringCbPrintf(wchar_t* dest, std::size_t destBytes, const wchar_t* format, ...)
{
    const std::size_t chars = destBytes / sizeof(wchar_t);
    if (!IsValidSize(chars)) return kSafeStringInvalidArgument;

    const std::size_t max = chars - 1;
    va_list args;
    va_start(args, format);
    const int written = FormatWideV(dest, max, format, args);
    va_end(args);

    // A cut output (-1) filled the whole room it was given, one short of the destination's.
    const std::size_t length = written < 0 ? chars : static_cast<std::size_t>(written);
    return TerminateWithin(dest, chars, length) == length ? S_OK : kSafeStringInsufficientBuffer;
}

} // namespace vantrel::platform
