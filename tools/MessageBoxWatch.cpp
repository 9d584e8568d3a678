#include "tools/MessageBoxWatch.h"

namespace tools {
namespace {

struct BoxSearch {
    DWORD processId;        // 0: any process
    const wchar_t* caption; // null: any caption
    HWND found;
};

bool IsDialogClass(HWND hwnd)
{
    wchar_t name[16] = {};
    ::GetClassNameW(hwnd, name, 16);
    return std::wstring(name) == L"#32770";
}

bool HasCaption(HWND hwnd, const wchar_t* caption)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(hwnd, text, 256);
    return std::wstring(text) == caption;
}

BOOL CALLBACK FindBox(HWND hwnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<BoxSearch*>(lParam);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hwnd, &processId);
    if (search->processId != 0 && processId != search->processId) return TRUE;
    if (!IsDialogClass(hwnd) || !::IsWindowVisible(hwnd)) return TRUE;
    if (search->caption != nullptr && !HasCaption(hwnd, search->caption)) return TRUE;
    search->found = hwnd;
    return FALSE;
}

// The box's message is its static control with text; the icon is a static control without.
BOOL CALLBACK FindMessageText(HWND child, LPARAM lParam)
{
    wchar_t name[16] = {};
    ::GetClassNameW(child, name, 16);
    if (::lstrcmpiW(name, L"Static") != 0) return TRUE;
    wchar_t text[2048] = {};
    if (::GetWindowTextW(child, text, 2048) == 0) return TRUE;
    *reinterpret_cast<std::wstring*>(lParam) = text;
    return FALSE;
}

bool WaitForBox(BoxSearch search, HANDLE process, DWORD timeoutMs, ShownMessageBox& box)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        search.found = nullptr;
        ::EnumWindows(&FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            box.window = search.found;
            wchar_t caption[256] = {};
            ::GetWindowTextW(search.found, caption, 256);
            box.caption = caption;
            box.text.clear();
            ::EnumChildWindows(search.found, &FindMessageText, reinterpret_cast<LPARAM>(&box.text));
            return true;
        }
        if (::GetTickCount() - start > timeoutMs) return false;
        // Polls: another process's box announces itself to nobody.
        if (process != nullptr && ::WaitForSingleObject(process, 10) == WAIT_OBJECT_0) return false;
        if (process == nullptr) ::Sleep(10);
    }
}

} // namespace

bool WaitForMessageBox(DWORD processId, HANDLE process, DWORD timeoutMs, ShownMessageBox& box)
{
    return WaitForBox(BoxSearch{processId, nullptr, nullptr}, process, timeoutMs, box);
}

bool WaitForMessageBoxTitled(const wchar_t* caption, DWORD timeoutMs, ShownMessageBox& box)
{
    return WaitForBox(BoxSearch{0, caption, nullptr}, nullptr, timeoutMs, box);
}

void PressOk(HWND box)
{
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
}

} // namespace tools
