// Shared pieces of the registry tests: a scratch registry that stands in for the per-user,
// machine-wide and class roots, a recorder of the keys, libraries and handles that the code under
// test opens and closes, and small RAII helpers for the environment.
#pragma once

#include "tests/support/SeamRecorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace registrytest {

// Where the link-underline settings live below HKEY_CURRENT_USER.
constexpr wchar_t kExplorerKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
constexpr wchar_t kBrowserKey[] = L"Software\\Microsoft\\Internet Explorer\\Main";

// Redirects HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT to empty scratch keys for
// the life of the object; the real roots are restored and the scratch keys deleted afterwards.
// The setters write below the scratch key that stands for the given root.
class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    void CreateKey(HKEY root, const std::wstring& path);
    // Stores text with its terminator.
    void SetText(HKEY root, const std::wstring& path, const wchar_t* valueName, const std::wstring& text,
                 DWORD type = REG_SZ);
    // Stores exactly these bytes.
    void SetBytes(HKEY root, const std::wstring& path, const wchar_t* valueName, DWORD type, const void* data,
                  DWORD size);
    void SetNumber(HKEY root, const std::wstring& path, const wchar_t* valueName, DWORD number);

private:
    HKEY ScratchFor(HKEY root) const;

    std::wstring scratchName_;
    HKEY currentUser_ = nullptr;
    HKEY localMachine_ = nullptr;
    HKEY classesRoot_ = nullptr;
    bool overridden_ = false;
};

// A key that the code under test opened, in the order it opened them.
struct OpenedKey {
    std::wstring name; // "<null>" for a null sub-key name
    REGSAM access;
};

// What the code under test opened, queried and closed through the platform table, read from the
// shared seam recorder. Other entries may be replaced on top of it (a nested override).
class ApiRecorder : public testsupport::SeamRecorder {
public:
    std::vector<OpenedKey> OpenedKeys() const;
    int LibraryLoads() const;
    std::vector<std::wstring> QueriedValues() const;
    std::vector<HANDLE> ClosedHandles() const;
    std::vector<std::wstring> ModulesLoadedAsData() const;
};

// Everything opened was closed again.
::testing::AssertionResult AllReleased(const ApiRecorder& recorder);

// Makes a failed RegQueryValueExW with ERROR_MORE_DATA leave its field full of 'Z' characters, as
// a platform may: the field's content is undefined after such a failure.
class GarbageOnMoreData {
public:
    GarbageOnMoreData();
    ~GarbageOnMoreData();
    GarbageOnMoreData(const GarbageOnMoreData&) = delete;
    GarbageOnMoreData& operator=(const GarbageOnMoreData&) = delete;

private:
    vantrel::platform::ScopedApiOverride api_;
};

// Sets an environment variable for one scope and restores its earlier state.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(const std::wstring& name, const std::wstring& value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::wstring name_;
    std::wstring saved_;
    bool existed_ = false;
};

// The string table DLL that the build makes for the display-string tests, as a Windows path.
std::wstring StringsDll();

} // namespace registrytest
