#include "tests/Library4/registry/RegistryTestSupport.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace registrytest {
namespace {

// What is still open of what the recorder saw opened; releasing what it never saw is counted apart.
struct Balance {
    std::multiset<HANDLE> keys;
    std::multiset<HANDLE> libraries;
    int unknownKeyCloses = 0;
    int unknownLibraryFrees = 0;
};

void ForgetOne(std::multiset<HANDLE>& open, HANDLE item, int& unknownReleases)
{
    const auto found = open.find(item);
    if (found != open.end()) {
        open.erase(found);
    } else {
        ++unknownReleases;
    }
}

Balance BalanceOf(const testsupport::SeamRecorder& seams)
{
    Balance balance;
    seams.ForEach([&balance](const testsupport::SeamCall& call) {
        const auto is = [&call](const char* entry) { return std::strcmp(call.name, entry) == 0; };
        if (call.handle != nullptr && is("RegOpenKeyExW")) balance.keys.insert(call.handle);
        if (call.handle != nullptr && (is("LoadLibraryW") || is("LoadLibraryExW")))
            balance.libraries.insert(call.handle);
        if (is("RegCloseKey")) ForgetOne(balance.keys, call.handle, balance.unknownKeyCloses);
        if (is("FreeLibrary")) ForgetOne(balance.libraries, call.handle, balance.unknownLibraryFrees);
    });
    return balance;
}

platform::Win32Api garbageOriginal;

LONG WINAPI GarbageRegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                    LPDWORD size)
{
    const DWORD room = size != nullptr ? *size : 0;
    const LONG status = garbageOriginal.RegQueryValueExW(key, name, reserved, type, data, size);
    if (status == ERROR_MORE_DATA && data != nullptr) {
        auto* units = reinterpret_cast<wchar_t*>(data);
        std::fill(units, units + room / sizeof(wchar_t), L'Z');
    }
    return status;
}

void CheckStatus(LONG status, const char* what)
{
    ASSERT_EQ(ERROR_SUCCESS, status) << what;
}

// The caller closes the key; null after a failure, which is already reported.
HKEY CreateKeyBelow(HKEY parent, const std::wstring& path)
{
    HKEY key = nullptr;
    CheckStatus(::RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                "creating a key");
    return key;
}

} // namespace

RegistrySandbox::RegistrySandbox()
{
    scratchName_ = L"Software\\VantrelRegistryTests\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                   std::to_wstring(::GetTickCount());
    const std::pair<const wchar_t*, HKEY*> scratchKeys[] = {
        {L"\\CurrentUser", &currentUser_}, {L"\\LocalMachine", &localMachine_}, {L"\\ClassesRoot", &classesRoot_}};
    for (const auto& [suffix, slot] : scratchKeys) *slot = CreateKeyBelow(HKEY_CURRENT_USER, scratchName_ + suffix);
    CheckStatus(::RegOverridePredefKey(HKEY_CURRENT_USER, currentUser_), "redirecting HKEY_CURRENT_USER");
    overridden_ = true;
    CheckStatus(::RegOverridePredefKey(HKEY_LOCAL_MACHINE, localMachine_), "redirecting HKEY_LOCAL_MACHINE");
    CheckStatus(::RegOverridePredefKey(HKEY_CLASSES_ROOT, classesRoot_), "redirecting HKEY_CLASSES_ROOT");
}

RegistrySandbox::~RegistrySandbox()
{
    if (overridden_) {
        ::RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    }
    for (HKEY key : {currentUser_, localMachine_, classesRoot_}) {
        if (key != nullptr) ::RegCloseKey(key);
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, scratchName_.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, scratchName_.c_str());
    // The parent stays only while another test process still uses it.
    ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VantrelRegistryTests");
}

HKEY RegistrySandbox::ScratchFor(HKEY root) const
{
    if (root == HKEY_CURRENT_USER) return currentUser_;
    if (root == HKEY_LOCAL_MACHINE) return localMachine_;
    if (root == HKEY_CLASSES_ROOT) return classesRoot_;
    ADD_FAILURE() << "the sandbox has no scratch key for this root";
    return nullptr;
}

void RegistrySandbox::CreateKey(HKEY root, const std::wstring& path)
{
    const HKEY key = CreateKeyBelow(ScratchFor(root), path);
    if (key != nullptr) ::RegCloseKey(key);
}

void RegistrySandbox::SetBytes(HKEY root, const std::wstring& path, const wchar_t* valueName, DWORD type,
                               const void* data, DWORD size)
{
    const HKEY key = CreateKeyBelow(ScratchFor(root), path);
    if (key == nullptr) return;
    const LONG status = ::RegSetValueExW(key, valueName, 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(key);
    CheckStatus(status, "writing a value");
}

void RegistrySandbox::SetText(HKEY root, const std::wstring& path, const wchar_t* valueName,
                              const std::wstring& text, DWORD type)
{
    SetBytes(root, path, valueName, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void RegistrySandbox::SetNumber(HKEY root, const std::wstring& path, const wchar_t* valueName, DWORD number)
{
    SetBytes(root, path, valueName, REG_DWORD, &number, sizeof(number));
}

void ApiRecorder::ForEach(const char* entry, const std::function<void(const testsupport::SeamCall&)>& visit) const
{
    seams_.ForEach([&](const testsupport::SeamCall& call) {
        if (std::strcmp(call.name, entry) == 0) visit(call);
    });
}

std::vector<OpenedKey> ApiRecorder::OpenedKeys() const
{
    std::vector<OpenedKey> keys;
    ForEach("RegOpenKeyExW", [&](const auto& call) { keys.push_back({call.text.value_or(L"<null>"), call.detail}); });
    return keys;
}

int ApiRecorder::OpenKeyCount() const { return static_cast<int>(BalanceOf(seams_).keys.size()); }
int ApiRecorder::LoadedLibraryCount() const { return static_cast<int>(BalanceOf(seams_).libraries.size()); }

int ApiRecorder::LibraryLoads() const
{
    int loads = 0;
    for (const char* entry : {"LoadLibraryW", "LoadLibraryExW"}) ForEach(entry, [&](const auto&) { ++loads; });
    return loads;
}

std::vector<std::wstring> ApiRecorder::QueriedValues() const
{
    std::vector<std::wstring> names;
    ForEach("RegQueryValueExW", [&](const auto& call) { names.push_back(call.text.value_or(L"<default>")); });
    return names;
}

std::vector<HANDLE> ApiRecorder::ClosedHandles() const
{
    std::vector<HANDLE> handles;
    ForEach("CloseHandle", [&](const auto& call) { handles.push_back(call.handle); });
    return handles;
}

std::vector<std::wstring> ApiRecorder::ModulesLoadedAsData() const
{
    std::vector<std::wstring> names;
    ForEach("LoadLibraryExW", [&](const auto& call) {
        if ((call.detail & LOAD_LIBRARY_AS_DATAFILE) != 0) names.push_back(call.text.value_or(L""));
    });
    return names;
}

::testing::AssertionResult AllReleased(const ApiRecorder& recorder)
{
    const Balance balance = BalanceOf(recorder.seams_);
    if (!balance.keys.empty() || !balance.libraries.empty() || balance.unknownKeyCloses != 0 ||
        balance.unknownLibraryFrees != 0) {
        return ::testing::AssertionFailure()
               << balance.keys.size() << " key(s) left open, " << balance.libraries.size()
               << " librar(ies) left loaded, " << balance.unknownKeyCloses << " close(s) of keys never opened, "
               << balance.unknownLibraryFrees << " free(s) of libraries never loaded";
    }
    return ::testing::AssertionSuccess();
}

GarbageOnMoreData::GarbageOnMoreData()
{
    garbageOriginal = api_.Original();
    api_->RegQueryValueExW = &GarbageRegQueryValueExW;
}

GarbageOnMoreData::~GarbageOnMoreData() = default;

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const std::wstring& name, const std::wstring& value)
    : name_(name)
{
    const DWORD needed = ::GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (needed != 0) {
        existed_ = true;
        std::vector<wchar_t> saved(needed);
        ::GetEnvironmentVariableW(name.c_str(), saved.data(), needed);
        saved_ = saved.data();
    }
    EXPECT_TRUE(::SetEnvironmentVariableW(name.c_str(), value.c_str()));
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable()
{
    ::SetEnvironmentVariableW(name_.c_str(), existed_ ? saved_.c_str() : nullptr);
}

std::wstring SystemDirectory()
{
    wchar_t path[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
    EXPECT_TRUE(length != 0 && length < MAX_PATH);
    return path;
}

std::wstring StringsDll()
{
    std::wstring path = VANTREL_DISPLAY_STRINGS_DLL;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

} // namespace registrytest
