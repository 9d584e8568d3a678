// Randomised model test of the display-string look-up: random plain values and "@module,-id"
// references into the test's real string table, random capacities, each outcome compared with a
// model of the documented behaviour, and the caller's buffer guarded by sentinels on both sides.
#include "Library4/Shell/ShellRegistry.h"

#include "tests/Library4/registry/RegistryModel.h"
#include "tests/Library4/registry/RegistryTestSupport.h"
#include "tests/support/GuardedBuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace registrytest {

using Library4::Shell::ReadRegistryDisplayString;

namespace {

constexpr std::uint32_t kDisplaySeed = 0x44697370;
constexpr int kDisplayCases = 4000;
constexpr wchar_t kKey[] = L"Software\\Vantrel\\Display";
constexpr DWORD kLargestCapacity = 300;
constexpr std::size_t kGuardChars = 16;
using testsupport::kUntouched;

std::wstring TableDll()
{
    std::wstring path = VANTREL_DISPLAY_STRINGS_DLL;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

// The string table's entries, as its resource script holds them; a string is found by the low 16
// bits of its id.
const std::map<std::uint16_t, std::wstring> kTable = {
    {1, L"First entry"}, {5, L"Five from the table"}, {291, L"Hexadecimal entry"}, {2000, L"Entry two thousand"}};

std::wstring ReferenceText(Generator& generator, const std::wstring& dll)
{
    const std::wstring fileName = dll.substr(dll.rfind(L'\\') + 1);
    // %VANTREL_PAD% is 258 characters: with no, one or two more the module path just fits its 260
    // units with the terminator, or does not.
    const std::wstring module = generator.Pick(
        {L"@", L"@", L"@", L"#", L"@VS", L"@none", L"@undefined", L"@long", L"@pad", L"@comma", L"@bare", L""});
    std::wstring text;
    if (module == L"@VS") {
        text = L"@%VANTREL_STRINGS%\\" + fileName;
    } else if (module == L"@none") {
        text = L"@C:\\no such folder\\none.dll";
    } else if (module == L"@undefined") {
        text = L"@%UNDEFINED_VARIABLE%\\none.dll";
    } else if (module == L"@long") {
        text = L"@%VANTREL_LONG%\\none.dll";
    } else if (module == L"@pad") {
        text = L"@%VANTREL_PAD%" + std::wstring(generator.Between(0, 2), L'x');
    } else if (module == L"@comma") {
        text = L"@C:\\odd,folder\\none.dll";
    } else if (module == L"@bare") {
        text = L"@";
    } else if (!module.empty()) {
        text = module + dll; // the first character is skipped, whatever it is
    }
    return text + generator.Pick({L",-5", L",-5", L",-0x123", L",25", L",-2000 trailing", L",-77", L",-05", L",-0x7D0",
                                  L",-1", L",", L"", L",-0", L",-99999999999", L",-65541", L",--5", L",-08", L",-291"});
}

struct DisplayExpectation {
    bool keyOpened = false;
    bool found = false;
    std::wstring text;
    DWORD length = 0;
    std::vector<std::wstring> modulesLoaded; // as data files
    std::string outcome;
};

// The reference first, if named and followable (a comma with a path before it and an id after
// the character behind it; a module path whose expansion fits 260 units), then the plain value
// with the caller's whole capacity.
DisplayExpectation ExpectedDisplay(const ModelRegistry& registry, const wchar_t* valueName,
                                   const wchar_t* referenceName, DWORD capacity, const std::wstring& dll)
{
    DisplayExpectation expected;
    expected.length = capacity;
    if (!registry.KeyExists(HKEY_CURRENT_USER, kKey)) return expected;
    expected.keyOpened = true;
    if (capacity == 0) return expected;

    bool moduleLoaded = false;
    const FieldRead reference = referenceName != nullptr
                                    ? ReadIntoField(registry.Value(HKEY_CURRENT_USER, kKey, referenceName), 290)
                                    : FieldRead{};
    const std::size_t comma = reference.text.rfind(L',');
    if (comma != std::wstring::npos && comma != 0 && comma + 1 < reference.text.size()) {
        const std::uint32_t id = registrytest::ParseUnsignedAnyBase(reference.text.substr(comma + 2));
        const std::wstring module = registrytest::ExpandFully(reference.text.substr(1, comma - 1));
        if (module.size() + 1 <= 260) {
            expected.modulesLoaded.push_back(module);
            moduleLoaded = registrytest::Lower(module) == registrytest::Lower(dll);
        }
        const auto entry = kTable.find(static_cast<std::uint16_t>(id & 0xFFFF));
        if (moduleLoaded && entry != kTable.end() && capacity > 1) {
            expected.found = true;
            expected.text = entry->second.substr(0, capacity - 1);
            expected.length = static_cast<DWORD>(expected.text.size());
            expected.outcome = "resource string";
            return expected;
        }
        if (moduleLoaded) expected.length = 0;
    }

    const FieldRead plain = ReadIntoField(registry.Value(HKEY_CURRENT_USER, kKey, valueName), capacity);
    if (plain.succeeded && plain.bytesRead > 0) {
        expected.found = true;
        expected.text = plain.text;
        expected.length = plain.kept;
        expected.outcome = moduleLoaded ? "plain text after a string the module lacks" : "plain text";
    } else {
        expected.outcome = moduleLoaded ? "nothing, length 0" : "nothing, length kept";
    }
    return expected;
}

struct GuardedBuffer {
    wchar_t area[kGuardChars + kLargestCapacity + kGuardChars];
    GuardedBuffer() { std::fill(std::begin(area), std::end(area), kUntouched); }
    wchar_t* Buffer() { return area + kGuardChars; }
};

TEST(RegistryModel, DisplayStringAgreesWithTheModelOverRandomValues)
{
    const std::wstring dll = TableDll();
    ScopedEnvironmentVariable strings(L"VANTREL_STRINGS", dll.substr(0, dll.rfind(L'\\')));
    ScopedEnvironmentVariable longValue(L"VANTREL_LONG", std::wstring(300, L'L'));
    ScopedEnvironmentVariable pad(L"VANTREL_PAD", L"C:\\" + std::wstring(255, L'p'));
    ASSERT_EQ(0u, ::GetEnvironmentVariableW(L"UNDEFINED_VARIABLE", nullptr, 0));
    const auto oneCase = [&](Generator& generator, ModelRegistry& registry, ApiRecorder& recorder, Outcomes& outcomes) {
        const DWORD capacity = generator.Chance(0.02)  ? 0
                               : generator.Chance(0.5) ? generator.Between(1, 24)
                                                       : generator.Between(1, kLargestCapacity);
        const DWORD fieldChars = std::max<DWORD>(capacity, 1);
        if (generator.Chance(0.95)) {
            registry.CreateKey(HKEY_CURRENT_USER, kKey);
            for (const wchar_t* name : {L"Name", static_cast<const wchar_t*>(nullptr)}) {
                if (!generator.Chance(0.8)) continue;
                std::wstring text = generator.Pick({L"Plain name", L"", L"Vantrel display text", L"Default text"});
                if (generator.Chance(0.3)) text.assign(generator.Between(1, 310), L'n');
                registry.SetValue(HKEY_CURRENT_USER, kKey, name,
                                  generator.Chance(0.3) ? Generator::Terminated(text, generator.AnyType())
                                                        : generator.Frame(text, fieldChars));
            }
            if (generator.Chance(0.85)) {
                const std::wstring reference = ReferenceText(generator, dll);
                registry.SetValue(HKEY_CURRENT_USER, kKey, L"NameReference",
                                  generator.Chance(0.5) ? Generator::Terminated(reference, generator.AnyType())
                                                        : generator.Frame(reference, 290));
            }
        }
        const wchar_t* valueName = generator.Chance(0.7) ? L"Name" : nullptr;
        const int referenceChoice = generator.Between(0, 19);
        const wchar_t* referenceName = referenceChoice < 12   ? L"NameReference"
                                       : referenceChoice < 17 ? nullptr
                                                              : L"Missing";

        GuardedBuffer guarded;
        DWORD length = capacity;
        const bool found =
            ReadRegistryDisplayString(HKEY_CURRENT_USER, kKey, valueName, referenceName, guarded.Buffer(), &length);

        const DisplayExpectation expected = ExpectedDisplay(registry, valueName, referenceName, capacity, dll);
        EXPECT_EQ(expected.found, found);
        EXPECT_EQ(expected.length, length);
        const wchar_t* buffer = guarded.Buffer();
        if (expected.found) {
            const auto terminator = static_cast<DWORD>(std::find(buffer, buffer + capacity, L'\0') - buffer);
            ASSERT_LT(terminator, capacity) << "the text is terminated inside the capacity";
            EXPECT_EQ(expected.text, std::wstring(buffer, terminator));
        } else if (expected.keyOpened && capacity != 0) {
            EXPECT_EQ(L'\0', buffer[0]) << "a failed read leaves no undefined text behind";
        }
        // Without a key or any capacity nothing at all is written.
        const std::size_t writable = expected.keyOpened ? capacity : 0;
        for (std::size_t i = 0; i < std::size(guarded.area); ++i) {
            if (i < kGuardChars || i >= kGuardChars + writable) {
                ASSERT_EQ(kUntouched, guarded.area[i]) << "unit " << i << " lies outside what may be written";
            }
        }
        EXPECT_EQ(expected.modulesLoaded, recorder.ModulesLoadedAsData());
        EXPECT_TRUE(AllReleased(recorder));
        ++outcomes[expected.keyOpened ? (capacity == 0 ? "no capacity" : expected.outcome) : "no key"];
    };
    RunModelCases("ReadRegistryDisplayString", kDisplaySeed, kDisplayCases, {HKEY_CURRENT_USER},
                  {"no key", "no capacity", "resource string", "plain text after a string the module lacks",
                   "plain text", "nothing, length 0", "nothing, length kept"},
                  oneCase);
}

} // namespace

} // namespace registrytest
