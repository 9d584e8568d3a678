// What a process holds of the system's resources: kernel handles, GDI objects and USER objects.
// The leak tests compare these before and after running an operation many times.
#pragma once

#include "platform/Win32Api.h"

#include <functional>
#include <string>

namespace testsupport {

struct ResourceCounts {
    DWORD handles = 0;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;

    bool operator==(const ResourceCounts& other) const
    {
        return handles == other.handles && gdiObjects == other.gdiObjects && userObjects == other.userObjects;
    }
};

std::string Describe(const ResourceCounts& counts);

// This process's counts. GetProcessHandleCount and GetGuiResources are asked first; where they
// only answer 0 (Wine 8 implements neither), the counts come from the process's own handle table,
// its GDI handle table and the windows it owns.
ResourceCounts CountProcessResources();

DWORD ProcessHandleCount();

// Runs `operation` once so that one-time work (a library bound, an atom cached) is done, then
// `iterations` times more, and expects every count to be back where it was after the first run.
void ExpectNoResourceLeak(const std::function<void()>& operation, int iterations = 1000);

// The proof that a leak check can fail: `installFault` puts in the table a fake that keeps something
// at every run, and `check` must then report a leak in a message holding `report`. The fault is
// gone afterwards; what it kept is the caller's to count and free.
void ExpectLeakReported(const std::function<void(vantrel::platform::ScopedApiOverride&)>& installFault,
                        const std::function<void()>& check, const std::string& report);

} // namespace testsupport
