#include "Library4/Shell/ShellRegistry.h"

#include "tests/Library4/registry/RegistryTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <ostream>

namespace registrytest {

using Library4::Shell::GetLinkUnderlineMode;
using Library4::Shell::LinkUnderline;
using Library4::Shell::LinkUnderlineSettings;
using Library4::Shell::UnderlineAlways;
using Library4::Shell::UnderlineHover;
using Library4::Shell::UnderlineNever;

namespace {

// Wine's shell writes nothing for the double-click flag, so the click setting is faked.
enum class ShellSettings { DoubleClick, SingleClick, Missing };

ShellSettings shellSettings = ShellSettings::SingleClick;
DWORD askedMask = 0;
int settingsCalls = 0;

void WINAPI FakeSHGetSettings(SHELLFLAGSTATE* state, DWORD mask)
{
    ++settingsCalls;
    askedMask = mask;
    state->fDoubleClickInWebView = shellSettings == ShellSettings::DoubleClick;
}

// Makes the shell report the given click setting for the recorder's scope.
void FakeShellSettings(ApiRecorder& recorder, ShellSettings settings)
{
    shellSettings = settings;
    settingsCalls = 0;
    recorder.Override()->SHGetSettings = settings == ShellSettings::Missing ? nullptr : &FakeSHGetSettings;
}

HMODULE WINAPI FailingLoadLibraryW(LPCWSTR) { return nullptr; }

struct UnderlineCase {
    const char* name;
    ShellSettings settings;
    std::optional<DWORD> iconUnderline;
    bool browserKey;
    const wchar_t* anchorUnderline; // null: no value
    bool expectedSingleClick;
    LinkUnderline expectedUnderline;
};

const UnderlineCase kUnderlineCases[] = {
    {"DoubleClickIgnoresRegistry", ShellSettings::DoubleClick, 3, true, L"yes", false, UnderlineNever},
    {"MissingSettingsFunction", ShellSettings::Missing, 3, true, L"yes", false, UnderlineNever},
    {"SingleClickWithoutIconUnderline", ShellSettings::SingleClick, std::nullopt, true, L"yes", true, UnderlineHover},
    {"IconUnderlineZeroIgnoresBrowser", ShellSettings::SingleClick, 0, true, L"yes", true, UnderlineHover},
    {"IconUnderlineOneIgnoresBrowser", ShellSettings::SingleClick, 1, true, L"no", true, UnderlineHover},
    {"IconUnderlineTwoIgnoresBrowser", ShellSettings::SingleClick, 2, true, L"no", true, UnderlineHover},
    {"NoBrowserKey", ShellSettings::SingleClick, 3, false, nullptr, true, UnderlineHover},
    {"NoBrowserValue", ShellSettings::SingleClick, 3, true, nullptr, true, UnderlineHover},
    {"BrowserYes", ShellSettings::SingleClick, 3, true, L"yes", true, UnderlineAlways},
    {"BrowserYesAnyCase", ShellSettings::SingleClick, 3, true, L"YeS", true, UnderlineAlways},
    {"BrowserNo", ShellSettings::SingleClick, 3, true, L"no", true, UnderlineNever},
    {"BrowserNoAnyCase", ShellSettings::SingleClick, 3, true, L"NO", true, UnderlineNever},
    {"BrowserHover", ShellSettings::SingleClick, 3, true, L"HOVER", true, UnderlineHover},
    {"BrowserOtherText", ShellSettings::SingleClick, 3, true, L"sometimes", true, UnderlineHover},
    {"BrowserTextTooLong", ShellSettings::SingleClick, 3, true, L"yesyesyesyes", true, UnderlineHover},
    {"BrowserTextPrefixOnly", ShellSettings::SingleClick, 3, true, L"yess", true, UnderlineHover},
};

void PrintTo(const UnderlineCase& c, std::ostream* os) { *os << c.name; }

class LinkUnderlineTable : public ::testing::TestWithParam<UnderlineCase> {};

TEST_P(LinkUnderlineTable, GivesTheOutcomeOfTheSettings)
{
    const UnderlineCase& c = GetParam();
    RegistrySandbox sandbox;
    if (c.iconUnderline) sandbox.SetNumber(HKEY_CURRENT_USER, kExplorerKey, L"IconUnderline", *c.iconUnderline);
    if (c.browserKey) sandbox.CreateKey(HKEY_CURRENT_USER, kBrowserKey);
    if (c.anchorUnderline != nullptr) {
        sandbox.SetText(HKEY_CURRENT_USER, kBrowserKey, L"Anchor Underline", c.anchorUnderline);
    }

    ApiRecorder recorder;
    FakeShellSettings(recorder, c.settings);

    LinkUnderlineSettings settings;
    std::memset(&settings, 0xCC, sizeof(settings));
    GetLinkUnderlineMode(&settings);

    EXPECT_EQ(c.expectedSingleClick, settings.SingleClick);
    EXPECT_EQ(c.expectedUnderline, settings.Underline);
    EXPECT_TRUE(AllReleased(recorder));
    if (c.settings == ShellSettings::Missing) {
        EXPECT_EQ(0, settingsCalls);
    } else {
        EXPECT_EQ(1, settingsCalls);
        EXPECT_EQ(static_cast<DWORD>(SSF_DOUBLECLICKINWEBVIEW), askedMask);
    }
    if (c.settings != ShellSettings::SingleClick) {
        EXPECT_TRUE(recorder.OpenedKeys().empty()) << "the registry is read only in single-click mode";
    }
}

INSTANTIATE_TEST_SUITE_P(Outcomes, LinkUnderlineTable, ::testing::ValuesIn(kUnderlineCases),
                         [](const ::testing::TestParamInfo<UnderlineCase>& info) { return info.param.name; });

TEST(LinkUnderline, WithoutTheShellLibraryIsDoubleClickNeverUnderlined)
{
    ApiRecorder recorder;
    recorder.Override()->LoadLibraryW = &FailingLoadLibraryW;

    LinkUnderlineSettings settings;
    std::memset(&settings, 0xCC, sizeof(settings));
    GetLinkUnderlineMode(&settings);

    EXPECT_FALSE(settings.SingleClick);
    EXPECT_EQ(UnderlineNever, settings.Underline);
    EXPECT_TRUE(recorder.OpenedKeys().empty());
}

TEST(LinkUnderline, TheShellLibraryIsLoadedFromTheSystemFolderForTheQuestionOnly)
{
    ApiRecorder recorder;
    LinkUnderlineSettings settings{};
    GetLinkUnderlineMode(&settings);
    EXPECT_EQ(1, recorder.LibraryLoads());
    EXPECT_TRUE(AllReleased(recorder));
}

TEST(LinkUnderline, ReadsTheBrowserSettingOnlyAfterTheShellSettingAndClosesBothKeys)
{
    RegistrySandbox sandbox;
    sandbox.SetNumber(HKEY_CURRENT_USER, kExplorerKey, L"IconUnderline", 3);
    sandbox.SetText(HKEY_CURRENT_USER, kBrowserKey, L"Anchor Underline", L"no");

    ApiRecorder recorder;
    FakeShellSettings(recorder, ShellSettings::SingleClick);

    LinkUnderlineSettings settings{};
    GetLinkUnderlineMode(&settings);

    ASSERT_EQ(2u, recorder.OpenedKeys().size());
    EXPECT_EQ(kExplorerKey, recorder.OpenedKeys()[0].name);
    EXPECT_EQ(kBrowserKey, recorder.OpenedKeys()[1].name);
    for (const auto& key : recorder.OpenedKeys()) EXPECT_EQ(static_cast<REGSAM>(KEY_QUERY_VALUE), key.access);
    EXPECT_EQ((std::vector<std::wstring>{L"IconUnderline", L"Anchor Underline"}), recorder.QueriedValues());
    EXPECT_TRUE(AllReleased(recorder));
}

} // namespace

} // namespace registrytest
