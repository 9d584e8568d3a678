#include "Library4/Shell/ShellRegistry.h"

#include "tests/Library4/registry/RegistryTestSupport.h"
#include "tests/support/GuardedBuffer.h"
#include "tests/support/KnownPaths.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>

namespace registrytest {

using Library4::Shell::GetFileTypeIcon;

namespace {

constexpr wchar_t kClasses[] = L"Software\\Classes\\";
using testsupport::kUntouched;
constexpr int kUntouchedIndex = 0x5A5A5A5A;

// Wine's registry adds the terminator that a REG_SZ text lacks; another type keeps the bytes as
// given, and the look-up does not ask for the type.
void RegisterExtension(RegistrySandbox& sandbox, HKEY root, const std::wstring& extension,
                       const std::wstring& className)
{
    sandbox.SetText(root, kClasses + extension, nullptr, className);
}

void RegisterIcon(RegistrySandbox& sandbox, HKEY root, const std::wstring& className, const std::wstring& location)
{
    sandbox.SetText(root, kClasses + className + L"\\DefaultIcon", nullptr, location);
}

// The extension and its class's icon, both below one root.
void RegisterType(RegistrySandbox& sandbox, HKEY root, const std::wstring& extension, const std::wstring& className,
                  const std::wstring& location)
{
    RegisterExtension(sandbox, root, extension, className);
    RegisterIcon(sandbox, root, className, location);
}

// The caller's buffers, filled with sentinels so that what was not written shows.
struct IconResult {
    bool found = false;
    wchar_t file[400];
    int index = kUntouchedIndex;

    IconResult() { std::fill(std::begin(file), std::end(file), kUntouched); }
    bool Untouched() const { return file[0] == kUntouched && index == kUntouchedIndex; }
};

IconResult LookUp(const std::wstring& path)
{
    IconResult result;
    result.found = GetFileTypeIcon(path.c_str(), result.file, &result.index);
    return result;
}

struct LocationCase {
    const char* name;
    const wchar_t* stored;
    const wchar_t* expectedFile;
    int expectedIndex;
};

const LocationCase kLocationCases[] = {
    {"FileAndIndex", L"C:\\Icons\\vantrel.dll,5", L"C:\\Icons\\vantrel.dll", 5},
    {"NegativeResourceId", L"vantrel.dll,-204", L"vantrel.dll", -204},
    {"NoComma", L"C:\\Icons\\vantrel.ico", L"C:\\Icons\\vantrel.ico", 0},
    {"TwoCommasSplitAtTheLast", L"odd,name.dll,3", L"odd,name.dll", 3},
    {"TrailingCharactersAfterDigits", L"vantrel.dll,12abc", L"vantrel.dll", 12},
    {"NoDigits", L"vantrel.dll,abc", L"vantrel.dll", 0},
    {"EmptyIndex", L"vantrel.dll,", L"vantrel.dll", 0},
    {"LeadingSpaceAndPlus", L"vantrel.dll, +7", L"vantrel.dll", 7},
    {"IndexClampedToInt", L"vantrel.dll,99999999999", L"vantrel.dll", INT_MAX},
    {"NegativeIndexClampedToInt", L"vantrel.dll,-99999999999", L"vantrel.dll", INT_MIN},
    {"QuotesAndEnvironmentKept", L"\"%SystemRoot%\\vantrel.dll\",2", L"\"%SystemRoot%\\vantrel.dll\"", 2},
};

void PrintTo(const LocationCase& c, std::ostream* os) { *os << c.name; }

class IconLocationParsing : public ::testing::TestWithParam<LocationCase> {};

TEST_P(IconLocationParsing, SplitsTheStoredLocation)
{
    const LocationCase& c = GetParam();
    RegistrySandbox sandbox;
    RegisterType(sandbox, HKEY_CURRENT_USER, L".vtx", L"Vantrel.Document", c.stored);

    ApiRecorder recorder;
    const IconResult result = LookUp(L"C:\\no such folder\\report.vtx");

    ASSERT_TRUE(result.found);
    EXPECT_STREQ(c.expectedFile, result.file);
    EXPECT_EQ(c.expectedIndex, result.index);
    EXPECT_TRUE(AllReleased(recorder));
}

INSTANTIATE_TEST_SUITE_P(Locations, IconLocationParsing, ::testing::ValuesIn(kLocationCases),
                         [](const ::testing::TestParamInfo<LocationCase>& info) { return info.param.name; });

TEST(FileTypeIcon, PerUserRegistrationComesFirst)
{
    RegistrySandbox sandbox;
    RegisterType(sandbox, HKEY_CURRENT_USER, L".vtx", L"Vantrel.User", L"user.dll,1");
    RegisterType(sandbox, HKEY_LOCAL_MACHINE, L".vtx", L"Vantrel.Machine", L"machine.dll,2");

    ApiRecorder recorder;
    const IconResult result = LookUp(L"report.vtx");

    ASSERT_TRUE(result.found);
    EXPECT_STREQ(L"user.dll", result.file);
    EXPECT_EQ(1, result.index);
    // "Software\Classes", the extension, the class's icon key: the machine-wide root is not tried.
    ASSERT_EQ(3u, recorder.OpenedKeys().size());
    EXPECT_EQ(L"Software\\Classes", recorder.OpenedKeys()[0].name);
    EXPECT_EQ(L".vtx", recorder.OpenedKeys()[1].name);
    EXPECT_EQ(L"Vantrel.User\\DefaultIcon", recorder.OpenedKeys()[2].name);
    for (const auto& key : recorder.OpenedKeys()) EXPECT_EQ(static_cast<REGSAM>(KEY_QUERY_VALUE), key.access);
    EXPECT_TRUE(AllReleased(recorder));
}

// The machine-wide registration that the rows fall back to.
void RegisterMachineDocument(RegistrySandbox& sandbox)
{
    RegisterType(sandbox, HKEY_LOCAL_MACHINE, L".vtx", L"Vantrel.Machine", L"machine.dll,2");
}

struct RootCase {
    const char* name;
    const wchar_t* path;
    void (*registerTypes)(RegistrySandbox&);
    const wchar_t* expectedFile; // null: nothing found, buffers untouched
    int expectedIndex;
};

// Which root's registration answers, and when one root's registration is unusable.
TEST(FileTypeIcon, FindsTheRegistrationOfTheFirstUsableRoot)
{
    const RootCase cases[] = {
        {"MachineWideWhenTheUserHasNone", L"report.vtx", RegisterMachineDocument, L"machine.dll", 2},
        {"PerUserClassWithItsIconOnlyMachineWideIsFoundThroughTheMachineExtension", L"report.vtx",
         [](RegistrySandbox& sandbox) {
             RegisterExtension(sandbox, HKEY_CURRENT_USER, L".vtx", L"Vantrel.Shared");
             sandbox.CreateKey(HKEY_CURRENT_USER, std::wstring(kClasses) + L"Vantrel.Shared");
             RegisterType(sandbox, HKEY_LOCAL_MACHINE, L".vtx", L"Vantrel.Shared", L"shared.dll,-3");
         },
         L"shared.dll", -3},
        // The user's extension names a class that only the machine knows, and the machine has no
        // registration of the extension itself: the class is looked up only below the root that named it.
        {"ClassIsLookedUpOnlyBelowTheRootThatNamedIt", L"report.vtx",
         [](RegistrySandbox& sandbox) {
             RegisterExtension(sandbox, HKEY_CURRENT_USER, L".vtx", L"Vantrel.MachineOnly");
             RegisterIcon(sandbox, HKEY_LOCAL_MACHINE, L"Vantrel.MachineOnly", L"machine.dll,4");
         },
         nullptr, 0},
        {"BareExtensionServesAsPath", L".vtx",
         [](RegistrySandbox& sandbox) {
             RegisterType(sandbox, HKEY_CURRENT_USER, L".vtx", L"Vantrel.Document", L"vantrel.dll,9");
         },
         L"vantrel.dll", 9},
        {"MissingExecutableGoesToTheExtension", L"C:\\no such folder\\tool.exe",
         [](RegistrySandbox& sandbox) {
             RegisterExtension(sandbox, HKEY_CURRENT_USER, L".exe", L"exefile");
             RegisterIcon(sandbox, HKEY_CURRENT_USER, L"exefile", L"%1");
         },
         L"%1", 0},
        // 250 characters fit the class name buffer, but not with "\DefaultIcon" after them.
        {"ClassNameTooLongForTheIconKeyIsNotFoundAtThatRoot", L"report.vtx",
         [](RegistrySandbox& sandbox) {
             const std::wstring longClass(250, L'c');
             RegisterType(sandbox, HKEY_CURRENT_USER, L".vtx", longClass, L"toolong.dll,1");
             RegisterMachineDocument(sandbox);
         },
         L"machine.dll", 2},
        {"ClassNameWithoutTerminatorFillingItsBufferIsNotFoundAtThatRoot", L"report.vtx",
         [](RegistrySandbox& sandbox) {
             const std::wstring unterminated(260, L'c');
             sandbox.SetBytes(HKEY_CURRENT_USER, std::wstring(kClasses) + L".vtx", nullptr, REG_BINARY,
                              unterminated.data(), static_cast<DWORD>(unterminated.size() * sizeof(wchar_t)));
             RegisterMachineDocument(sandbox);
         },
         L"machine.dll", 2},
        {"LocationTooLargeForItsBufferIsNotFoundAtThatRoot", L"report.vtx",
         [](RegistrySandbox& sandbox) {
             RegisterType(sandbox, HKEY_CURRENT_USER, L".vtx", L"Vantrel.Document", std::wstring(300, L'i') + L",1");
             RegisterMachineDocument(sandbox);
         },
         L"machine.dll", 2},
    };
    for (const RootCase& c : cases) {
        SCOPED_TRACE(c.name);
        RegistrySandbox sandbox;
        c.registerTypes(sandbox);

        ApiRecorder recorder;
        registrytest::GarbageOnMoreData garbage;
        const IconResult result = LookUp(c.path);

        if (c.expectedFile == nullptr) {
            EXPECT_FALSE(result.found);
            EXPECT_TRUE(result.Untouched());
        } else {
            EXPECT_TRUE(result.found);
            EXPECT_STREQ(c.expectedFile, result.file);
            EXPECT_EQ(c.expectedIndex, result.index);
        }
        EXPECT_TRUE(AllReleased(recorder));
    }
}

TEST(FileTypeIcon, PathsWithoutAUsableExtensionFindNothingAndTouchNothing)
{
    RegistrySandbox sandbox;
    RegisterType(sandbox, HKEY_CURRENT_USER, L".vtx", L"Vantrel.Document", L"vantrel.dll,1");

    for (const wchar_t* path : {L"C:\\folder\\README", L"C:\\folder.vtx\\README", L"C:\\folder\\report.unknown"}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(path)));
        ApiRecorder recorder;
        const IconResult result = LookUp(path);
        EXPECT_FALSE(result.found);
        EXPECT_TRUE(result.Untouched());
        EXPECT_TRUE(AllReleased(recorder));
    }
}

TEST(FileTypeIcon, ExistingExecutableIsItsOwnIconWithoutReadingTheRegistry)
{
    const std::wstring ownPath = testsupport::OwnExecutablePath();
    ASSERT_FALSE(ownPath.empty());

    ApiRecorder recorder;
    const IconResult result = LookUp(ownPath);

    ASSERT_TRUE(result.found);
    EXPECT_STREQ(ownPath.c_str(), result.file);
    EXPECT_EQ(0, result.index);
    EXPECT_TRUE(recorder.OpenedKeys().empty());
}

TEST(FileTypeIcon, LocationWithoutTerminatorFillingItsBufferStaysInsideIt)
{
    RegistrySandbox sandbox;
    RegisterExtension(sandbox, HKEY_CURRENT_USER, L".vtx", L"Vantrel.Document");
    const std::wstring unterminated(270, L'i');
    sandbox.SetBytes(HKEY_CURRENT_USER, std::wstring(kClasses) + L"Vantrel.Document\\DefaultIcon", nullptr, REG_BINARY,
                     unterminated.data(), static_cast<DWORD>(unterminated.size() * sizeof(wchar_t)));

    const IconResult result = LookUp(L"report.vtx");

    ASSERT_TRUE(result.found);
    EXPECT_EQ(std::wstring(269, L'i'), std::wstring(result.file));
    EXPECT_EQ(0, result.index);
    EXPECT_EQ(kUntouched, result.file[270]);
}

DWORD_PTR WINAPI EverythingIsAnExecutable(LPCWSTR, DWORD, SHFILEINFOW*, UINT, UINT) { return 0x4550; }

TEST(FileTypeIcon, AnExecutablePathLongerThanTheLocationRoomFillsExactlyThePromisedRoom)
{
    vantrel::platform::ScopedApiOverride api;
    api->SHGetFileInfoW = &EverythingIsAnExecutable;
    const std::wstring path =
        L"C:\\" + std::wstring(392, L'x') + L".exe"; // 399 characters: with its terminator, all 400
    ASSERT_EQ(399u, path.size());

    IconResult result;
    ASSERT_TRUE(GetFileTypeIcon(path.c_str(), result.file, &result.index));
    EXPECT_EQ(path, std::wstring(result.file));
    EXPECT_EQ(0, result.index);
}

} // namespace

} // namespace registrytest
