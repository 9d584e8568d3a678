// The taskbar's settings as the registry holds them, in a scratch registry under Wine: each value
// only as a REG_DWORD of four bytes, one opening of the key, every key closed; and the decision
// that reads them itself when it is given none.
#include "Library4/Shell/ShellWindows.h"

#include "tests/Library4/registry/RegistryTestSupport.h"
#include "tests/support/DesktopManagerFake.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace registrytest {

using Library4::Shell::TaskbarSettings;

namespace {

constexpr wchar_t kAdvancedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";

// How the filter is stored, and what reading it gives.
struct StoredCase {
    const char* what;
    DWORD type;
    std::uint64_t bytes; // the value's bytes, little-endian
    DWORD size;          // 0: not stored
    std::optional<DWORD> read;
};

const StoredCase kStored[] = {
    {"missing", REG_DWORD, 0, 0, std::nullopt},
    {"all desktops", REG_DWORD, 0, 4, 0u},
    {"this desktop", REG_DWORD, 1, 4, 1u},
    {"a value not known", REG_DWORD, 0x12345678, 4, 0x12345678u},
    {"a text", REG_SZ, '0', 4, std::nullopt},
    {"four bytes, not a number", REG_BINARY, 0, 4, std::nullopt},
    {"a number cut short", REG_DWORD, 0, 2, std::nullopt},
    {"a 64-bit number", REG_QWORD, 0, 8, std::nullopt},
};

} // namespace

TEST(TaskbarSettings, TakesEachValueOnlyAsAFourByteNumber)
{
    for (const StoredCase& c : kStored) {
        SCOPED_TRACE(c.what);
        RegistrySandbox sandbox;
        sandbox.CreateKey(HKEY_CURRENT_USER, kAdvancedKey);
        for (const wchar_t* name : {L"VirtualDesktopTaskbarFilter", L"MMTaskbarEnabled", L"MMTaskbarMode"}) {
            if (c.size != 0) sandbox.SetBytes(HKEY_CURRENT_USER, kAdvancedKey, name, c.type, &c.bytes, c.size);
        }
        ApiRecorder recorder;
        const TaskbarSettings settings = Library4::Shell::ReadTaskbarSettings();
        EXPECT_EQ(c.read, settings.VirtualDesktopTaskbarFilter);
        EXPECT_EQ(c.read, settings.MMTaskbarEnabled);
        EXPECT_EQ(c.read, settings.MMTaskbarMode);
        EXPECT_EQ(c.read == DWORD{0}, settings.ShowsAllDesktops());
        EXPECT_EQ(1u, recorder.OpenedKeys().size());
        EXPECT_TRUE(AllReleased(recorder));
    }
    RegistrySandbox noKey;
    EXPECT_FALSE(Library4::Shell::ReadTaskbarSettings().VirtualDesktopTaskbarFilter.has_value());
}

namespace {

HRESULT WINAPI ShellCloak(HWND, DWORD, PVOID value, DWORD)
{
    *static_cast<DWORD*>(value) = DWM_CLOAKED_SHELL;
    return S_OK;
}

} // namespace

// A window on another desktop, cloaked by the shell: shown only where the user's registry says
// every desktop's windows are.
TEST(TaskbarSettings, TheDecisionReadsThemItselfWhenGivenNone)
{
    testsupport::TestWindow window({L"elsewhere"});
    vantrel::platform::ScopedApiOverride api;
    api->DwmGetWindowAttribute = &ShellCloak;
    api->CoCreateInstance = &testsupport::FakeCoCreateInstance;
    testsupport::Desktops() = {window.Get(), false};
    for (const DWORD filter : {0u, 1u}) {
        RegistrySandbox sandbox;
        sandbox.SetNumber(HKEY_CURRENT_USER, kAdvancedKey, L"VirtualDesktopTaskbarFilter", filter);
        const Library4::Shell::TaskbarVerdict verdict = Library4::Shell::ExplainTaskbarWindow(window.Get());
        EXPECT_EQ(filter == 0, verdict.shown) << filter;
        EXPECT_EQ(filter == 0, Library4::Shell::IsTaskbarWindow(window.Get())) << filter;
    }
}

} // namespace registrytest
