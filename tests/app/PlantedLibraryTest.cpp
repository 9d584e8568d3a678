// Under the real loader: a DLL with a made-up name, planted beside a downloaded program, is found
// by a bare-name load before the library search is restricted and not after it. A helper process
// does both loads and reports through its exit code, so that the restriction, which lasts for the
// whole process, never touches the test process itself.
#include "app/LibrarySearch.h"

#include "tests/support/HelperProcess.h"
#include "tests/support/KnownPaths.h"
#include "tests/support/TempFiles.h"

#include <gtest/gtest.h>

namespace apptest {

using app::RestrictLibrarySearch;
using app::LibrarySearch;

namespace {

constexpr wchar_t kPlantedName[] = L"vantrel-planted-7c41.dll";

// The helper's exit codes.
enum PlantedOutcome : DWORD {
    kNotFoundAfterRestriction = 0,
    kNotFoundBefore = 10,             // the check would prove nothing
    kFoundElsewhereBefore = 11,       // loaded, but not the planted copy
    kStillLoadedAfterFree = 12,       // the second load would only reuse the module by its name
    kOtherRestriction = 13,           // the system's stricter function was not the one that took
    kFoundAfterRestriction = 14,      // the planted DLL was loaded after the restriction
    kOtherErrorAfterRestriction = 15, // the load after failed, but not as "not found"
};

} // namespace

// args: the planted DLL's full path.
VANTREL_TEST_HELPER(LoadsPlantedLibrary)
{
    HMODULE before = ::LoadLibraryW(kPlantedName);
    if (before == nullptr) return kNotFoundBefore;
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(before, path, MAX_PATH);
    const bool planted = !args.empty() && ::lstrcmpiW(path, args[0].c_str()) == 0;
    ::FreeLibrary(before);
    if (!planted) return kFoundElsewhereBefore;
    if (::GetModuleHandleW(kPlantedName) != nullptr) return kStillLoadedAfterFree;

    if (RestrictLibrarySearch() != LibrarySearch::SystemFolderOnly) return kOtherRestriction;

    ::SetLastError(0xDEADBEEF);
    HMODULE after = ::LoadLibraryW(kPlantedName);
    if (after != nullptr) {
        ::FreeLibrary(after);
        return kFoundAfterRestriction;
    }
    return ::GetLastError() == ERROR_MOD_NOT_FOUND ? kNotFoundAfterRestriction : kOtherErrorAfterRestriction;
}

TEST(PlantedLibrary, BesideTheProgramIsFoundBeforeTheRestrictionAndNotAfter)
{
    // A copy of this test program stands in for the downloaded one, the DLL beside it; the current
    // folder is another, so only the program's folder can offer the DLL.
    testsupport::TempFolder downloads;
    testsupport::TempFolder elsewhere;
    const std::wstring program = downloads.File(L"downloaded.exe");
    const std::wstring planted = downloads.File(kPlantedName);
    ASSERT_TRUE(::CopyFileW(testsupport::OwnExecutablePath().c_str(), program.c_str(), TRUE)) << ::GetLastError();
    ASSERT_TRUE(::CopyFileW(VANTREL_PLANTABLE_DLL, planted.c_str(), TRUE)) << ::GetLastError();

    std::wstring commandLine = L"\"" + program + L"\" --helper=LoadsPlantedLibrary \"" + planted + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION helper{};
    ASSERT_TRUE(::CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                 elsewhere.Path().c_str(), &startup, &helper))
        << ::GetLastError();
    DWORD code = STILL_ACTIVE;
    if (::WaitForSingleObject(helper.hProcess, 60000) == WAIT_OBJECT_0) {
        ::GetExitCodeProcess(helper.hProcess, &code);
    } else {
        ::TerminateProcess(helper.hProcess, STILL_ACTIVE);
        ::WaitForSingleObject(helper.hProcess, 10000);
    }
    ::CloseHandle(helper.hThread);
    ::CloseHandle(helper.hProcess);
    EXPECT_EQ(static_cast<DWORD>(kNotFoundAfterRestriction), code) << "see PlantedOutcome";
}

} // namespace apptest
