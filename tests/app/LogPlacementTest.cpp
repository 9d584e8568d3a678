// The program writes its own log next to itself and nothing anywhere else: not into the folder it
// was started from, not into a file of the same name there, not under a name cut at a folder's dot.
#include "tests/app/ProgramRun.h"
#include "tests/support/TempFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace apptest {

using testsupport::ReadBytes;
using testsupport::TempFolder;

namespace {

std::vector<std::wstring> Sorted(std::vector<std::wstring> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

// A folder below a TempFolder, removed with its files.
class SubFolder {
public:
    SubFolder(const TempFolder& parent, const std::wstring& name) : path_(parent.File(name))
    {
        EXPECT_TRUE(::CreateDirectoryW(path_.c_str(), nullptr)) << ::GetLastError();
    }
    ~SubFolder()
    {
        for (const std::wstring& name : Files()) ::DeleteFileW(File(name).c_str());
        ::RemoveDirectoryW(path_.c_str());
    }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }
    std::vector<std::wstring> Files() const { return Sorted(testsupport::FilesIn(path_)); }
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

} // namespace

TEST(LogPlacement, AFileNamedLikeTheLogInTheStartingFolderIsLeftAlone)
{
    for (const bool heldOpen : {false, true}) {
        SCOPED_TRACE(heldOpen ? "held open elsewhere" : "not held");
        TempFolder root;
        SubFolder program(root, L"program");
        SubFolder start(root, L"start");
        const std::wstring exe = program.File(L"vantrel.exe");
        ASSERT_TRUE(::CopyFileW(VANTREL_TEST_EXE, exe.c_str(), FALSE)) << ::GetLastError();
        const std::string usersBytes = "a user's own vantrel.txt\r\n\x01\xFF";
        testsupport::WriteBytes(start.File(L"vantrel.txt"), usersBytes);
        HANDLE holder = heldOpen ? ::CreateFileW(start.File(L"vantrel.txt").c_str(), GENERIC_READ, 0, nullptr,
                                                 OPEN_EXISTING, 0, nullptr)
                                 : INVALID_HANDLE_VALUE;
        ASSERT_EQ(heldOpen, holder != INVALID_HANDLE_VALUE);

        const apptest::ProgramRun run = apptest::RunProgram(exe, program.File(L"vantrel.txt"), start.Path());
        if (holder != INVALID_HANDLE_VALUE) ::CloseHandle(holder);

        EXPECT_EQ(0u, run.exitCode);
        EXPECT_EQ(L"Log file '" + program.File(L"vantrel.txt") + L"' has been created.", run.box.text);
        EXPECT_EQ(usersBytes, ReadBytes(start.File(L"vantrel.txt")));
        EXPECT_EQ(std::vector<std::wstring>{L"vantrel.txt"}, start.Files());
        EXPECT_EQ((std::vector<std::wstring>{L"vantrel.exe", L"vantrel.txt"}), program.Files());
    }
}

TEST(LogPlacement, AProgramWithoutADotBelowAFolderWithOneWritesNextToItself)
{
    TempFolder root;
    SubFolder tools(root, L"my.tools");
    SubFolder start(root, L"start");
    const std::wstring exe = tools.File(L"prog");
    ASSERT_TRUE(::CopyFileW(VANTREL_TEST_EXE, exe.c_str(), FALSE)) << ::GetLastError();

    const apptest::ProgramRun run = apptest::RunProgram(exe, tools.File(L"prog.txt"), start.Path());

    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(L"Log file '" + tools.File(L"prog.txt") + L"' has been created.", run.box.text);
    EXPECT_EQ((std::vector<std::wstring>{L"prog", L"prog.txt"}), tools.Files());
    EXPECT_TRUE(start.Files().empty());
    EXPECT_EQ((std::vector<std::wstring>{L"my.tools", L"start"}), Sorted(root.Files()));
}

} // namespace apptest
