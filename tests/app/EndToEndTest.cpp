// The real program, run as a user would: from a folder of its own, with another process's windows
// on the desktop, its message box read and confirmed while the log is checked on disk.
#include "tests/app/ProgramRun.h"
#include "tests/app/WindowsOfEveryKind.h"
#include "tests/support/HelperProcess.h"
#include "tests/support/KnownPaths.h"
#include "tests/support/TempFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace apptest {

using testsupport::HelperProcess;
using testsupport::ReadBytes;
using testsupport::TempFolder;

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

} // namespace

TEST(EndToEnd, LogsTheTaskbarWindowsOfAnotherProcessAndSaysSo)
{
    TempFolder folder;
    const std::wstring exe = CopyProgramAs(folder, L"prog.v2.exe");
    const std::wstring log = folder.File(L"prog.v2.txt");
    HelperProcess helper(apptest::kWindowsOfEveryKindHelper, {L"e2e"});
    const HWND visible = testsupport::FindWindowByTitle(helper.ProcessId(), L"e2e visible");
    ASSERT_NE(nullptr, visible);

    const ProgramRun run = RunProgram(exe, log);

    ASSERT_TRUE(run.boxShown);
    EXPECT_EQ(L"Vantrel", run.box.caption);
    EXPECT_EQ(L"Log file '" + log + L"' has been created.", run.box.text);
    EXPECT_EQ(0u, run.exitCode);

    const std::string& text = run.logWhileBoxUp;
    char handle[32];
    std::snprintf(handle, sizeof(handle),
                  "0x%08X: exe=", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(visible)));
    const std::string visibleRecord =
        handle + AsLogBytes(testsupport::OwnExecutablePath()) + "\r\ntitle=\"e2e visible\" class=\"VantrelTestWindow\"";
    EXPECT_TRUE(Contains(text, visibleRecord)) << visibleRecord << "\n---\n" << text;
    EXPECT_TRUE(Contains(text, "title=\"e2e owned app\""));
    EXPECT_TRUE(Contains(text, "title=\"e2e caf\xE9 ?\""));
    for (const char* excluded : {"e2e hidden", "e2e tool", "e2e owned\"", "e2e no-activate", "e2e child"})
        EXPECT_FALSE(Contains(text, excluded)) << excluded;
    // Every record is four lines and an empty one.
    EXPECT_EQ(text.size() >= 4 ? "\r\n\r\n" : "", text.substr(text.size() >= 4 ? text.size() - 4 : 0));
    EXPECT_EQ(text, ReadBytes(log)); // nothing was written after the box appeared
}

TEST(EndToEnd, ASecondRunOverwritesTheFirstLog)
{
    TempFolder folder;
    const std::wstring exe = CopyProgramAs(folder, L"vantrel.exe");
    const std::wstring log = folder.File(L"vantrel.txt");
    {
        HelperProcess first(apptest::kWindowsOfEveryKindHelper, {L"first"});
        const ProgramRun run = RunProgram(exe, log);
        EXPECT_EQ(0u, run.exitCode);
        EXPECT_TRUE(Contains(ReadBytes(log), "title=\"first visible\""));
    }
    HelperProcess second(apptest::kWindowsOfEveryKindHelper, {L"second"});
    const ProgramRun run = RunProgram(exe, log);
    EXPECT_EQ(0u, run.exitCode);
    const std::string text = ReadBytes(log);
    EXPECT_TRUE(Contains(text, "title=\"second visible\""));
    EXPECT_FALSE(Contains(text, "first visible"));
}

TEST(EndToEnd, ALogHeldOpenElsewhereGivesTheWarningAndStaysUntouched)
{
    TempFolder folder;
    const std::wstring exe = CopyProgramAs(folder, L"vantrel.exe");
    const std::wstring log = folder.File(L"vantrel.txt");
    testsupport::WriteBytes(log, "a user's own file");
    HANDLE holder = ::CreateFileW(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);

    const ProgramRun run = RunProgram(exe, log);
    ::CloseHandle(holder);

    ASSERT_TRUE(run.boxShown);
    EXPECT_EQ(L"Vantrel", run.box.caption);
    EXPECT_EQ(L"Failed to create log file " + log + L".", run.box.text);
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_EQ("a user's own file", ReadBytes(log));
}

} // namespace apptest
