// COM on the calling thread for as long as an object lives, where the system has ole32 (found at
// run time: a program that never asks for COM never loads it).
#pragma once

#include "Win32Api.h"

namespace vantrel::platform {

// Joins a single-threaded apartment, OLE1 DDE left out as the shell asks, and leaves it when the
// object dies. CoUninitialize is found before the thread joins: a thread that could not leave
// again never joins. An apartment the thread already has serves too: of the same kind it is joined
// once more (and left once more), of the other kind it is used as it is and never left.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // Whether COM can be used on this thread while the object lives.
    bool Usable() const { return usable_; }

private:
    decltype(&::CoUninitialize) leave_ = nullptr; // set only when the thread joined
    bool usable_ = false;
};

} // namespace vantrel::platform
