#include "Library4/Shell/ShellRegistry.h"

#include "Library4/Shell/detail/RegistryText.h"
#include "platform/RuntimeFunction.h"
#include "platform/UniqueResource.h"
#include "platform/Win32Api.h"

namespace Library4::Shell {

using vantrel::platform::Api;
using namespace detail;

namespace {

// The shell's "underline as the browser does" setting.
constexpr DWORD kIconUnderlineLikeBrowser = 3;

// Whether the shell underlines icon titles as the browser underlines links.
bool FollowsBrowserUnderline(HKEY explorer)
{
    DWORD iconUnderline = 0;
    DWORD size = sizeof(iconUnderline);
    // A number stored in fewer bytes fills only the low bytes of the zeroed number.
    const LONG status = Api().RegQueryValueExW(explorer, L"IconUnderline", nullptr, nullptr,
                                               reinterpret_cast<BYTE*>(&iconUnderline), &size);
    return status == ERROR_SUCCESS && iconUnderline == kIconUnderlineLikeBrowser;
}

// The browser's own link-underline setting; anything unreadable or unknown means hover.
LinkUnderline BrowserUnderline()
{
    vantrel::platform::UniqueRegistryKey browser;
    if (!OpenRegistryKey(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Main", KEY_QUERY_VALUE,
                         &browser)) {
        return UnderlineHover;
    }

    wchar_t text[10] = {};
    if (!ReadRegistryText(browser.Get(), L"Anchor Underline", text, ARRAYSIZE(text)).succeeded) {
        return UnderlineHover;
    }
    if (Api().lstrcmpiW(text, L"yes") == 0) return UnderlineAlways;
    if (Api().lstrcmpiW(text, L"no") == 0) return UnderlineNever;
    return UnderlineHover;
}

} // namespace

void GetLinkUnderlineMode(LinkUnderlineSettings* settings)
{
    settings->SingleClick = false;
    settings->Underline = UnderlineNever;

    SHELLFLAGSTATE state{};
    {
        // shell32 is loaded for this question only.
        const auto getSettings = vantrel::platform::Find<&vantrel::platform::Win32Api::SHGetSettings>();
        if (!getSettings) return;
        getSettings(&state, SSF_DOUBLECLICKINWEBVIEW);
    }
    if (state.fDoubleClickInWebView) return;

    settings->SingleClick = true;
    settings->Underline = UnderlineHover;

    vantrel::platform::UniqueRegistryKey explorer;
    if (!OpenRegistryKey(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", KEY_QUERY_VALUE,
                         &explorer)) {
        return;
    }
    if (FollowsBrowserUnderline(explorer.Get())) settings->Underline = BrowserUnderline();
}

} // namespace Library4::Shell
