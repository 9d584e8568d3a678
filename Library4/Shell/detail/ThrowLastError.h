// How the module reports a system call that failed in a way it cannot work around: one throw
// that names its own place and the thread's last-error value, so no throw site keeps a file name
// of its own. Internal to the module.
#pragma once

#include "Library4/Shell/ShellWorkers.h"
#include "platform/WindowsHeaders.h"

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
    const DWORD lastError = ::GetLastError();
    throw UnknownErrorException(0, lastError, file, line, 0);
}

template <class T>
T ThrowLastErrorIfNull(T result, const char* file, int line)
{
    if (result == nullptr) ThrowLastError(file, line);
    return result;
}

} // namespace Library4::Shell::detail

// Yields the result of call, a system call that fails with null; when it has failed, throws
// UnknownErrorException instead, naming this line. A check reads as one expression:
//   thread = LIBRARY4_THROW_LAST_ERROR_IF_NULL(Api().CreateThread(...));
#define LIBRARY4_THROW_LAST_ERROR_IF_NULL(call)                                                \
    ::Library4::Shell::detail::ThrowLastErrorIfNull(                                           \
        (call),                                                                                \
        [] {                                                                                   \
            static constexpr ::Library4::Shell::detail::SourceFileName throwingFile(__FILE__); \
            return throwingFile.text;                                                          \
        }(),                                                                                   \
        __LINE__)
