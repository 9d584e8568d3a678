#include "Library4/Shell/ShellWindows.h"

#include "Library4/Shell/detail/WindowEnumeration.h"
#include "platform/Win32Api.h"
#include "platform/WindowTitle.h"

#include <cwchar>
#include <tuple>

namespace Library4::Shell {

using vantrel::platform::Api;

namespace {

// How well a candidate stands for the given window; the first difference decides, in the order
// of the members.
struct RankKey {
    bool ownedByGiven = false;
    bool unowned = false;
    bool containsGivenTitle = false;
    // 64 bits so that no extent can overflow it; for any real window it equals the 32-bit product.
    long long area = 0;

    bool operator>(const RankKey& other) const
    {
        return std::tie(ownedByGiven, unowned, containsGivenTitle, area) >
               std::tie(other.ownedByGiven, other.unowned, other.containsGivenTitle, other.area);
    }
};

RankKey KeyOf(HWND candidate, HWND given, const wchar_t* givenTitle)
{
    RankKey key;
    const HWND owner = detail::OwnerOf(candidate);
    key.ownedByGiven = owner == given;
    key.unowned = owner == nullptr;

    wchar_t title[detail::kTitleChars] = {};
    vantrel::platform::ReadWindowTitle(candidate, title);
    key.containsGivenTitle = std::wcsstr(title, givenTitle) != nullptr;

    // Preset, so that a client rectangle that can't be read gives area 0.
    RECT client{};
    Api().GetClientRect(candidate, &client);
    key.area = static_cast<long long>(client.right) * client.bottom;
    return key;
}

} // namespace

HWND FindBestTopLevelWindow(HWND hwnd)
{
    if (IsVisibleTaskWindow(hwnd)) return hwnd;

    const WindowList windows =
        detail::CollectWindows<ProcessWindowQuery>(&CollectVisibleTaskWindowsProc, detail::ProcessIdOfWindow(hwnd));

    if (windows.Size() == 1) return windows[0];
    if (windows.Empty()) return nullptr;

    wchar_t givenTitle[detail::kTitleChars] = {};
    vantrel::platform::ReadWindowTitle(hwnd, givenTitle);

    // The least key a candidate can have, so a later window only wins with a strictly greater key.
    RankKey best;
    std::size_t bestIndex = 0;
    for (std::size_t i = 0; i < windows.Size(); ++i) {
        const RankKey key = KeyOf(windows[i], hwnd, givenTitle);
        if (key > best) {
            best = key;
            bestIndex = i;
        }
    }
    return windows[bestIndex];
}

} // namespace Library4::Shell
