#include "app/LogStream.h"
#include "app/RecordWriter.h"

#include "tests/support/KnownPaths.h"
#include "tests/support/TempFiles.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace apptest {

using app::LogStream;
using app::WindowRecord;
using app::LogWindowProc;

using testsupport::TempFolder;
using testsupport::TestWindow;

namespace {

constexpr DWORD kVisible = WS_OVERLAPPEDWINDOW | WS_VISIBLE;

std::string RecordOf(HWND hwnd)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"record.txt");
    {
        LogStream stream(path.c_str());
        EXPECT_TRUE(stream.IsOpen());
        app::LogPass pass{stream, {}};
        EXPECT_TRUE(LogWindowProc(hwnd, reinterpret_cast<LPARAM>(&pass)));
    }
    return testsupport::ReadBytes(path);
}

std::string Hex8(const void* value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%08X", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(value)));
    return text;
}

std::string LowerHex(unsigned value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%x", value);
    return text;
}

// What the log must hold for a path or class name of plain ASCII.
std::string Ascii(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string Line(const std::string& record, int index)
{
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) start = record.find("\r\n", start) + 2;
    return record.substr(start, record.find("\r\n", start) - start);
}

std::string TitleLine(HWND hwnd, const std::string& titleBytes)
{
    char atom[16];
    std::snprintf(atom, sizeof(atom), "%08X", static_cast<unsigned>(::GetClassLongW(hwnd, GCW_ATOM)));
    return "title=\"" + titleBytes + "\" class=\"VantrelTestWindow\" atom = 0x" + atom;
}

} // namespace

TEST(LogWindowProc, WritesTheWholeRecordOfAWindowAtNegativeCoordinates)
{
    TestWindow window({L"Negative", kVisible, 0, nullptr, {-50, -40, 250, 160}});
    const HWND hwnd = window.Get();
    const std::wstring exe = testsupport::OwnExecutablePath();
    RECT client{};
    ::GetClientRect(hwnd, &client);

    const std::string expected = "0x" + Hex8(hwnd) + ": exe=" + Ascii(exe) + "\r\n" + TitleLine(hwnd, "Negative") +
                                 "\r\n" + "Style=0x" +
                                 LowerHex(static_cast<unsigned>(::GetWindowLongW(hwnd, GWL_STYLE))) + " exStyle=0x" +
                                 LowerHex(static_cast<unsigned>(::GetWindowLongW(hwnd, GWL_EXSTYLE))) + " parent=0x" +
                                 Hex8(::GetDesktopWindow()) + " owner=0x00000000 getparent=0x00000000\r\n" +
                                 "rcWnd = -50,-40 - 250,160 rcClient = 0,0 - " + std::to_string(client.right) + "," +
                                 std::to_string(client.bottom) + " maximized = 0 minimized = 0\r\n\r\n";
    EXPECT_EQ(expected, RecordOf(hwnd));
}

TEST(LogWindowProc, TitlesBecomeSingleBytesWithQuestionMarksAndCrLf)
{
    struct Case {
        std::wstring title;
        std::string bytes;
    };
    const Case cases[] = {
        {L"caf\u00e9", "caf\xE9"},
        {L"\u00ff\u0100", "\xFF?"},
        {L"5 \u20ac left", "5 ? left"},
        {L"smile \U0001F600!", "smile ?"
                               "?!"},
        {L"two\nlines", "two\r\nlines"},
        {L"kept\r\nCR", "kept\r\r\nCR"},
        {L"say \"hi\"", "say \"hi\""},
        {L"", ""},
        {std::wstring(400, L'x'), std::string(299, 'x')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        TestWindow window({c.title, kVisible});
        const std::string record = RecordOf(window.Get());
        const std::string titleLine = TitleLine(window.Get(), c.bytes);
        EXPECT_NE(std::string::npos, record.find("\r\n" + titleLine + "\r\nStyle=0x")) << record;
    }
}

TEST(LogWindowProc, RecordsMinimizedAndMaximizedState)
{
    struct Case {
        int show;
        const char* ending;
    };
    const Case cases[] = {{SW_SHOWNORMAL, "maximized = 0 minimized = 0"},
                          {SW_MINIMIZE, "maximized = 0 minimized = 1"},
                          {SW_MAXIMIZE, "maximized = 1 minimized = 0"}};
    for (const Case& c : cases) {
        TestWindow window({L"state", kVisible});
        ::ShowWindow(window.Get(), c.show);
        testsupport::PumpMessages();
        const std::string lastLine = Line(RecordOf(window.Get()), 3);
        EXPECT_EQ(c.ending, lastLine.substr(lastLine.size() - std::string(c.ending).size())) << lastLine;
    }
}

TEST(LogWindowProc, WindowsTheTaskbarDoesNotShowWriteNothingAndTheEnumerationGoesOn)
{
    TestWindow hidden({L"hidden", WS_OVERLAPPEDWINDOW});
    TestWindow tool({L"tool", kVisible, WS_EX_TOOLWINDOW});
    EXPECT_EQ("", RecordOf(hidden.Get()));
    EXPECT_EQ("", RecordOf(tool.Get()));
    EXPECT_EQ("", RecordOf(nullptr));
}

} // namespace apptest
