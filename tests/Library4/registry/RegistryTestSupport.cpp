#include "tests/Library4/registry/RegistryTestSupport.h"

#include "tests/support/ApiFakes.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <utility>

namespace registrytest {
namespace {

using testsupport::SeamCall;

// Drops one recorded opening of the item; releasing what was never recorded is counted apart.
void ForgetOne(std::multiset<HANDLE>& open, HANDLE item, int& unknownReleases)
{
    const auto found = open.find(item);
    if (found != open.end())
        open.erase(found);
    else
        ++unknownReleases;
}

// What the view makes of each call of the given entries; nothing where it makes nothing.
template <class Pick>
auto Collect(const testsupport::SeamRecorder& seams, std::initializer_list<const char*> entries, Pick pick)
{
    std::vector<typename decltype(pick(std::declval<const SeamCall&>()))::value_type> picked;
    seams.ForEach([&](const SeamCall& call) {
        for (const char* entry : entries) {
            if (std::strcmp(call.name, entry) != 0) continue;
            if (auto item = pick(call)) picked.push_back(std::move(*item));
        }
    });
    return picked;
}

LONG WINAPI GarbageRegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    const DWORD room = size != nullptr ? *size : 0;
    const LONG status = testsupport::SystemApi().RegQueryValueExW(key, name, reserved, type, data, size);
    if (status == ERROR_MORE_DATA && data != nullptr) {
        auto* units = reinterpret_cast<wchar_t*>(data);
        std::fill(units, units + room / sizeof(wchar_t), L'Z');
    }
    return status;
}

void CheckStatus(LONG status, const char* what) { ASSERT_EQ(ERROR_SUCCESS, status) << what; }

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

void RegistrySandbox::SetText(HKEY root, const std::wstring& path, const wchar_t* valueName, const std::wstring& text,
                              DWORD type)
{
    SetBytes(root, path, valueName, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void RegistrySandbox::SetNumber(HKEY root, const std::wstring& path, const wchar_t* valueName, DWORD number)
{
    SetBytes(root, path, valueName, REG_DWORD, &number, sizeof(number));
}

std::vector<OpenedKey> ApiRecorder::OpenedKeys() const
{
    return Collect(*this, {"RegOpenKeyExW"}, [](const SeamCall& call) {
        return std::optional(OpenedKey{call.text.value_or(L"<null>"), call.detail});
    });
}

int ApiRecorder::LibraryLoads() const
{
    const auto any = [](const SeamCall&) { return std::optional(true); };
    return static_cast<int>(Collect(*this, {"LoadLibraryW", "LoadLibraryExW"}, any).size());
}

std::vector<std::wstring> ApiRecorder::QueriedValues() const
{
    return Collect(*this, {"RegQueryValueExW"},
                   [](const SeamCall& call) { return std::optional(call.text.value_or(L"<default>")); });
}

std::vector<HANDLE> ApiRecorder::ClosedHandles() const
{
    return Collect(*this, {"CloseHandle"}, [](const SeamCall& call) { return std::optional(call.handle); });
}

std::vector<std::wstring> ApiRecorder::ModulesLoadedAsData() const
{
    return Collect(*this, {"LoadLibraryExW"}, [](const SeamCall& call) {
        return (call.detail & LOAD_LIBRARY_AS_DATAFILE) != 0 ? call.text : std::nullopt;
    });
}

::testing::AssertionResult AllReleased(const ApiRecorder& recorder)
{
    std::multiset<HANDLE> keys;
    std::multiset<HANDLE> libraries;
    int unknownKeyCloses = 0;
    int unknownLibraryFrees = 0;
    recorder.ForEach([&](const SeamCall& call) {
        const auto is = [&call](const char* entry) { return std::strcmp(call.name, entry) == 0; };
        if (call.handle != nullptr && is("RegOpenKeyExW")) keys.insert(call.handle);
        if (call.handle != nullptr && (is("LoadLibraryW") || is("LoadLibraryExW"))) libraries.insert(call.handle);
        if (is("RegCloseKey")) ForgetOne(keys, call.handle, unknownKeyCloses);
        if (is("FreeLibrary")) ForgetOne(libraries, call.handle, unknownLibraryFrees);
    });
    if (!keys.empty() || !libraries.empty() || unknownKeyCloses != 0 || unknownLibraryFrees != 0) {
        return ::testing::AssertionFailure()
               << keys.size() << " key(s) left open, " << libraries.size() << " librar(ies) left loaded, "
               << unknownKeyCloses << " close(s) of keys never opened, " << unknownLibraryFrees
               << " free(s) of libraries never loaded";
    }
    return ::testing::AssertionSuccess();
}

GarbageOnMoreData::GarbageOnMoreData() { api_->RegQueryValueExW = &GarbageRegQueryValueExW; }

GarbageOnMoreData::~GarbageOnMoreData() = default;

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const std::wstring& name, const std::wstring& value) : name_(name)
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

std::wstring StringsDll()
{
    std::wstring path = VANTREL_DISPLAY_STRINGS_DLL;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

} // namespace registrytest
