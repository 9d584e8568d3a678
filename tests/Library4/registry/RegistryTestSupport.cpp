#include "tests/Library4/registry/RegistryTestSupport.h"

#include <algorithm>
#include <set>

namespace registrytest {
namespace {

// The recorder's state: one recorder at a time, on the test's own thread.
platform::Win32Api recorderOriginal;
std::vector<OpenedKey> openedKeys;
std::multiset<HKEY> openKeys;
std::multiset<HMODULE> loadedLibraries;
int libraryLoads = 0;
int unknownKeyCloses = 0;
int unknownLibraryFrees = 0;
std::vector<std::wstring> queriedValues;
std::vector<HANDLE> closedHandles;
std::vector<std::wstring> modulesLoadedAsData;

// Drops one recorded opening of the item; releasing what was never recorded is counted apart.
template <typename T>
void ForgetOne(std::multiset<T>& open, T item, int& unknownReleases)
{
    const auto found = open.find(item);
    if (found != open.end()) {
        open.erase(found);
    } else {
        ++unknownReleases;
    }
}

LONG WINAPI RecordingRegOpenKeyExW(HKEY parent, LPCWSTR name, DWORD options, REGSAM access, PHKEY result)
{
    openedKeys.push_back({name != nullptr ? name : L"<null>", access});
    const LONG status = recorderOriginal.RegOpenKeyExW(parent, name, options, access, result);
    if (status == ERROR_SUCCESS) openKeys.insert(*result);
    return status;
}

LONG WINAPI RecordingRegCloseKey(HKEY key)
{
    ForgetOne(openKeys, key, unknownKeyCloses);
    return recorderOriginal.RegCloseKey(key);
}

LONG WINAPI RecordingRegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                      LPDWORD size)
{
    queriedValues.push_back(name != nullptr ? name : L"<default>");
    return recorderOriginal.RegQueryValueExW(key, name, reserved, type, data, size);
}

HMODULE WINAPI RecordingLoadLibraryW(LPCWSTR name)
{
    ++libraryLoads;
    const HMODULE module = recorderOriginal.LoadLibraryW(name);
    if (module != nullptr) loadedLibraries.insert(module);
    return module;
}

HMODULE WINAPI RecordingLoadLibraryExW(LPCWSTR name, HANDLE file, DWORD flags)
{
    ++libraryLoads;
    if ((flags & LOAD_LIBRARY_AS_DATAFILE) != 0) modulesLoadedAsData.push_back(name);
    const HMODULE module = recorderOriginal.LoadLibraryExW(name, file, flags);
    if (module != nullptr) loadedLibraries.insert(module);
    return module;
}

BOOL WINAPI RecordingFreeLibrary(HMODULE module)
{
    ForgetOne(loadedLibraries, module, unknownLibraryFrees);
    return recorderOriginal.FreeLibrary(module);
}

BOOL WINAPI RecordingCloseHandle(HANDLE handle)
{
    closedHandles.push_back(handle);
    return recorderOriginal.CloseHandle(handle);
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

ApiRecorder::ApiRecorder()
{
    recorderOriginal = api_.Original();
    openedKeys.clear();
    openKeys.clear();
    loadedLibraries.clear();
    libraryLoads = 0;
    unknownKeyCloses = 0;
    unknownLibraryFrees = 0;
    queriedValues.clear();
    closedHandles.clear();
    modulesLoadedAsData.clear();
    api_->RegOpenKeyExW = &RecordingRegOpenKeyExW;
    api_->RegCloseKey = &RecordingRegCloseKey;
    api_->RegQueryValueExW = &RecordingRegQueryValueExW;
    api_->LoadLibraryW = &RecordingLoadLibraryW;
    api_->LoadLibraryExW = &RecordingLoadLibraryExW;
    api_->FreeLibrary = &RecordingFreeLibrary;
    api_->CloseHandle = &RecordingCloseHandle;
}

ApiRecorder::~ApiRecorder() = default;

const std::vector<OpenedKey>& ApiRecorder::OpenedKeys() const { return openedKeys; }
int ApiRecorder::OpenKeyCount() const { return static_cast<int>(openKeys.size()); }
int ApiRecorder::LoadedLibraryCount() const { return static_cast<int>(loadedLibraries.size()); }
int ApiRecorder::LibraryLoads() const { return libraryLoads; }
const std::vector<std::wstring>& ApiRecorder::QueriedValues() const { return queriedValues; }
const std::vector<HANDLE>& ApiRecorder::ClosedHandles() const { return closedHandles; }
const std::vector<std::wstring>& ApiRecorder::ModulesLoadedAsData() const { return modulesLoadedAsData; }

::testing::AssertionResult AllReleased(const ApiRecorder& recorder)
{
    if (recorder.OpenKeyCount() != 0 || recorder.LoadedLibraryCount() != 0 || unknownKeyCloses != 0 ||
        unknownLibraryFrees != 0) {
        return ::testing::AssertionFailure()
               << recorder.OpenKeyCount() << " key(s) left open, " << recorder.LoadedLibraryCount()
               << " librar(ies) left loaded, " << unknownKeyCloses << " close(s) of keys never opened, "
               << unknownLibraryFrees << " free(s) of libraries never loaded";
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
