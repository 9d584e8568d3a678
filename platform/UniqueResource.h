// Small move-only owners for the handles, snapshots, libraries, keys and COM references that the
// logic opens. Each system resource closes through the platform table, so a test that records
// closes sees them, and each owner keeps the caller's last-error value: closing must not hide why
// the work before it failed.
#pragma once

#include "Win32Api.h"

#include <utility>

namespace vantrel::platform {

template <class Traits>
class UniqueResource {
public:
    using Value = typename Traits::Value;

    UniqueResource() = default;
    explicit UniqueResource(Value value) : value_(value) {}
    ~UniqueResource() { Reset(); }

    UniqueResource(UniqueResource&& other) noexcept : value_(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    bool IsValid() const { return Traits::IsValid(value_); }
    Value Get() const { return value_; }

    Value Release() { return std::exchange(value_, Traits::Invalid()); }

    void Reset(Value value = Traits::Invalid()) { CloseKeepingLastError(std::exchange(value_, value)); }

    // Closes what is held now and says whether the system accepted the close: for a file written
    // through a cache, a failed close can mean data that never reached the disk.
    bool Close() { return CloseKeepingLastError(Release()); }

    // For out-parameters: releases what is held and hands out the slot.
    Value* Put()
    {
        Reset();
        return &value_;
    }

private:
    // True when nothing was held or the system accepted the close.
    static bool CloseKeepingLastError(Value value)
    {
        if (!Traits::IsValid(value)) return true;
        const DWORD lastError = ::GetLastError();
        const bool closed = Traits::Close(value);
        ::SetLastError(lastError);
        return closed;
    }

    Value value_ = Traits::Invalid();
};

// Kernel handles: OpenProcess fails with NULL, CreateToolhelp32Snapshot with INVALID_HANDLE_VALUE;
// both count as "nothing held".
struct HandleTraits {
    using Value = HANDLE;
    static Value Invalid() { return nullptr; }
    static bool IsValid(Value v) { return v != nullptr && v != INVALID_HANDLE_VALUE; }
    static bool Close(Value v) { return Api().CloseHandle(v) != FALSE; }
};

struct LibraryTraits {
    using Value = HMODULE;
    static Value Invalid() { return nullptr; }
    static bool IsValid(Value v) { return v != nullptr; }
    static bool Close(Value v) { return Api().FreeLibrary(v) != FALSE; }
};

struct RegistryKeyTraits {
    using Value = HKEY;
    static Value Invalid() { return nullptr; }
    static bool IsValid(Value v) { return v != nullptr; }
    static bool Close(Value v) { return Api().RegCloseKey(v) == ERROR_SUCCESS; }
};

// A reference to a COM object, given back by its own Release rather than through the table.
template <class Interface>
struct ComReferenceTraits {
    using Value = Interface*;
    static Value Invalid() { return nullptr; }
    static bool IsValid(Value v) { return v != nullptr; }
    static bool Close(Value v)
    {
        v->Release();
        return true;
    }
};

using UniqueHandle = UniqueResource<HandleTraits>;
using UniqueLibrary = UniqueResource<LibraryTraits>;
using UniqueRegistryKey = UniqueResource<RegistryKeyTraits>;
template <class Interface>
using UniqueComReference = UniqueResource<ComReferenceTraits<Interface>>;

} // namespace vantrel::platform
