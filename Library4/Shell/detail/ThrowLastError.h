// How the module reports a system call that failed in a way it cannot work around: one throw
// that names its own place and the thread's last-error value, so no throw site keeps a file name
// of its own. Internal to the module.
#pragma once

#include "Library4/Shell/ShellWorkers.h"
#include "platform/Win32Api.h"

#include <cstddef>

namespace Library4::Shell::detail {

// A source file's name as the exception gives it: relative to the repository, as the build maps
// the source folder away (-fmacro-prefix-map), and with backslashes, in static storage.
template <std::size_t N>
struct SourceFileName {
    constexpr explicit SourceFileName(const char (&path)[N]) : text{}
    {
        for (std::size_t i = 0; i < N; ++i) text[i] = path[i] == '/' ? '\\' : path[i];
    }
    char text[N];
};

[[noreturn]] inline void ThrowLastError(const char* file, int line)
{
    // Read before anything else runs: the next system call may change it.
    const DWORD lastError = vantrel::platform::Api().GetLastError();
    throw UnknownErrorException(0, lastError, file, line, 0);
}

} // namespace Library4::Shell::detail

// Throws UnknownErrorException for the system call that has just failed, naming this line.
#define LIBRARY4_THROW_LAST_ERROR()                                                               \
    do {                                                                                          \
        static constexpr ::Library4::Shell::detail::SourceFileName throwingFile(__FILE__);        \
        ::Library4::Shell::detail::ThrowLastError(throwingFile.text, __LINE__);                   \
    } while (false)
