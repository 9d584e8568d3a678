// The taskbar's settings as the registry holds them, in a scratch registry under Wine: each value
// only as a REG_DWORD of four bytes, with one opening of the key that is closed again; and the
// decision, given no settings, reading them itself for a window on another desktop.
#include "Library4/Shell/ShellWindows.h"

#include "tests/Library4/registry/RegistryTestSupport.h"
#include "tests/support/DesktopManagerFake.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace registrytest {

namespace {

constexpr wchar_t kAdvancedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";

HRESULT WINAPI ShellCloak(HWND, DWORD, PVOID value, DWORD)
{
    *static_cast<DWORD*>(value) = DWM_CLOAKED_SHELL;
    return S_OK;
}

} // namespace

TEST(TaskbarSettings, TakesEachValueOnlyAsAFourByteNumberAndTheDecisionReadsThemItself)
{
    const struct {
        const char* what;
        DWORD type;
        std::uint64_t bytes; // little-endian
        DWORD size;          // 0: no value stored
        std::optional<DWORD> read;
    } kStored[] = {
        {"missing", REG_DWORD, 0, 0, std::nullopt},   {"all desktops", REG_DWORD, 0, 4, 0u},
        {"this desktop", REG_DWORD, 1, 4, 1u},        {"not known", REG_DWORD, 0x12345678, 4, 0x12345678u},
        {"a text", REG_SZ, '0', 4, std::nullopt},     {"bytes", REG_BINARY, 0, 4, std::nullopt},
        {"cut short", REG_DWORD, 0, 2, std::nullopt}, {"64 bits", REG_QWORD, 0, 8, std::nullopt},
    };
    // A window that the shell cloaks on another desktop: shown only where every desktop's are.
    testsupport::TestWindow window({L"elsewhere"});
    vantrel::platform::ScopedApiOverride api;
    api->DwmGetWindowAttribute = &ShellCloak;
    api->CoCreateInstance = &testsupport::FakeCoCreateInstance;
    testsupport::Desktops() = {window.Get(), false};
    for (const auto& c : kStored) {
        SCOPED_TRACE(c.what);
        RegistrySandbox sandbox;
        sandbox.CreateKey(HKEY_CURRENT_USER, kAdvancedKey);
        for (const wchar_t* name : {L"VirtualDesktopTaskbarFilter", L"MMTaskbarEnabled", L"MMTaskbarMode"}) {
            if (c.size != 0) sandbox.SetBytes(HKEY_CURRENT_USER, kAdvancedKey, name, c.type, &c.bytes, c.size);
        }
        ApiRecorder recorder;
        const Library4::Shell::TaskbarSettings settings = Library4::Shell::ReadTaskbarSettings();
        EXPECT_EQ(c.read, settings.VirtualDesktopTaskbarFilter);
        EXPECT_EQ(c.read, settings.MMTaskbarEnabled);
        EXPECT_EQ(c.read, settings.MMTaskbarMode);
        EXPECT_EQ(1u, recorder.OpenedKeys().size());
        EXPECT_TRUE(AllReleased(recorder));
        EXPECT_EQ(c.read == DWORD{0}, Library4::Shell::ExplainTaskbarWindow(window.Get()).shown);
    }
    RegistrySandbox noKey;
    EXPECT_FALSE(Library4::Shell::ReadTaskbarSettings().VirtualDesktopTaskbarFilter.has_value());
}

} // namespace registrytest
