// Each registry look-up and each failure of the Control Panel launcher, run a thousand times, gives
// back every handle, GDI object and USER object it took: a key or a library left behind once per
// call would add up to a thousand.
#include "Library4/Shell/ShellRegistry.h"

#include "tests/Library4/registry/RegistryTestSupport.h"
#include "tests/support/KnownPaths.h"
#include "tests/support/ResourceCount.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace registrytest {

using Library4::Shell::GetFileTypeIcon;
using Library4::Shell::GetLinkUnderlineMode;
using Library4::Shell::GetShellVerbCommand;
using Library4::Shell::LinkUnderlineSettings;
using Library4::Shell::OpenControlPanelApplet;
using Library4::Shell::ReadRegistryDisplayString;
using Library4::Shell::ShellVerbCommand;
using Library4::Shell::UnderlineAlways;
using Library4::Shell::UnderlineHover;

namespace {

constexpr int kIterations = 1000;

constexpr wchar_t kDisplayKey[] = L"Software\\Vantrel\\Display";
constexpr wchar_t kPlainName[] = L"Plain name";
constexpr wchar_t kFiveFromTheTable[] = L"Five from the table"; // id 5 of the string table DLL

// A named operation that answers whether it took the path it is meant to exercise.
struct LeakCase {
    const char* name;
    std::function<bool()> run;
};

// The first run must take the intended path, or the loop would count the wrong thing; every later
// run must take it too, and all of them together must leave the counts where they were.
void ExpectEveryRunReleasesWhatItTook(const LeakCase& c)
{
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(c.run()) << "the operation does not take the path it is meant to";
    int wrongAnswers = 0;
    testsupport::ExpectNoResourceLeak(
        [&] {
            if (!c.run()) ++wrongAnswers;
        },
        kIterations);
    EXPECT_EQ(0, wrongAnswers);
}

// --- The registry look-ups ----------------------------------------------------------------------

bool UnderlineIs(bool singleClick, Library4::Shell::LinkUnderline underline)
{
    LinkUnderlineSettings settings;
    std::memset(&settings, 0xCC, sizeof(settings));
    GetLinkUnderlineMode(&settings);
    return settings.SingleClick == singleClick && settings.Underline == underline;
}

// The icon location found for path, or "<none>" when the look-up answered false; an answer of
// false must leave the caller's buffers as they were.
std::wstring IconOf(const std::wstring& path)
{
    wchar_t file[400];
    std::fill(std::begin(file), std::end(file), L'\xCCCC');
    int index = 0x5A5A5A5A;
    if (!GetFileTypeIcon(path.c_str(), file, &index)) {
        return file[0] == L'\xCCCC' && index == 0x5A5A5A5A ? L"<none>" : L"<written on failure>";
    }
    return std::wstring(file) + L"," + std::to_wstring(index);
}

// The record's four texts joined, or "<none>" when the look-up answered false and left the record
// untouched.
std::wstring VerbCommandOf(const wchar_t* path, const wchar_t* verb, bool expand)
{
    ShellVerbCommand record;
    std::memset(&record, 0xCC, sizeof(record));
    const bool found = GetShellVerbCommand(path, verb, expand, &record);
    if (!found) return record.Command[0] == L'\xCCCC' ? L"<none>" : L"<false, record written>";
    return std::wstring(record.Command) + L"|" + record.DdeExec + L"|" + record.Application + L"|" + record.Topic;
}

// The display text found, or "<none>" when the look-up answered false.
std::wstring DisplayStringOf(const wchar_t* subKey, const wchar_t* valueName, const wchar_t* referenceName)
{
    wchar_t buffer[64];
    std::fill(std::begin(buffer), std::end(buffer), L'\xCCCC');
    DWORD length = ARRAYSIZE(buffer);
    if (!ReadRegistryDisplayString(HKEY_CURRENT_USER, subKey, valueName, referenceName, buffer, &length)) {
        return L"<none>";
    }
    return length == std::wcslen(buffer) ? std::wstring(buffer) : L"<length does not match>";
}

constexpr wchar_t kToolFolderVariable[] = L"VANTREL_LEAK_TOOL";
constexpr wchar_t kToolFolder[] = L"C:\\Vantrel Tools";

// Every setting a look-up reads, present; a few keys are missing on purpose, so that the look-ups
// give up half-way, with keys already open.
void RegisterEverything(RegistrySandbox& sandbox)
{
    sandbox.SetNumber(HKEY_CURRENT_USER, kExplorerKey, L"IconUnderline", 3);
    sandbox.SetText(HKEY_CURRENT_USER, kBrowserKey, L"Anchor Underline", L"yes");

    // Per user: .vtx has an icon; the class of .vtn has none anywhere. Machine-wide: .vtm.
    sandbox.SetText(HKEY_CURRENT_USER, L"Software\\Classes\\.vtx", nullptr, L"Vantrel.Document");
    sandbox.SetText(HKEY_CURRENT_USER, L"Software\\Classes\\Vantrel.Document\\DefaultIcon", nullptr,
                    L"C:\\Icons\\vantrel.dll,5");
    sandbox.SetText(HKEY_CURRENT_USER, L"Software\\Classes\\.vtn", nullptr, L"Vantrel.NoIcon");
    sandbox.CreateKey(HKEY_CURRENT_USER, L"Software\\Classes\\Vantrel.NoIcon");
    sandbox.SetText(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.vtm", nullptr, L"Vantrel.Machine");
    sandbox.SetText(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Vantrel.Machine\\DefaultIcon", nullptr, L"machine.dll,-3");

    // A verb with a command and a complete DDE conversation, both to be expanded.
    sandbox.SetText(HKEY_CLASSES_ROOT, L".vtx", nullptr, L"Vantrel.Document");
    sandbox.SetText(HKEY_CLASSES_ROOT, L"Vantrel.Document\\shell", nullptr, L"open");
    const std::wstring open = L"Vantrel.Document\\shell\\open";
    sandbox.SetText(HKEY_CLASSES_ROOT, open + L"\\command", nullptr, L"%VANTREL_LEAK_TOOL%\\tool.exe \"%1\"",
                    REG_EXPAND_SZ);
    sandbox.SetText(HKEY_CLASSES_ROOT, open + L"\\ddeexec", nullptr, L"[open(\"%VANTREL_LEAK_TOOL%\")]", REG_EXPAND_SZ);
    sandbox.SetText(HKEY_CLASSES_ROOT, open + L"\\ddeexec\\Application", nullptr, L"Vantrel");
    sandbox.SetText(HKEY_CLASSES_ROOT, open + L"\\ddeexec\\Topic", nullptr, L"System");

    sandbox.SetText(HKEY_CURRENT_USER, kDisplayKey, L"Name", kPlainName);
    sandbox.SetText(HKEY_CURRENT_USER, kDisplayKey, L"NameReference", L"@" + StringsDll() + L",-5");
    sandbox.SetText(HKEY_CURRENT_USER, kDisplayKey, L"MissingIdReference", L"@" + StringsDll() + L",-77");
    sandbox.SetText(HKEY_CURRENT_USER, kDisplayKey, L"UnloadableReference", L"@C:\\no such folder\\none.dll,-5");
    sandbox.CreateKey(HKEY_CURRENT_USER, L"Software\\Vantrel\\Empty");
}

std::vector<LeakCase> LookUpsOnPresentKeys()
{
    const std::wstring tool = kToolFolder;
    const std::wstring expanded = tool + L"\\tool.exe \"%1\"|[open(\"" + tool + L"\")]|Vantrel|System";
    const std::wstring asStored =
        L"%VANTREL_LEAK_TOOL%\\tool.exe \"%1\"|[open(\"%VANTREL_LEAK_TOOL%\")]|Vantrel|System";
    const std::wstring executable = testsupport::OwnExecutablePath();
    return {
        // Wine's shell reports single-click mode, the only mode in which the registry is read.
        {"GetLinkUnderlineMode follows the browser", [] { return UnderlineIs(true, UnderlineAlways); }},
        {"GetFileTypeIcon per user", [] { return IconOf(L"C:\\Data\\report.vtx") == L"C:\\Icons\\vantrel.dll,5"; }},
        {"GetFileTypeIcon machine-wide", [] { return IconOf(L"report.vtm") == L"machine.dll,-3"; }},
        {"GetFileTypeIcon class without icon", [] { return IconOf(L"report.vtn") == L"<none>"; }},
        {"GetFileTypeIcon executable", [executable] { return IconOf(executable) == executable + L",0"; }},
        {"GetShellVerbCommand default verb, expanded",
         [expanded] { return VerbCommandOf(L"report.vtx", nullptr, true) == expanded; }},
        {"GetShellVerbCommand named verb, as stored",
         [asStored] { return VerbCommandOf(L"report.vtx", L"open", false) == asStored; }},
        {"GetShellVerbCommand verb without a key",
         [] { return VerbCommandOf(L"report.vtx", L"print", true) == L"<none>"; }},
        {"ReadRegistryDisplayString plain value",
         [] { return DisplayStringOf(kDisplayKey, L"Name", nullptr) == kPlainName; }},
        {"ReadRegistryDisplayString reference loads the library",
         [] { return DisplayStringOf(kDisplayKey, L"Name", L"NameReference") == kFiveFromTheTable; }},
        {"ReadRegistryDisplayString reference to a missing id",
         [] { return DisplayStringOf(kDisplayKey, L"Name", L"MissingIdReference") == kPlainName; }},
        {"ReadRegistryDisplayString reference to an unloadable module",
         [] { return DisplayStringOf(kDisplayKey, L"Name", L"UnloadableReference") == kPlainName; }},
        {"ReadRegistryDisplayString key without values",
         [] { return DisplayStringOf(L"Software\\Vantrel\\Empty", L"Name", L"NameReference") == L"<none>"; }},
    };
}

std::vector<LeakCase> LookUpsOnAbsentKeys()
{
    return {
        {"GetLinkUnderlineMode without settings", [] { return UnderlineIs(true, UnderlineHover); }},
        {"GetFileTypeIcon unregistered", [] { return IconOf(L"C:\\Data\\report.vtx") == L"<none>"; }},
        {"GetShellVerbCommand unregistered, expanded",
         [] { return VerbCommandOf(L"report.vtx", nullptr, true) == L"<none>"; }},
        {"GetShellVerbCommand unregistered, as stored",
         [] { return VerbCommandOf(L"report.vtx", L"open", false) == L"<none>"; }},
        {"ReadRegistryDisplayString absent key, plain value",
         [] { return DisplayStringOf(kDisplayKey, L"Name", nullptr) == L"<none>"; }},
        {"ReadRegistryDisplayString absent key, with reference",
         [] { return DisplayStringOf(kDisplayKey, L"Name", L"NameReference") == L"<none>"; }},
    };
}

TEST(RegistryLeak, EveryLookUpReleasesWhatItTookOnPresentAndAbsentKeys)
{
    ScopedEnvironmentVariable toolFolder(kToolFolderVariable, kToolFolder);
    {
        RegistrySandbox sandbox;
        RegisterEverything(sandbox);
        for (const LeakCase& c : LookUpsOnPresentKeys()) ExpectEveryRunReleasesWhatItTook(c);
    }
    {
        RegistrySandbox emptySandbox;
        for (const LeakCase& c : LookUpsOnAbsentKeys()) ExpectEveryRunReleasesWhatItTook(c);
    }
}

// --- The launcher's failures --------------------------------------------------------------------

int startAttempts = 0;
std::wstring missingSystemFolder;

BOOL WINAPI RefusingCreateProcessW(LPCWSTR, LPWSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID,
                                   LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION)
{
    ++startAttempts;
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
}

// A system folder without a rundll32.exe in it, so that the real CreateProcessW fails.
UINT WINAPI MissingGetSystemDirectoryW(LPWSTR buffer, UINT size)
{
    if (size <= missingSystemFolder.size()) return static_cast<UINT>(missingSystemFolder.size() + 1);
    ::lstrcpynW(buffer, missingSystemFolder.c_str(), static_cast<int>(size));
    return static_cast<UINT>(missingSystemFolder.size());
}

UINT WINAPI FailingGetSystemDirectoryW(LPWSTR, UINT)
{
    ::SetLastError(ERROR_ACCESS_DENIED);
    return 0;
}

TEST(ControlPanelLeak, EveryFailedStartReleasesWhatItTook)
{
    wchar_t temp[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetTempPathW(MAX_PATH, temp));
    missingSystemFolder = std::wstring(temp) + L"vantrel-no-system-" + std::to_wstring(::GetCurrentProcessId());
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(missingSystemFolder.c_str()));
    const std::wstring tooLong(300, L'a');

    const LeakCase cases[] = {
        {"line that does not fit",
         [&tooLong] {
             vantrel::platform::ScopedApiOverride api;
             api->CreateProcessW = &RefusingCreateProcessW;
             startAttempts = 0;
             return OpenControlPanelApplet(tooLong.c_str(), 0, 2) == 0 && startAttempts == 0;
         }},
        {"CreateProcessW refuses",
         [] {
             vantrel::platform::ScopedApiOverride api;
             api->CreateProcessW = &RefusingCreateProcessW;
             startAttempts = 0;
             return OpenControlPanelApplet(L"sample.cpl", 0, 2) == 0 && startAttempts == 1;
         }},
        {"real CreateProcessW finds no rundll32.exe",
         [] {
             vantrel::platform::ScopedApiOverride api;
             api->GetSystemDirectoryW = &MissingGetSystemDirectoryW;
             return OpenControlPanelApplet(L"sample.cpl", 0, 2) == 0;
         }},
        {"no system folder",
         [] {
             vantrel::platform::ScopedApiOverride api;
             api->GetSystemDirectoryW = &FailingGetSystemDirectoryW;
             api->CreateProcessW = &RefusingCreateProcessW;
             startAttempts = 0;
             return OpenControlPanelApplet(L"sample.cpl", 0, 2) == 0 && startAttempts == 0;
         }},
    };
    for (const LeakCase& c : cases) ExpectEveryRunReleasesWhatItTook(c);
}

// --- The check itself ---------------------------------------------------------------------------

std::vector<HKEY> keysLeftOpen;

void OpenKeyAndLeaveItOpen()
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kDisplayKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        keysLeftOpen.push_back(key);
    }
}

// Stands for a look-up that forgets to close its keys: the close is skipped, the key noted.
LONG WINAPI ForgetfulRegCloseKey(HKEY key)
{
    keysLeftOpen.push_back(key);
    return ERROR_SUCCESS;
}

TEST(RegistryLeak, CheckFailsWhenKeysAreLeftOpen)
{
    RegistrySandbox sandbox;
    sandbox.SetText(HKEY_CURRENT_USER, kDisplayKey, L"Name", kPlainName);

    EXPECT_NONFATAL_FAILURE(testsupport::ExpectNoResourceLeak(&OpenKeyAndLeaveItOpen, 10), "10 more runs");
    EXPECT_EQ(11u, keysLeftOpen.size());
    testsupport::ExpectLeakReported(
        [](auto& api) { api->RegCloseKey = &ForgetfulRegCloseKey; },
        [] { testsupport::ExpectNoResourceLeak([] { DisplayStringOf(kDisplayKey, L"Name", nullptr); }, 10); },
        "10 more runs");
    EXPECT_EQ(22u, keysLeftOpen.size());

    for (HKEY key : keysLeftOpen) ::RegCloseKey(key);
    keysLeftOpen.clear();
}

} // namespace

} // namespace registrytest
