#include "Library4/Shell/ShellRegistry.h"

#include "tests/Library4/registry/RegistryTestSupport.h"
#include "tests/support/GuardedBuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace registrytest {

using Library4::Shell::ReadRegistryDisplayString;

namespace {

constexpr wchar_t kKey[] = L"Software\\Vantrel\\Display";
using testsupport::kUntouched;
constexpr DWORD kUntouchedLength = 0xDEADBEEF;

// The table's strings, as its resource script holds them.
constexpr wchar_t kFive[] = L"Five from the table";
constexpr wchar_t kHexadecimal[] = L"Hexadecimal entry";  // id 291, 0x123
constexpr wchar_t kTwoThousand[] = L"Entry two thousand"; // id 2000

struct Reading {
    bool found = false;
    wchar_t buffer[80]; // room past every capacity used, for the sentinel check
    DWORD length = 0;

    Reading() { std::fill(std::begin(buffer), std::end(buffer), kUntouched); }
};

Reading Read(DWORD capacity, const wchar_t* valueName = L"Name", const wchar_t* referenceName = L"NameReference")
{
    Reading reading;
    reading.length = capacity;
    reading.found =
        ReadRegistryDisplayString(HKEY_CURRENT_USER, kKey, valueName, referenceName, reading.buffer, &reading.length);
    return reading;
}

struct ReferenceCase {
    const char* name;
    std::wstring reference;
    DWORD capacity;
    const wchar_t* expectedText;
};

void PrintTo(const ReferenceCase& c, std::ostream* os) { *os << c.name; }

std::vector<ReferenceCase> ReferenceCases()
{
    const std::wstring dll = StringsDll();
    return {
        {"DecimalId", L"@" + dll + L",-5", 64, kFive},
        {"HexadecimalId", L"@" + dll + L",-0x123", 64, kHexadecimal},
        {"CharacterAfterTheCommaIsSkipped", L"@" + dll + L",25", 64, kFive},
        {"IdStopsAtTheFirstNonDigit", L"@" + dll + L",-2000 trailing", 64, kTwoThousand},
        {"TruncatedToTheCapacity", L"@" + dll + L",-5", 5, L"Five"},
        {"MissingIdFallsBackToThePlainValue", L"@" + dll + L",-77", 64, L"Plain name"},
        {"NoCommaFallsBackToThePlainValue", L"@" + dll, 64, L"Plain name"},
        {"UnloadableModuleFallsBackToThePlainValue", L"@C:\\no such folder\\none.dll,-5", 64, L"Plain name"},
        {"EmptyReferenceFallsBackToThePlainValue", L"", 64, L"Plain name"},
        {"NothingAfterTheCommaFallsBackToThePlainValue", L"@" + dll + L",", 64, L"Plain name"},
    };
}

class DisplayStringReference : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(DisplayStringReference, PrefersTheReferencedStringToThePlainText)
{
    const ReferenceCase& c = GetParam();
    RegistrySandbox sandbox;
    sandbox.SetText(HKEY_CURRENT_USER, kKey, L"Name", L"Plain name");
    sandbox.SetText(HKEY_CURRENT_USER, kKey, L"NameReference", c.reference);

    ApiRecorder recorder;
    const Reading reading = Read(c.capacity);

    ASSERT_TRUE(reading.found);
    EXPECT_STREQ(c.expectedText, reading.buffer);
    EXPECT_EQ(std::wcslen(c.expectedText), reading.length);
    EXPECT_TRUE(AllReleased(recorder));
}

INSTANTIATE_TEST_SUITE_P(References, DisplayStringReference, ::testing::ValuesIn(ReferenceCases()),
                         [](const ::testing::TestParamInfo<ReferenceCase>& info) { return info.param.name; });

TEST(RegistryDisplayString, ModulePathHasItsEnvironmentReferencesExpanded)
{
    std::wstring dll = StringsDll();
    const std::size_t separator = dll.rfind(L'\\');
    ScopedEnvironmentVariable folder(L"VANTREL_STRINGS", dll.substr(0, separator));
    RegistrySandbox sandbox;
    sandbox.SetText(HKEY_CURRENT_USER, kKey, L"NameReference", L"@%VANTREL_STRINGS%" + dll.substr(separator) + L",-5",
                    REG_EXPAND_SZ);

    const Reading reading = Read(64);
    ASSERT_TRUE(reading.found);
    EXPECT_STREQ(kFive, reading.buffer);
}

TEST(RegistryDisplayString, ModulePathWhoseExpansionDoesNotFitIsNotLoaded)
{
    ScopedEnvironmentVariable folder(L"VANTREL_STRINGS", L"C:\\" + std::wstring(300, L'f'));
    RegistrySandbox sandbox;
    sandbox.SetText(HKEY_CURRENT_USER, kKey, L"Name", L"Plain name");
    sandbox.SetText(HKEY_CURRENT_USER, kKey, L"NameReference", L"@%VANTREL_STRINGS%\\strings.dll,-5");

    ApiRecorder recorder;
    const Reading reading = Read(64);

    ASSERT_TRUE(reading.found);
    EXPECT_STREQ(L"Plain name", reading.buffer);
    EXPECT_EQ(10u, reading.length);
    EXPECT_EQ(0, recorder.LibraryLoads());
}

TEST(RegistryDisplayString, ReferenceFillingItsBufferWithoutTerminatorStaysInsideIt)
{
    RegistrySandbox sandbox;
    std::wstring reference = L"@" + StringsDll() + L",-5";
    reference.resize(290, L'x');
    sandbox.SetText(HKEY_CURRENT_USER, kKey, L"Name", L"Plain name");
    sandbox.SetBytes(HKEY_CURRENT_USER, kKey, L"NameReference", REG_BINARY, reference.data(),
                     static_cast<DWORD>(reference.size() * sizeof(wchar_t)));

    const Reading reading = Read(64);
    ASSERT_TRUE(reading.found);
    EXPECT_STREQ(kFive, reading.buffer);
}

// A found reference makes reading the plain value needless; without a reference name there is
// nothing to load.
TEST(RegistryDisplayString, ReadsOnlyTheValuesItNeeds)
{
    struct {
        const char* name;
        const wchar_t* referenceName;
        const wchar_t* expectedText;
        std::vector<std::wstring> expectedQueried;
        std::vector<std::wstring> expectedModulesLoaded;
    } const cases[] = {
        {"FoundReferenceDoesNotReadThePlainValue", L"NameReference", kFive, {L"NameReference"}, {StringsDll()}},
        {"NullReferenceNameReadsThePlainValueOnly", nullptr, L"Plain name", {L"Name"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegistrySandbox sandbox;
        sandbox.SetText(HKEY_CURRENT_USER, kKey, L"Name", L"Plain name");
        sandbox.SetText(HKEY_CURRENT_USER, kKey, L"NameReference", L"@" + StringsDll() + L",-5");

        ApiRecorder recorder;
        const Reading reading = Read(64, L"Name", c.referenceName);

        ASSERT_TRUE(reading.found);
        EXPECT_STREQ(c.expectedText, reading.buffer);
        EXPECT_EQ(c.expectedQueried, recorder.QueriedValues());
        EXPECT_EQ(c.expectedModulesLoaded, recorder.ModulesLoadedAsData());
        EXPECT_EQ(static_cast<int>(c.expectedModulesLoaded.size()), recorder.LibraryLoads());
    }
}

// Only a loaded module whose string is missing reports length zero; other failures keep it.
TEST(RegistryDisplayString, FailuresReportTheLengthOnlyAfterLoadingTheModule)
{
    struct {
        const char* name;
        std::wstring reference;
        const wchar_t* valueName;
        DWORD expectedLength;
    } const cases[] = {
        {"MissingIdWithoutPlainValue", L"@" + StringsDll() + L",-77", L"Name", 0},
        {"UnloadableModuleWithoutPlainValue", L"@C:\\no such folder\\none.dll,-5", L"Missing", 64},
        {"UnloadableModuleWithEmptyPlainValue", L"@C:\\no such folder\\none.dll,-5", L"Empty", 64},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegistrySandbox sandbox;
        sandbox.SetText(HKEY_CURRENT_USER, kKey, L"NameReference", c.reference);
        sandbox.SetBytes(HKEY_CURRENT_USER, kKey, L"Empty", REG_SZ, L"", 0);

        ApiRecorder recorder;
        const Reading reading = Read(64, c.valueName);

        EXPECT_FALSE(reading.found);
        EXPECT_EQ(c.expectedLength, reading.length);
        EXPECT_TRUE(AllReleased(recorder));
    }
}

TEST(RegistryDisplayString, MissingKeyTouchesNothing)
{
    RegistrySandbox sandbox;
    Reading reading;
    reading.length = kUntouchedLength;
    EXPECT_FALSE(ReadRegistryDisplayString(HKEY_CURRENT_USER, L"Software\\Vantrel\\Nowhere", L"Name", nullptr,
                                           reading.buffer, &reading.length));
    EXPECT_EQ(kUntouchedLength, reading.length);
    EXPECT_EQ(kUntouched, reading.buffer[0]);
}

TEST(RegistryDisplayString, NullValueNameReadsTheDefaultValue)
{
    RegistrySandbox sandbox;
    sandbox.SetText(HKEY_CURRENT_USER, kKey, nullptr, L"Default text");
    sandbox.SetText(HKEY_CURRENT_USER, kKey, L"Name", L"Plain name");

    const Reading reading = Read(64, nullptr, nullptr);
    ASSERT_TRUE(reading.found);
    EXPECT_STREQ(L"Default text", reading.buffer);
    EXPECT_EQ(12u, reading.length);
}

struct PlainCase {
    const char* name;
    std::wstring bytes; // the stored units, exactly
    DWORD byteCount;    // how many bytes of them are stored
    DWORD capacity;
    bool expectedFound;
    const wchar_t* expectedText; // when found
};

void PrintTo(const PlainCase& c, std::ostream* os) { *os << c.name; }

const PlainCase kPlainCases[] = {
    {"TerminatedText", std::wstring(L"abc\0", 4), 8, 64, true, L"abc"},
    {"EmptyTextWithTerminator", std::wstring(L"\0", 1), 2, 64, true, L""},
    {"SingleByte", std::wstring(L"a"), 1, 64, true, L""},
    {"OddByteCount", std::wstring(L"ab\0", 3), 3, 64, true, L"a"},
    {"NoTerminatorWithRoomToSpare", std::wstring(L"abcd"), 8, 64, true, L"abcd"},
    {"NoTerminatorFillingTheCapacity", std::wstring(L"abcdefgh"), 16, 8, true, L"abcdefg"},
    {"TerminatedTextExactlyFillingTheCapacity", std::wstring(L"abcdefg\0", 8), 16, 8, true, L"abcdefg"},
    {"LargerThanTheCapacity", std::wstring(L"abcdefghij\0", 11), 22, 8, false, nullptr},
};

class DisplayStringPlainValue : public ::testing::TestWithParam<PlainCase> {};

TEST_P(DisplayStringPlainValue, StaysTerminatedInsideTheCapacity)
{
    const PlainCase& c = GetParam();
    RegistrySandbox sandbox;
    // A binary value keeps its bytes exactly as given; Wine would complete a REG_SZ text.
    sandbox.SetBytes(HKEY_CURRENT_USER, kKey, L"Name", REG_BINARY, c.bytes.data(), c.byteCount);

    registrytest::GarbageOnMoreData garbage;
    const Reading reading = Read(c.capacity, L"Name", nullptr);

    EXPECT_EQ(c.expectedFound, reading.found);
    if (c.expectedFound) {
        EXPECT_STREQ(c.expectedText, reading.buffer);
        EXPECT_EQ(std::wcslen(c.expectedText), reading.length);
    } else {
        EXPECT_EQ(c.capacity, reading.length);
        EXPECT_EQ(L'\0', reading.buffer[0]) << "a value too large must not leave undefined text behind";
    }
    EXPECT_EQ(kUntouched, reading.buffer[c.capacity]) << "nothing is written past the capacity";
}

INSTANTIATE_TEST_SUITE_P(PlainValues, DisplayStringPlainValue, ::testing::ValuesIn(kPlainCases),
                         [](const ::testing::TestParamInfo<PlainCase>& info) { return info.param.name; });

} // namespace

} // namespace registrytest
