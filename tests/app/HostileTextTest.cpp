// Titles and class names that a careless writer would mangle, through the real program: control
// characters, C1 controls, lone and paired surrogates, non-characters, quotes, format directives
// and titles at and past the room the record gives them. Each must reach the log byte for byte as
// the log's encoding states, and the record around it must stay whole.
#include "tests/app/ProgramRun.h"
#include "tests/support/HelperProcess.h"
#include "tests/support/KnownPaths.h"
#include "tests/support/TempFiles.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace apptest {

namespace {

constexpr std::size_t kTitleRoom = 299; // the record's title field holds 300 units with the terminator

std::wstring Units(std::initializer_list<unsigned> units)
{
    std::wstring text;
    for (const unsigned unit : units) text += static_cast<wchar_t>(unit);
    return text;
}

std::wstring Range(unsigned first, unsigned last)
{
    std::wstring text;
    for (unsigned unit = first; unit <= last; ++unit) text += static_cast<wchar_t>(unit);
    return text;
}

// A title of exactly `length` units that mixes single-byte text with units the log writes as '?'.
std::wstring Long(std::size_t length)
{
    std::wstring text = L"long " + std::to_wstring(length) + L" ";
    const std::wstring pattern = L"abcdefghij\u00e9\u20ac";
    while (text.size() < length) text += pattern[text.size() % pattern.size()];
    return text.substr(0, length);
}

const std::vector<std::wstring>& HostileTitles()
{
    static const std::vector<std::wstring> titles = {
        L"controls " + Range(0x01, 0x1F) + L" end",
        L"CR LF\r\nin a title",
        L"C1 controls " + Range(0x7F, 0x9F) + L" end",
        L"Latin-1 " + Range(0xA0, 0xFF),
        L"lone high " + Units({0xD800}) + L" end",
        L"lone low " + Units({0xDFFF}) + L" end",
        L"pair " + Units({0xD83D, 0xDE00}) + L" reversed " + Units({0xDE00, 0xD83D}),
        L"non-characters " + Units({0xFFFF, 0xFFFE, 0xFDD0}),
        L"say \"hi\" \"\" \" and '",
        L"%s%d%p%x%%%n%S%ls%",
        Long(298),
        Long(299),
        Long(300),
        Long(1000),
        std::wstring(298, L'x') + Units({0xD83D, 0xDE00}), // the cut falls inside the pair
    };
    return titles;
}

std::wstring ClassTitle(std::size_t i) { return L"hostile class " + std::to_wstring(i); }

const std::vector<std::wstring>& HostileClassNames()
{
    static const std::vector<std::wstring> names = [] {
        std::vector<std::wstring> list = {
            L"controls " + Range(0x01, 0x1F),
            L"C1 " + Range(0x7F, 0x9F),
            L"surrogates " + Units({0xD800, 0x20, 0xDFFF, 0x20, 0xD83D, 0xDE00}),
            L"non-characters " + Units({0xFFFF, 0xFFFE}),
            L"%s%d%p%x%%",
            L"class \"quoted\"",
        };
        std::wstring longest = L"longest class name ";
        while (longest.size() < 255) longest += L'z'; // the most an atom holds
        list.push_back(longest);
        return list;
    }();
    return names;
}

VANTREL_TEST_HELPER(OwnsHostileWindows)
{
    std::vector<std::unique_ptr<testsupport::TestWindow>> windows;
    for (const std::wstring& title : HostileTitles())
        windows.push_back(std::make_unique<testsupport::TestWindow>(testsupport::WindowOptions{title}));
    const auto& classes = HostileClassNames();
    for (std::size_t i = 0; i < classes.size(); ++i) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = classes[i].c_str();
        if (::RegisterClassExW(&wc) == 0) return 10 + static_cast<int>(i);
        testsupport::WindowOptions options{ClassTitle(i)};
        options.className = classes[i].c_str();
        windows.push_back(std::make_unique<testsupport::TestWindow>(options));
    }
    return testsupport::SignalReadyAndServe();
}

// The record's first two lines up to the atom, exactly as the log must hold them.
std::string ExpectedRecordStart(HWND window, const std::wstring& title, const std::wstring& className)
{
    char handle[16];
    std::snprintf(handle, sizeof(handle), "0x%08X", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(window)));
    return std::string(handle) + ": exe=" + AsLogBytes(testsupport::OwnExecutablePath()) + "\r\ntitle=\"" +
           AsLogBytes(title.substr(0, kTitleRoom)) + "\" class=\"" + AsLogBytes(className) + "\" atom = 0x";
}

std::size_t Occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

} // namespace

TEST(HostileText, TitlesAndClassNamesReachTheLogByteForByte)
{
    testsupport::TempFolder folder;
    const std::wstring exe = apptest::CopyProgramAs(folder, L"vantrel.exe");
    const std::wstring log = folder.File(L"vantrel.txt");
    testsupport::HelperProcess helper("OwnsHostileWindows");
    ASSERT_EQ(STILL_ACTIVE, helper.WaitForExit(0)) << "the helper could not register a class";

    struct Expected {
        std::string name;
        std::string recordStart;
    };
    std::vector<Expected> expected;
    const auto& titles = HostileTitles();
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const HWND window = testsupport::FindWindowByTitle(helper.ProcessId(), titles[i]);
        ASSERT_NE(nullptr, window) << "title " << i;
        expected.push_back(
            {"title " + std::to_string(i), ExpectedRecordStart(window, titles[i], testsupport::TestWindowClass())});
    }
    const auto& classes = HostileClassNames();
    for (std::size_t i = 0; i < classes.size(); ++i) {
        const HWND window = testsupport::FindWindowByTitle(helper.ProcessId(), ClassTitle(i));
        ASSERT_NE(nullptr, window) << "class " << i;
        expected.push_back({"class " + std::to_string(i), ExpectedRecordStart(window, ClassTitle(i), classes[i])});
    }

    const apptest::ProgramRun run = apptest::RunProgram(exe, log);
    EXPECT_EQ(0u, run.exitCode);
    const std::string text = testsupport::ReadBytes(log);
    for (const Expected& e : expected)
        EXPECT_EQ(1u, Occurrences(text, e.recordStart)) << e.name << ":\n" << e.recordStart;
    // Every taskbar window on this desktop is the helper's: one record each, none split in two.
    EXPECT_EQ(titles.size() + classes.size(), Occurrences(text, "\" atom = 0x"));
}

} // namespace apptest
