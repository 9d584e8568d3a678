// The entry's first move, through the platform seam: the library search is restricted before the
// log tool runs, by whichever of the two system functions exists, and nothing about it can stop
// the run. Each function is made present, refused or missing through its own table entry.
#include "app/Entry.h"
#include "app/LibrarySearch.h"

#include "tests/support/SeamRecorder.h"
#include "tests/support/TempFiles.h"

#include <gtest/gtest.h>

#include <ostream>

namespace apptest {

using app::RunEntry;
using app::RestrictLibrarySearch;
using app::LibrarySearch;
using testsupport::SeamRecorder;

namespace {

enum class Offered { Missing, Succeeding, Refusing };

Offered setDefaultDllDirectories = Offered::Missing;
Offered setDllDirectory = Offered::Missing;
std::wstring modulePath;
int boxes = 0;

BOOL WINAPI FakeSetDefaultDllDirectories(DWORD flags)
{
    SeamRecorder::Note(flags == LOAD_LIBRARY_SEARCH_SYSTEM32 ? "SetDefaultDllDirectories(system32)"
                                                             : "SetDefaultDllDirectories(other)");
    return setDefaultDllDirectories == Offered::Succeeding;
}

BOOL WINAPI FakeSetDllDirectoryW(LPCWSTR folder)
{
    // Null would put the current folder back; only the empty string takes it out.
    SeamRecorder::Note(folder != nullptr && folder[0] == L'\0' ? "SetDllDirectoryW(\"\")" : "SetDllDirectoryW(other)");
    return setDllDirectory == Offered::Succeeding;
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
    std::vector<std::string> calls; // the restriction's platform calls, in order
};

void PrintTo(const SearchCase& searchCase, std::ostream* out) { *out << searchCase.name; }

const SearchCase kSearchCases[] = {
    {"BothPresent",
     Offered::Succeeding,
     Offered::Succeeding,
     LibrarySearch::SystemFolderOnly,
     {"SetDefaultDllDirectories(system32)"}},
    {"OnlySetDllDirectory",
     Offered::Missing,
     Offered::Succeeding,
     LibrarySearch::CurrentFolderRemoved,
     {"SetDllDirectoryW(\"\")"}},
    {"Neither", Offered::Missing, Offered::Missing, LibrarySearch::Unchanged, {}},
    {"StricterOneRefused",
     Offered::Refusing,
     Offered::Succeeding,
     LibrarySearch::CurrentFolderRemoved,
     {"SetDefaultDllDirectories(system32)", "SetDllDirectoryW(\"\")"}},
    {"BothRefused",
     Offered::Refusing,
     Offered::Refusing,
     LibrarySearch::Unchanged,
     {"SetDefaultDllDirectories(system32)", "SetDllDirectoryW(\"\")"}},
};

class EntryLibrarySearch : public ::testing::TestWithParam<SearchCase> {
protected:
    EntryLibrarySearch()
    {
        setDefaultDllDirectories = GetParam().setDefaultDllDirectories;
        setDllDirectory = GetParam().setDllDirectory;
        modulePath = folder.File(L"entry.exe");
        boxes = 0;
        api->SetDefaultDllDirectories =
            setDefaultDllDirectories != Offered::Missing ? &FakeSetDefaultDllDirectories : nullptr;
        api->SetDllDirectoryW = setDllDirectory != Offered::Missing ? &FakeSetDllDirectoryW : nullptr;
        api->GetModuleFileNameW = &FakeGetModuleFileNameW;
        api->MessageBoxW = &CountingMessageBoxW;
    }

    testsupport::TempFolder folder;
    vantrel::platform::ScopedApiOverride api;
};

} // namespace

TEST_P(EntryLibrarySearch, RestrictsTheSearchFirstThenRunsTheToolWhateverTheOutcome)
{
    SeamRecorder recorder;
    const std::vector<std::string>& restriction = GetParam().calls;
    EXPECT_EQ(GetParam().outcome, RestrictLibrarySearch());
    EXPECT_EQ(restriction, recorder.TakeNames());

    EXPECT_EQ(0, RunEntry(nullptr));
    const std::vector<std::string> calls = recorder.TakeNames();
    ASSERT_GT(calls.size(), restriction.size());
    // Nothing else may come first, not even a library look-up that could load from the folders
    // being taken out of the search.
    EXPECT_EQ(restriction, std::vector<std::string>(calls.begin(), calls.begin() + restriction.size()))
        << "the restriction must come before every other platform call of the entry";
    for (auto call = calls.begin() + restriction.size(); call != calls.end(); ++call)
        EXPECT_EQ(std::string::npos, call->find("DllDirector")) << "repeated later: " << *call;
    EXPECT_EQ(1, boxes) << "the tool did not run to its end";
}

INSTANTIATE_TEST_SUITE_P(, EntryLibrarySearch, ::testing::ValuesIn(kSearchCases),
                         [](const ::testing::TestParamInfo<SearchCase>& info) { return info.param.name; });

} // namespace apptest
