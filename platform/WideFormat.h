// The program's own wide-character formatter. The C runtimes disagree on what %s and %p mean for
// wide output, and the log's byte format must not depend on which runtime the program meets, so
// the four conversions the program uses are done here:
//   %s  a UTF-16 string up to its terminator, unchanged
//   %d  signed decimal, a minus sign for negatives, no padding
//   %x  unsigned 32-bit lower-case hexadecimal without leading zeros
//   %p  exactly 8 upper-case hexadecimal digits of the value taken as unsigned 32-bit
//   %%  a percent sign
// Any other character after % is written as it stands, the % included.
#pragma once

#include <cstdarg>
#include <cstddef>

namespace vantrel::platform {

// Writes at most max characters. When the whole output fits, returns its length and, if there is
// room left, a terminator follows it; when it does not fit, the first max characters are written,
// nothing terminates them, and the result is -1.
int FormatWideV(wchar_t* dest, std::size_t max, const wchar_t* format, va_list args);

int FormatWide(wchar_t* dest, std::size_t max, const wchar_t* format, ...);

} // namespace vantrel::platform
