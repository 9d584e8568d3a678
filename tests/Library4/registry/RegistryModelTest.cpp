// Randomised model tests of the link-underline and file-type-icon look-ups: thousands of random
// stored values, each outcome compared with a model of the documented behaviour, and the caller's
// outputs guarded by sentinels on both sides.
#include "Library4/Shell/ShellRegistry.h"

#include "tests/Library4/registry/RegistryModel.h"
#include "tests/Library4/registry/RegistryTestSupport.h"
#include "tests/support/GuardedBuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <map>
#include <string>

namespace registrytest {

using Library4::Shell::GetFileTypeIcon;
using Library4::Shell::GetLinkUnderlineMode;
using Library4::Shell::LinkUnderline;
using Library4::Shell::LinkUnderlineSettings;

namespace {

// ---- Link underline --------------------------------------------------------------------------

constexpr std::uint32_t kUnderlineSeed = 0x4C696E6B;
constexpr int kUnderlineCases = 5000;

enum class ClickSetting { Single, Double, Missing };
ClickSetting clickSetting = ClickSetting::Single;

void WINAPI FakeSHGetSettings(SHELLFLAGSTATE* state, DWORD)
{
    state->fDoubleClickInWebView = clickSetting == ClickSetting::Double;
}

// A number's bytes, cut or lengthened to size: a number stored in fewer bytes, or more than 4.
StoredValue NumberValue(Generator& generator)
{
    static const DWORD kNumbers[] = {3, 3, 3, 3, 3, 0, 1, 2, 4, 0x103, 0x30003};
    static const int kSizes[] = {4, 4, 4, 4, 4, 0, 1, 2, 3, 5, 8};
    const DWORD value = kNumbers[generator.Between(0, 10)];
    StoredValue stored;
    stored.type = generator.AnyType();
    stored.bytes.assign(8, 0);
    std::memcpy(stored.bytes.data(), &value, sizeof(value));
    stored.bytes.resize(kSizes[generator.Between(0, 10)]);
    stored.zeroFollows = generator.Chance(0.5);
    return stored;
}

// The documented outcome: double-click or no settings function gives (false, never); single-click
// gives hover unless the shell defers to the browser, whose "yes" / "no" / "hover" decide.
LinkUnderline ExpectedUnderline(const ModelRegistry& registry)
{
    if (!registry.KeyExists(HKEY_CURRENT_USER, kExplorerKey)) return Library4::Shell::UnderlineHover;
    const StoredValue* iconUnderline = registry.Value(HKEY_CURRENT_USER, kExplorerKey, L"IconUnderline");
    if (iconUnderline == nullptr || iconUnderline->bytes.size() > 4) return Library4::Shell::UnderlineHover;
    // A number stored in fewer bytes fills only the low bytes of the zeroed number.
    DWORD number = 0;
    for (std::size_t i = 0; i < iconUnderline->bytes.size(); ++i) number |= DWORD{iconUnderline->bytes[i]} << (8 * i);
    if (number != 3 || !registry.KeyExists(HKEY_CURRENT_USER, kBrowserKey)) return Library4::Shell::UnderlineHover;

    const FieldRead anchor = ReadIntoField(registry.Value(HKEY_CURRENT_USER, kBrowserKey, L"Anchor Underline"), 10);
    const std::wstring text = registrytest::Lower(anchor.text);
    if (anchor.succeeded && text == L"yes") return Library4::Shell::UnderlineAlways;
    if (anchor.succeeded && text == L"no") return Library4::Shell::UnderlineNever;
    return Library4::Shell::UnderlineHover;
}

struct GuardedSettings {
    unsigned char before[16];
    LinkUnderlineSettings settings;
    unsigned char after[16];
};

TEST(RegistryModel, LinkUnderlineAgreesWithTheModelOverRandomValues)
{
    const auto oneCase = [&](Generator& generator, ModelRegistry& registry, ApiRecorder& recorder, Outcomes& outcomes) {
        const int click = generator.Between(0, 19);
        clickSetting = click < 2 ? ClickSetting::Double : click < 3 ? ClickSetting::Missing : ClickSetting::Single;
        recorder.Override()->SHGetSettings = clickSetting == ClickSetting::Missing ? nullptr : &FakeSHGetSettings;
        if (generator.Chance(0.9)) {
            registry.CreateKey(HKEY_CURRENT_USER, kExplorerKey);
            if (generator.Chance(0.85)) {
                registry.SetValue(HKEY_CURRENT_USER, kExplorerKey, L"IconUnderline", NumberValue(generator));
            }
        }
        if (generator.Chance(0.85)) {
            registry.CreateKey(HKEY_CURRENT_USER, kBrowserKey);
            if (generator.Chance(0.85)) {
                const std::wstring text = generator.Pick({L"yes", L"no", L"hover", L"YES", L"No", L"HoVeR", L"yess",
                                                          L"ye", L"nO ", L"sometimes", L"yesyesyesyes", L""});
                registry.SetValue(HKEY_CURRENT_USER, kBrowserKey, L"Anchor Underline",
                                  generator.Chance(0.4) ? Generator::Terminated(text, generator.AnyType())
                                                        : generator.Frame(text, 10));
            }
        }

        GuardedSettings guarded;
        std::memset(&guarded, 0xCC, sizeof(guarded));
        GetLinkUnderlineMode(&guarded.settings);

        const bool singleClick = clickSetting == ClickSetting::Single;
        const LinkUnderline expected = singleClick ? ExpectedUnderline(registry) : Library4::Shell::UnderlineNever;
        EXPECT_EQ(singleClick, guarded.settings.SingleClick);
        EXPECT_EQ(expected, guarded.settings.Underline);
        EXPECT_TRUE(std::all_of(std::begin(guarded.before), std::end(guarded.before),
                                [](unsigned char b) { return b == 0xCC; }));
        EXPECT_TRUE(
            std::all_of(std::begin(guarded.after), std::end(guarded.after), [](unsigned char b) { return b == 0xCC; }));
        EXPECT_TRUE(AllReleased(recorder));
        ++outcomes[std::string(singleClick ? "single " : "double ") + std::to_string(expected)];
    };
    RunModelCases("GetLinkUnderlineMode", kUnderlineSeed, kUnderlineCases, {HKEY_CURRENT_USER},
                  {"single 0", "single 1", "single 2", "double 1"}, oneCase);
}

// ---- File type icon --------------------------------------------------------------------------

constexpr std::uint32_t kIconSeed = 0x49636F6E;
constexpr int kIconCases = 3000;
constexpr DWORD kIconFileChars = 270;
using testsupport::kUntouched;
constexpr int kUntouchedIndex = 0x5A5A5A5A;
constexpr std::size_t kGuardChars = 16;
const std::wstring kClasses = L"Software\\Classes\\";

std::wstring IconLocationText(Generator& generator)
{
    std::wstring file = generator.Pick({L"C:\\Icons\\vantrel.dll", L"\"%SystemRoot%\\system32\\shell32.dll\"",
                                        L"%UNDEFINED_VARIABLE%\\x.ico", L"odd,name.dll", L"", L"%1"});
    if (generator.Chance(0.1)) file = std::wstring(generator.Between(250, 275), L'f');
    return file +
           generator.Pick({L"", L",5", L",-204", L", +7", L",\t-3", L",99999999999", L",-99999999999", L",12abc",
                           L",abc", L",", L",0x1F", L",--4", L",2147483647", L",-2147483648", L",2147483648", L",007"});
}

// One root's registrations: the extension's class name, and icon locations for the classes it
// may name, some of them too long to take "\DefaultIcon".
void RegisterRandomTypes(Generator& generator, ModelRegistry& registry, HKEY root, const std::wstring& longClass)
{
    const std::wstring classes[] = {L"Vantrel.Doc", L"Vantrel.Other", longClass};
    if (generator.Chance(0.7)) {
        registry.CreateKey(root, kClasses + L".vtx");
        if (generator.Chance(0.9)) {
            const int choice = generator.Between(0, 19);
            const std::wstring name = choice < 12   ? classes[0]
                                      : choice < 15 ? classes[1]
                                      : choice < 19 ? longClass
                                                    : L"";
            registry.SetValue(root, kClasses + L".vtx", nullptr,
                              generator.Chance(0.5) ? Generator::Terminated(name, generator.AnyType())
                                                    : generator.Frame(name, 260));
        }
    }
    for (const std::wstring& name : classes) {
        if (!generator.Chance(0.6) || !registry.CreateKey(root, kClasses + name + L"\\DefaultIcon")) continue;
        if (generator.Chance(0.9)) {
            const std::wstring location = IconLocationText(generator);
            registry.SetValue(root, kClasses + name + L"\\DefaultIcon", nullptr,
                              generator.Chance(0.4) ? Generator::Terminated(location, generator.AnyType())
                                                    : generator.Frame(location, kIconFileChars));
        }
    }
}

struct IconLocation {
    bool found = false;
    std::wstring file;
    int index = 0;
    HKEY root = nullptr;
};

// Per user first, then machine-wide; a class is looked up only below the root that named it, and
// only a class name of up to 247 characters leaves room for "\DefaultIcon" in its 260 units.
IconLocation ExpectedIcon(const ModelRegistry& registry, const std::wstring& path)
{
    IconLocation expected;
    const std::size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos) return expected;
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        const std::wstring extensionKey = kClasses + path.substr(dot);
        if (!registry.KeyExists(root, extensionKey)) continue;
        const FieldRead className = ReadIntoField(registry.Value(root, extensionKey, nullptr), 260);
        if (!className.succeeded || className.text.size() > 247) continue;
        const std::wstring iconKey = kClasses + className.text + L"\\DefaultIcon";
        if (!registry.KeyExists(root, iconKey)) continue;
        const FieldRead location = ReadIntoField(registry.Value(root, iconKey, nullptr), kIconFileChars);
        if (!location.succeeded) continue;

        expected.found = true;
        expected.root = root;
        const std::size_t comma = location.text.rfind(L',');
        expected.file = location.text.substr(0, comma);
        if (comma != std::wstring::npos) expected.index = registrytest::ParseSigned(location.text.substr(comma + 1));
        return expected;
    }
    return expected;
}

struct GuardedIcon {
    wchar_t area[kGuardChars + kIconFileChars + kGuardChars];
    int index[3];
    GuardedIcon()
    {
        std::fill(std::begin(area), std::end(area), kUntouched);
        std::fill(std::begin(index), std::end(index), kUntouchedIndex);
    }
    wchar_t* File() { return area + kGuardChars; }
};

TEST(RegistryModel, FileTypeIconAgreesWithTheModelOverRandomValues)
{
    const auto oneCase = [&](Generator& generator, ModelRegistry& registry, ApiRecorder& recorder, Outcomes& outcomes) {
        // Class names at the edge of what fits with "\DefaultIcon".
        const std::wstring longClass(generator.Between(245, 250), L'c');
        RegisterRandomTypes(generator, registry, HKEY_CURRENT_USER, longClass);
        RegisterRandomTypes(generator, registry, HKEY_LOCAL_MACHINE, longClass);
        const std::wstring path =
            generator.Chance(0.9)
                ? generator.Pick({L"C:\\no such folder\\report.vtx", L".vtx", L"C:\\no such folder\\REPORT.VTX"})
                : generator.Pick({L"C:\\no such folder\\README", L"C:\\folder.vtx\\README"});

        GuardedIcon guarded;
        const bool found = GetFileTypeIcon(path.c_str(), guarded.File(), &guarded.index[1]);

        const IconLocation expected = ExpectedIcon(registry, path);
        ASSERT_EQ(expected.found, found);
        const std::size_t written = expected.found ? expected.file.size() + 1 : 0;
        if (expected.found) {
            ASSERT_LT(std::wcslen(guarded.File()), kIconFileChars) << "the icon file is terminated inside its buffer";
            EXPECT_EQ(expected.file, guarded.File());
            EXPECT_EQ(expected.index, guarded.index[1]);
        } else {
            EXPECT_EQ(kUntouchedIndex, guarded.index[1]);
        }
        // Nothing but the text and its terminator is written.
        for (std::size_t i = 0; i < std::size(guarded.area); ++i) {
            if (i < kGuardChars || i >= kGuardChars + written) {
                ASSERT_EQ(kUntouched, guarded.area[i]) << "unit " << i;
            }
        }
        EXPECT_EQ(kUntouchedIndex, guarded.index[0]);
        EXPECT_EQ(kUntouchedIndex, guarded.index[2]);
        EXPECT_TRUE(AllReleased(recorder));
        ++outcomes[!expected.found ? "none" : expected.root == HKEY_CURRENT_USER ? "per user" : "machine-wide"];
    };
    RunModelCases("GetFileTypeIcon", kIconSeed, kIconCases, {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE},
                  {"none", "per user", "machine-wide"}, oneCase);
}

} // namespace

} // namespace registrytest
