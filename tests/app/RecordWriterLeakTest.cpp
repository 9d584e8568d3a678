// The record writer and the log stream, each run a thousand times over: the handles, GDI and USER
// objects of the process must be where they were, and every run must still have written its
// record whole.
#include "app/LogStream.h"
#include "app/RecordWriter.h"

#include "platform/Win32Api.h"
#include "tests/app/WindowsOfEveryKind.h"
#include "tests/support/ApiFakes.h"
#include "tests/support/HelperProcess.h"
#include "tests/support/ResourceCount.h"
#include "tests/support/TempFiles.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace apptest {

using app::LogStream;
using app::WindowRecord;
using app::LogWindowProc;
using app::WriteWindowRecord;

using testsupport::ExpectNoResourceLeak;
using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::TestWindow;

namespace {

constexpr int kIterations = 1000;
constexpr DWORD kVisible = WS_OVERLAPPEDWINDOW | WS_VISIBLE;

struct Writer {
    const char* name;
    std::function<BOOL(LogStream&)> write; // one write into the open stream; what the callback returned
    bool writesSomething;
};

// Every run writes the same bytes for the same windows, so the log must be the first run's bytes
// repeated once per run: a run that lost or cut its record shows.
void ExpectEachWritesWholeAndGivesBackWhatItTakes(const std::vector<Writer>& writers)
{
    for (const Writer& writer : writers) {
        SCOPED_TRACE(writer.name);
        TempFolder folder;
        const std::wstring path = folder.File(L"leak.txt");
        int runs = 0;
        int stopped = 0;
        {
            LogStream stream(path.c_str());
            ASSERT_TRUE(stream.IsOpen());
            ExpectNoResourceLeak(
                [&] {
                    ++runs;
                    if (!writer.write(stream)) ++stopped;
                },
                kIterations);
            EXPECT_FALSE(stream.WriterFailure());
            stream.Close();
        }
        EXPECT_EQ(kIterations + 1, runs);
        EXPECT_EQ(0, stopped);

        const std::string log = ReadBytes(path);
        if (!writer.writesSomething) {
            EXPECT_EQ("", log);
            continue;
        }
        ASSERT_EQ(0u, log.size() % runs) << log.size() << " bytes";
        const std::size_t length = log.size() / runs;
        const std::string first = log.substr(0, length);
        EXPECT_EQ("0x", first.substr(0, 2));
        EXPECT_EQ("\r\n\r\n", first.substr(first.size() - 4));
        int differing = 0;
        for (std::size_t at = length; at < log.size(); at += length) {
            if (log.compare(at, length, first) != 0) ++differing;
        }
        EXPECT_EQ(0, differing);
    }
}

BOOL LogOne(HWND hwnd, LogStream& stream)
{
    app::LogPass pass{stream, {}};
    return LogWindowProc(hwnd, reinterpret_cast<LPARAM>(&pass));
}

// Every field at its limit.
WindowRecord FullRecord()
{
    WindowRecord record;
    record.hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x0001002C));
    std::fill(record.exe, record.exe + WindowRecord::kExeChars - 1, L'e');
    std::fill(record.title, record.title + WindowRecord::kTitleChars - 1, L'\u20ac');
    std::fill(record.className, record.className + WindowRecord::kClassChars - 1, L'\n');
    record.atom = 0xFFFF;
    record.style = 0xFFFFFFFF;
    record.exStyle = 0x80000000;
    record.window = RECT{-2147483647 - 1, -1, 2147483647, 0};
    record.client = RECT{0, 0, 2147483647, 2147483647};
    record.maximized = 1;
    record.minimized = 1;
    return record;
}

} // namespace

TEST(RecordWriterLeak, OverWindowsOfAnotherProcess)
{
    testsupport::HelperProcess helper(apptest::kWindowsOfEveryKindHelper, {L"leak"});
    const auto windowTitled = [&](const wchar_t* title) {
        const HWND hwnd = testsupport::FindWindowByTitle(helper.ProcessId(), title);
        EXPECT_NE(nullptr, hwnd) << title;
        return hwnd;
    };
    const HWND visible = windowTitled(L"leak visible");
    const HWND ownedApp = windowTitled(L"leak owned app");
    const HWND hidden = windowTitled(L"leak hidden");
    const HWND tool = windowTitled(L"leak tool");
    ASSERT_FALSE(HasFailure());

    ExpectEachWritesWholeAndGivesBackWhatItTakes({
        {"a visible window", [=](LogStream& s) { return LogOne(visible, s); }, true},
        {"an owned window with WS_EX_APPWINDOW", [=](LogStream& s) { return LogOne(ownedApp, s); }, true},
        {"a hidden window", [=](LogStream& s) { return LogOne(hidden, s); }, false},
        {"a tool window", [=](LogStream& s) { return LogOne(tool, s); }, false},
    });
}

TEST(RecordWriterLeak, OverWindowsOfThisProcessAndTheWholePass)
{
    TestWindow visible({L"own visible", kVisible});
    TestWindow hidden({L"own hidden", WS_OVERLAPPEDWINDOW});
    HWND gone = nullptr;
    {
        TestWindow window({L"gone", kVisible});
        gone = window.Get();
    }
    const WindowRecord full = FullRecord();

    ExpectEachWritesWholeAndGivesBackWhatItTakes({
        {"a visible window", [&](LogStream& s) { return LogOne(visible.Get(), s); }, true},
        {"a hidden window", [&](LogStream& s) { return LogOne(hidden.Get(), s); }, false},
        {"a window that is gone", [=](LogStream& s) { return LogOne(gone, s); }, false},
        {"a null window", [](LogStream& s) { return LogOne(nullptr, s); }, false},
        {"WriteWindowRecord, every field at its limit",
         [&](LogStream& s) {
             WriteWindowRecord(full, s);
             return TRUE;
         },
         true},
        // What the tool does: the window system's whole enumeration with the record writer.
        {"EnumWindows with LogWindowProc",
         [](LogStream& s) {
             app::LogPass pass{s, {}};
             return ::EnumWindows(&LogWindowProc, reinterpret_cast<LPARAM>(&pass));
         },
         true},
    });
}

TEST(RecordWriterLeak, TheWholeLifeOfTheStream)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"life.txt");
    const std::wstring held = folder.File(L"held.txt");
    testsupport::WriteBytes(held, "someone else's");
    HANDLE holder = ::CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    const std::wstring nowhere = folder.File(L"no such folder\\log.txt");
    const WindowRecord full = FullRecord();
    std::string firstLog;

    struct Life {
        const char* name;
        std::function<bool()> runsRight;
    };
    const Life lives[] = {
        {"open, write a record, close",
         [&] {
             LogStream stream(path.c_str());
             const bool opened = stream.IsOpen();
             WriteWindowRecord(full, stream);
             stream.Close();
             const std::string log = ReadBytes(path);
             if (firstLog.empty()) firstLog = log;
             return opened && !log.empty() && log == firstLog;
         }},
        {"a file that another holds unshared",
         [&] {
             LogStream stream(held.c_str());
             stream.Write(L"ignored");
             return !stream.IsOpen();
         }},
        {"a file in a folder that does not exist",
         [&] {
             LogStream stream(nowhere.c_str());
             stream.Write(L"ignored");
             return !stream.IsOpen();
         }},
    };
    for (const Life& life : lives) {
        SCOPED_TRACE(life.name);
        int runs = 0;
        int wrong = 0;
        ExpectNoResourceLeak(
            [&] {
                ++runs;
                if (!life.runsRight()) ++wrong;
            },
            kIterations);
        EXPECT_EQ(kIterations + 1, runs);
        EXPECT_EQ(0, wrong);
    }
    ::CloseHandle(holder);
    EXPECT_EQ("someone else's", ReadBytes(held));
}

namespace {

// Makes a brush at every client-rectangle query and keeps it: the fault the loops are there to
// catch.
std::vector<HBRUSH> keptBrushes;

BOOL WINAPI GetClientRectKeepingABrush(HWND hwnd, LPRECT rect)
{
    const HBRUSH kept = ::CreateSolidBrush(RGB(1, 2, 3));
    if (kept != nullptr) keptBrushes.push_back(kept);
    return testsupport::SystemApi().GetClientRect(hwnd, rect);
}

} // namespace

TEST(RecordWriterLeak, TheLeakLoopCatchesARecordWriterThatKeepsAGdiObject)
{
    TestWindow visible({L"own visible", kVisible});
    TempFolder folder;
    const std::wstring path = folder.File(L"leak.txt");
    LogStream stream(path.c_str());
    ASSERT_TRUE(stream.IsOpen());
    const auto logIt = [&] { LogOne(visible.Get(), stream); };
    const int iterations = 50;
    // What a first run loads, and what counting loads. The trace also makes gtest hold, once, the
    // handle by which it watches this thread's thread-local state, which intercepting failures
    // below would otherwise make.
    SCOPED_TRACE("a brush kept at every client-rectangle query");
    logIt();
    testsupport::CountProcessResources();
    const testsupport::ResourceCounts before = testsupport::CountProcessResources();
    testsupport::ExpectLeakReported([](auto& api) { api->GetClientRect = &GetClientRectKeepingABrush; },
                                    [&] { ExpectNoResourceLeak(logIt, iterations); }, "more runs");
    // The counter saw each kept brush, and nothing else.
    ASSERT_EQ(static_cast<std::size_t>(iterations + 1), keptBrushes.size());
    testsupport::ResourceCounts expected = before;
    expected.gdiObjects += static_cast<DWORD>(keptBrushes.size());
    EXPECT_EQ(expected, testsupport::CountProcessResources());
    for (HBRUSH brush : keptBrushes) ::DeleteObject(brush);
    EXPECT_EQ(before, testsupport::CountProcessResources());

    // The same writer without the fault passes the same loop.
    ExpectNoResourceLeak(logIt, iterations);
}

} // namespace apptest
