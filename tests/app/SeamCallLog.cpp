#include "tests/app/SeamCallLog.h"

#include <utility>

namespace apptest {
namespace {

std::vector<std::string> calls;
platform::Win32Api forwardTo{};

template <class Entry, class Fn>
struct Recording;

template <class Entry, class Result, class... Args>
struct Recording<Entry, Result(WINAPI*)(Args...)> {
    static Result WINAPI Call(Args... args)
    {
        SeamCallLog::Note(Entry::kName);
        return (forwardTo.*Entry::kMember)(args...);
    }
};

#define VANTREL_ENTRY_TAG(name)                                                                  \
    struct name##Entry {                                                                         \
        static constexpr const char* kName = #name;                                              \
        static constexpr auto kMember = &platform::Win32Api::name;                               \
    };
VANTREL_WIN32_OPERATIONS(VANTREL_ENTRY_TAG)
#undef VANTREL_ENTRY_TAG

} // namespace

SeamCallLog::SeamCallLog()
{
    forwardTo = api_.Original();
    calls.clear();
#define VANTREL_RECORD_ENTRY(name) api_->name = &Recording<name##Entry, decltype(platform::Win32Api::name)>::Call;
    VANTREL_WIN32_OPERATIONS(VANTREL_RECORD_ENTRY)
#undef VANTREL_RECORD_ENTRY
}

void SeamCallLog::Note(const std::string& event)
{
    // Logging allocates; the caller may be about to read the last-error value of the call before.
    const DWORD lastError = ::GetLastError();
    calls.push_back(event);
    ::SetLastError(lastError);
}

std::vector<std::string> SeamCallLog::Take() { return std::exchange(calls, {}); }

} // namespace apptest
