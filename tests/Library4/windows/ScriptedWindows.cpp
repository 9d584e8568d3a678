#include "tests/Library4/windows/ScriptedWindows.h"

#include "tests/support/HelperProcess.h"
#include "tests/support/TestWindow.h"

#include <map>
#include <sstream>

namespace windowtest {
namespace {

constexpr wchar_t kSeparator = L'|';

std::vector<std::wstring> Split(const std::wstring& text)
{
    std::vector<std::wstring> fields;
    std::wstring field;
    std::wistringstream stream(text);
    while (std::getline(stream, field, kSeparator)) fields.push_back(field);
    if (!text.empty() && text.back() == kSeparator) fields.emplace_back();
    return fields;
}

std::wstring Hex(HWND hwnd)
{
    std::wostringstream out;
    out << std::hex << reinterpret_cast<UINT_PTR>(hwnd);
    return out.str();
}

HWND FromHex(const std::wstring& text)
{
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::stoull(text, nullptr, 16)));
}

bool Has(const std::wstring& letters, wchar_t letter) { return letters.find(letter) != std::wstring::npos; }

} // namespace

std::wstring Script(const ScriptedWindow& window)
{
    const std::wstring owner = window.foreignOwner != nullptr ? L"#" + Hex(window.foreignOwner) : window.ownerTitle;
    return L"window|" + window.letters + kSeparator + window.title + kSeparator + owner + kSeparator +
           std::to_wstring(window.width) + kSeparator + std::to_wstring(window.height);
}

std::wstring ScriptFocus(const std::wstring& text, const std::wstring& containerTitle)
{
    return L"focus|" + text + kSeparator + containerTitle;
}

std::wstring ScriptNoFocus() { return L"nofocus"; }

} // namespace windowtest

VANTREL_TEST_HELPER(scripted_windows)
{
    using namespace windowtest;
    std::map<std::wstring, HWND> byTitle;
    for (const std::wstring& arg : args) {
        const std::vector<std::wstring> fields = Split(arg);
        if (fields.size() == 6 && fields[0] == L"window") {
            const std::wstring& letters = fields[1];
            DWORD style = WS_POPUP;
            if (Has(letters, L'v')) style |= WS_VISIBLE;
            DWORD exStyle = 0;
            if (Has(letters, L't')) exStyle |= WS_EX_TOOLWINDOW;
            if (Has(letters, L'd')) exStyle |= WS_EX_DLGMODALFRAME;
            HWND owner = nullptr;
            if (!fields[3].empty()) owner = fields[3][0] == L'#' ? FromHex(fields[3].substr(1)) : byTitle[fields[3]];
            const int width = Has(letters, L'e') ? 0 : std::stoi(fields[4]);
            const int height = Has(letters, L'e') ? 0 : std::stoi(fields[5]);
            const HWND hwnd =
                ::CreateWindowExW(exStyle, testsupport::TestWindowClass(), fields[2].c_str(), style, 50, 50, width,
                                  height, owner, nullptr, ::GetModuleHandleW(nullptr), nullptr);
            if (hwnd == nullptr) return 2;
            byTitle[fields[2]] = hwnd;
        } else if (fields.size() == 3 && fields[0] == L"focus") {
            const HWND container = byTitle[fields[2]];
            const HWND edit = ::CreateWindowExW(0, L"EDIT", fields[1].c_str(), WS_CHILD | WS_VISIBLE, 0, 0, 50, 20,
                                                container, nullptr, ::GetModuleHandleW(nullptr), nullptr);
            if (edit == nullptr) return 3;
            // Another process reads a window's text from the window system, not from the control,
            // and the edit control keeps its text to itself: put it where other processes look.
            ::DefWindowProcW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fields[1].c_str()));
            ::SetFocus(edit);
            if (::GetFocus() != edit) return 4;
        } else if (fields.size() == 1 && fields[0] == L"nofocus") {
            ::SetFocus(nullptr);
            if (::GetFocus() != nullptr) return 6;
        } else {
            return 5;
        }
    }
    return testsupport::SignalReadyAndServe();
}
