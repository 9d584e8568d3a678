// Functions that only some systems offer are found at run time, through the platform table (see
// VANTREL_RUNTIME_FUNCTIONS), so that a test can make one of them "missing" or replace it like any
// other entry. Callers read as a plain branch:
//   const auto getSettings = vantrel::platform::Find<&vantrel::platform::Win32Api::SHGetSettings>();
//   if (!getSettings) return ...;   // this system lacks it
//   getSettings(...);
#pragma once

#include "UniqueResource.h"
#include "Win32Api.h"

#include <utility>

namespace vantrel::platform {

// Loads a library from the system folder by its full path, never through the default search
// order, so that a DLL of the same name planted beside the program or in the current folder is
// never run. Returns null when the library cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* fileName);

// A run-time function as found for one use: null when the system lacks it. A per-call function's
// library stays loaded for as long as this object lives, and no longer.
template <class Fn>
class FoundFunction {
public:
    explicit FoundFunction(Fn function, UniqueLibrary library = UniqueLibrary(), bool libraryMissing = false)
        : function_(function), library_(std::move(library)), libraryMissing_(libraryMissing)
    {
    }
    explicit operator bool() const { return function_ != nullptr; }
    Fn Get() const { return function_; }
    // Calls the function, which must have been found.
    template <class... Args>
    decltype(auto) operator()(Args&&... args) const
    {
        return function_(std::forward<Args>(args)...);
    }
    // The function is missing because its whole library could not be loaded, which some callers
    // treat apart from a library that lacks just this function.
    bool LibraryMissing() const { return libraryMissing_; }

private:
    Fn function_;
    UniqueLibrary library_;
    bool libraryMissing_;
};

namespace detail {

template <class Fn>
Fn LookUp(HMODULE module, const char* name)
{
    if (module == nullptr) return nullptr;
    // FARPROC is the platform's generic code pointer; going through void* states the intent and
    // keeps the compiler's function-cast check quiet.
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(Api().GetProcAddress(module, name)));
}

} // namespace detail

template <auto Entry>
FoundFunction<typename RuntimeFunctionTraits<Entry>::Function> Find()
{
    using Traits = RuntimeFunctionTraits<Entry>;
    using Fn = typename Traits::Function;
    const RuntimeEntry<Fn>& entry = Api().*Entry;
    if (entry.Replaced()) return FoundFunction<Fn>(entry.Function());
    if constexpr (Traits::kBinding == Binding::Preloaded) {
        static const Fn found = detail::LookUp<Fn>(Api().GetModuleHandleW(Traits::kLibrary), Traits::kName);
        return FoundFunction<Fn>(found);
    } else if constexpr (Traits::kBinding == Binding::PerProcess) {
        // Found once; the library is never released, so the address stays good for the process.
        static const Fn found = detail::LookUp<Fn>(LoadSystemLibrary(Traits::kLibrary), Traits::kName);
        return FoundFunction<Fn>(found);
    } else {
        UniqueLibrary library(LoadSystemLibrary(Traits::kLibrary));
        const bool libraryMissing = !library.IsValid();
        const Fn found = detail::LookUp<Fn>(library.Get(), Traits::kName);
        if (found == nullptr) library.Reset();
        return FoundFunction<Fn>(found, std::move(library), libraryMissing);
    }
}

} // namespace vantrel::platform
