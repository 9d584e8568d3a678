#include "tests/support/SeamRecorder.h"

#include <gtest/gtest.h>

#include <mutex>
#include <type_traits>

namespace testsupport {
namespace {

// The forwarders run on every thread that calls the table.
SlimLock lock;
// Never shrinks while a recorder lives, so a call in flight can fill in its own record by index.
std::vector<SeamCall> calls;
std::size_t taken = 0;
vantrel::platform::Win32Api forwardTo{};
bool recording = false;

template <class T>
constexpr bool kIsHandle = std::is_same_v<T, HANDLE> || std::is_same_v<T, HKEY> || std::is_same_v<T, HMODULE>;

HANDLE FirstHandle() { return nullptr; }
template <class T, class... Rest>
HANDLE FirstHandle(T first, Rest... rest)
{
    if constexpr (kIsHandle<T>)
        return reinterpret_cast<HANDLE>(first);
    else
        return FirstHandle(rest...);
}

std::optional<std::wstring> FirstText() { return std::nullopt; }
template <class T, class... Rest>
std::optional<std::wstring> FirstText(T first, Rest... rest)
{
    if constexpr (!std::is_same_v<T, const wchar_t*>) return FirstText(rest...);
    // Null, or an atom or resource number in place of a name.
    else if (reinterpret_cast<ULONG_PTR>(first) >> 16 == 0)
        return std::nullopt;
    else
        return std::wstring(first);
}

std::size_t Append(SeamCall call)
{
    std::lock_guard<SlimLock> hold(lock);
    calls.push_back(std::move(call));
    return calls.size() - 1;
}

#define VANTREL_ENTRY_TAG(name)                                             \
    struct name##Entry {                                                    \
        static constexpr const char* kName = #name;                         \
        static constexpr auto kMember = &vantrel::platform::Win32Api::name; \
    };
VANTREL_WIN32_OPERATIONS(VANTREL_ENTRY_TAG)
#undef VANTREL_ENTRY_TAG

// What some entries add once they return; the rest add nothing.
template <class Entry, class... T>
void Complete(Entry, SeamCall&, const T&...)
{
}
void Complete(RegOpenKeyExWEntry, SeamCall& call, LONG status, HKEY, LPCWSTR, DWORD, REGSAM access, PHKEY key)
{
    call.handle = status == ERROR_SUCCESS ? reinterpret_cast<HANDLE>(*key) : nullptr;
    call.detail = access;
}
void Complete(LoadLibraryExWEntry, SeamCall& call, HMODULE, LPCWSTR, HANDLE, DWORD flags) { call.detail = flags; }
void Complete(WaitForSingleObjectEntry, SeamCall& call, DWORD, HANDLE, DWORD timeout) { call.detail = timeout; }

template <class Entry, class Fn>
struct Recording;

template <class Entry, class Result, class... Args>
struct Recording<Entry, Result(WINAPI*)(Args...)> {
    static Result WINAPI Call(Args... args)
    {
        // Recorded before the call, so that the order is the order in which calls began.
        DWORD error = ::GetLastError();
        const std::size_t index =
            Append({Entry::kName, ::GetCurrentThreadId(), FirstHandle(args...), FirstText(args...), 0});
        ::SetLastError(error);
        const Result result = (forwardTo.*Entry::kMember)(args...);
        error = ::GetLastError();
        {
            std::lock_guard<SlimLock> hold(lock);
            if constexpr (kIsHandle<Result>) calls[index].handle = reinterpret_cast<HANDLE>(result);
            Complete(Entry{}, calls[index], result, args...);
        }
        ::SetLastError(error);
        return result;
    }
};

// An operation that returns nothing (GetSystemTimeAsFileTime) has nothing to fill in after it.
template <class Entry, class... Args>
struct Recording<Entry, void(WINAPI*)(Args...)> {
    static void WINAPI Call(Args... args)
    {
        const DWORD error = ::GetLastError();
        Append({Entry::kName, ::GetCurrentThreadId(), FirstHandle(args...), FirstText(args...), 0});
        ::SetLastError(error);
        (forwardTo.*Entry::kMember)(args...);
    }
};

} // namespace

SeamRecorder::SeamRecorder()
{
    EXPECT_FALSE(recording) << "one seam recorder at a time";
    recording = true;
    forwardTo = api_.Original();
    calls.clear();
    taken = 0;
// On x86-64 the va_list of FormatMessageW's arguments is a pointer marked for the Microsoft ABI;
// the mark means nothing to a template argument, and the recording only passes the pointer on.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wignored-attributes"
#define VANTREL_RECORD_ENTRY(name) \
    api_->name = &Recording<name##Entry, decltype(vantrel::platform::Win32Api::name)>::Call;
    VANTREL_WIN32_OPERATIONS(VANTREL_RECORD_ENTRY)
#undef VANTREL_RECORD_ENTRY
#pragma GCC diagnostic pop
}

SeamRecorder::~SeamRecorder() { recording = false; }

void SeamRecorder::Note(const char* name)
{
    const DWORD error = ::GetLastError();
    Append({name, ::GetCurrentThreadId(), nullptr, std::nullopt, 0});
    ::SetLastError(error);
}

void SeamRecorder::ForEach(const std::function<void(const SeamCall&)>& visit) const
{
    std::lock_guard<SlimLock> hold(lock);
    for (std::size_t i = taken; i < calls.size(); ++i) visit(calls[i]);
}

std::vector<std::string> SeamRecorder::TakeNames()
{
    std::lock_guard<SlimLock> hold(lock);
    std::vector<std::string> names;
    for (; taken < calls.size(); ++taken) names.emplace_back(calls[taken].name);
    return names;
}

void SeamRecorder::Forget()
{
    std::lock_guard<SlimLock> hold(lock);
    taken = calls.size();
}

} // namespace testsupport
