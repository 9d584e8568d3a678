// The entry's first move, through the platform seam: the library search is restricted before the
// log tool runs, by whichever of the two system functions exists, and nothing about it can stop
// the run. Each function is made present, refused or missing by a fake GetProcAddress.
#include "app/Entry.h"
#include "app/LibrarySearch.h"

#include "tests/app/SeamCallLog.h"
#include "tests/support/TempFiles.h"

#include <gtest/gtest.h>

#include <ostream>

using apptests::SeamCallLog;

namespace {

enum class Offered { Missing, Succeeding, Refusing };

Offered setDefaultDllDirectories = Offered::Missing;
Offered setDllDirectory = Offered::Missing;
std::wstring modulePath;
int boxes = 0;

BOOL WINAPI FakeSetDefaultDllDirectories(DWORD flags)
{
    SeamCallLog::Note(flags == LOAD_LIBRARY_SEARCH_SYSTEM32 ? "SetDefaultDllDirectories(system32)"
                                                             : "SetDefaultDllDirectories(other)");
    return setDefaultDllDirectories == Offered::Succeeding;
}

BOOL WINAPI FakeSetDllDirectoryW(LPCWSTR folder)
{
    // Null would put the current folder back; only the empty string takes it out.
    SeamCallLog::Note(folder != nullptr && folder[0] == L'\0' ? "SetDllDirectoryW(\"\")" : "SetDllDirectoryW(other)");
    return setDllDirectory == Offered::Succeeding;
}

template <class Fn>
FARPROC Offer(Offered offered, Fn fake)
{
    return offered == Offered::Missing ? nullptr : reinterpret_cast<FARPROC>(reinterpret_cast<void*>(fake));
}

FARPROC WINAPI OfferingGetProcAddress(HMODULE module, LPCSTR name)
{
    const std::string function = IS_INTRESOURCE(name) ? "" : name;
    if (function != "SetDefaultDllDirectories" && function != "SetDllDirectoryW") return ::GetProcAddress(module, name);
    EXPECT_EQ(::GetModuleHandleW(L"kernel32.dll"), module) << name << " looked up in the wrong module";
    return function == "SetDllDirectoryW" ? Offer(setDllDirectory, &FakeSetDllDirectoryW)
                                          : Offer(setDefaultDllDirectories, &FakeSetDefaultDllDirectories);
}

DWORD WINAPI FakeGetModuleFileNameW(HMODULE, LPWSTR out, DWORD size)
{
    ::lstrcpynW(out, modulePath.c_str(), static_cast<int>(size));
    return static_cast<DWORD>(::lstrlenW(out));
}

int WINAPI CountingMessageBoxW(HWND, LPCWSTR, LPCWSTR, UINT)
{
    ++boxes;
    return IDOK;
}

struct SearchCase {
    const char* name;
    Offered setDefaultDllDirectories;
    Offered setDllDirectory;
    LibrarySearch outcome;
    std::vector<std::string> calls;  // the restriction's platform calls, in order
};

void PrintTo(const SearchCase& searchCase, std::ostream* out) { *out << searchCase.name; }

const SearchCase kSearchCases[] = {
    {"BothPresent", Offered::Succeeding, Offered::Succeeding, LibrarySearch::SystemFolderOnly,
     {"GetModuleHandleW", "GetProcAddress", "SetDefaultDllDirectories(system32)"}},
    {"OnlySetDllDirectory", Offered::Missing, Offered::Succeeding, LibrarySearch::CurrentFolderRemoved,
     {"GetModuleHandleW", "GetProcAddress", "GetProcAddress", "SetDllDirectoryW(\"\")"}},
    {"Neither", Offered::Missing, Offered::Missing, LibrarySearch::Unchanged,
     {"GetModuleHandleW", "GetProcAddress", "GetProcAddress"}},
    {"StricterOneRefused", Offered::Refusing, Offered::Succeeding, LibrarySearch::CurrentFolderRemoved,
     {"GetModuleHandleW", "GetProcAddress", "SetDefaultDllDirectories(system32)", "GetProcAddress",
      "SetDllDirectoryW(\"\")"}},
    {"BothRefused", Offered::Refusing, Offered::Refusing, LibrarySearch::Unchanged,
     {"GetModuleHandleW", "GetProcAddress", "SetDefaultDllDirectories(system32)", "GetProcAddress",
      "SetDllDirectoryW(\"\")"}},
};

class EntryLibrarySearch : public ::testing::TestWithParam<SearchCase> {
protected:
    EntryLibrarySearch()
    {
        setDefaultDllDirectories = GetParam().setDefaultDllDirectories;
        setDllDirectory = GetParam().setDllDirectory;
        modulePath = folder.File(L"entry.exe");
        boxes = 0;
        api->GetProcAddress = &OfferingGetProcAddress;
        api->GetModuleFileNameW = &FakeGetModuleFileNameW;
        api->MessageBoxW = &CountingMessageBoxW;
    }

    testsupport::TempFolder folder;
    platform::ScopedApiOverride api;
};

} // namespace

TEST_P(EntryLibrarySearch, RestrictsTheSearchFirstThenRunsTheToolWhateverTheOutcome)
{
    SeamCallLog log;
    const std::vector<std::string>& restriction = GetParam().calls;
    EXPECT_EQ(GetParam().outcome, RestrictLibrarySearch());
    EXPECT_EQ(restriction, log.Take());

    EXPECT_EQ(0, RunEntry(nullptr));
    const std::vector<std::string> calls = log.Take();
    ASSERT_GT(calls.size(), restriction.size());
    EXPECT_EQ(restriction, std::vector<std::string>(calls.begin(), calls.begin() + restriction.size()))
        << "the restriction must come before every other platform call of the entry";
    for (auto call = calls.begin() + restriction.size(); call != calls.end(); ++call)
        EXPECT_EQ(std::string::npos, call->find("DllDirector")) << "repeated later: " << *call;
    EXPECT_EQ(1, boxes) << "the tool did not run to its end";
}

INSTANTIATE_TEST_SUITE_P(, EntryLibrarySearch, ::testing::ValuesIn(kSearchCases),
                         [](const ::testing::TestParamInfo<SearchCase>& info) { return info.param.name; });
