// Exceptions and the system's callbacks. With MinGW's 32-bit unwinder an exception cannot pass
// through a system DLL's frames (an EnumWindows callback): it would end the process. So a
// callback's work runs guarded, the exception it throws is kept and the enumeration stopped, and
// the caller raises it again once the enumeration has returned.
#pragma once

#include "Win32Api.h"

#include <exception>
#include <utility>

namespace vantrel::platform {

// Runs a callback's work, which answers TRUE to go on or FALSE to stop. An exception it throws is
// kept in `failure` and stops the enumeration.
template <class Work>
BOOL GuardCallback(std::exception_ptr& failure, Work&& work) noexcept
{
    try {
        return std::forward<Work>(work)();
    } catch (...) {
        failure = std::current_exception();
        return FALSE;
    }
}

// One pass of EnumWindows with a guarded callback, then the exception the callback kept, if any,
// is thrown here, outside the system's frames.
inline void EnumWindowsGuarded(WNDENUMPROC callback, LPARAM parameter, const std::exception_ptr& failure)
{
    Api().EnumWindows(callback, parameter);
    if (failure) std::rethrow_exception(failure);
}

} // namespace vantrel::platform
