// Shared pieces of the randomised model tests of the registry look-ups: values stored with random
// types, sizes and framings, the test's own picture of what the scratch registry holds, and the
// model of reading a stored value into a fixed field of the look-ups.
#pragma once

#include "platform/WindowsHeaders.h"
#include "tests/Library4/registry/RegistryTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace registrytest {

// A value as it is written, and after writing as the registry holds it: a platform may complete
// a string type's missing terminator, so what was read back is what the model works from.
struct StoredValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
    bool zeroFollows = false; // while writing: whether a zero unit follows the bytes in memory
};

// What a look-up keeps of a value read into a field of fieldChars units with a size of twice that
// in bytes. A value larger than the field, or none, fails and leaves the field empty. Otherwise the
// field keeps the whole units read, less a stored terminator at their end, and at most
// fieldChars - 1 of them, followed by a terminator.
struct FieldRead {
    bool succeeded = false;
    DWORD bytesRead = 0;
    DWORD kept = 0;    // units before the terminator placed after them
    std::wstring text; // what a reader of the field sees: up to its first terminator
};
FieldRead ReadIntoField(const StoredValue* stored, DWORD fieldChars);

// The standard library's wcstol with base 10 on a 32-bit long, and wcstoul with base 0 on a 32-bit
// unsigned long, for the plain ASCII texts the generators make.
std::int32_t ParseSigned(const std::wstring& text);
std::uint32_t ParseUnsignedAnyBase(const std::wstring& text);

// The platform's expansion with room to spare; the look-ups add only what happens when it does not
// fit their buffers.
std::wstring ExpandFully(const std::wstring& text);

std::wstring Lower(std::wstring text);

// The six value types and the ways of framing a text that the generator draws from.
extern const DWORD kValueTypes[6];
const char* TypeName(DWORD type);

class Generator {
public:
    explicit Generator(std::uint32_t seed) : random_(seed) {}

    bool Chance(double probability);
    int Between(int low, int high); // both included
    std::wstring Pick(std::initializer_list<const wchar_t*> texts);
    DWORD AnyType();

    // Stores text in one of the ways a value read into a field of fieldChars units may hold it:
    // with or without a terminator, with a tail behind an inner terminator, filling the field with
    // or without a terminator, larger than the field, cut at any byte, one byte longer or shorter,
    // empty, or as four raw bytes of a number. Padding is done with 'p'.
    StoredValue Frame(const std::wstring& text, DWORD fieldChars, DWORD type);
    StoredValue Frame(const std::wstring& text, DWORD fieldChars) { return Frame(text, fieldChars, AnyType()); }
    // The ordinary way, with its terminator: most cases then reach the later steps of a look-up.
    static StoredValue Terminated(const std::wstring& text, DWORD type = REG_SZ);

    // How often each framing and each type was drawn, for the test's report.
    const std::map<std::string, int>& Framings() const { return framings_; }
    const std::map<std::string, int>& Types() const { return types_; }

private:
    std::mt19937 random_;
    std::map<std::string, int> framings_;
    std::map<std::string, int> types_;
};

// The test's picture of the scratch registry: which keys it created and which values it stored,
// case-insensitively as the registry names them. It writes through the predefined roots, which
// the caller's RegistrySandbox must have redirected (RedirectionHolds checks that first), and
// deletes every key it created when cleared. It creates a path one key at a time and keeps each
// key open until then: writing and deleting through open keys spares most registry calls, which
// under Wine are what thousands of rounds spend their time on.
class ModelRegistry {
public:
    ModelRegistry() = default;
    ~ModelRegistry() { Clear(); }
    ModelRegistry(const ModelRegistry&) = delete;
    ModelRegistry& operator=(const ModelRegistry&) = delete;

    // True when writes through root land in the sandbox rather than in the real root.
    static ::testing::AssertionResult RedirectionHolds(registrytest::RegistrySandbox& sandbox, HKEY root);

    // False when the registry refused the key (a name too long, say); nothing is recorded then.
    bool CreateKey(HKEY root, const std::wstring& path);
    // Writes value (null name: the default value) and records it as read back.
    void SetValue(HKEY root, const std::wstring& path, const wchar_t* name, const StoredValue& value);

    bool KeyExists(HKEY root, const std::wstring& path) const;
    // Null when the key or the value does not exist.
    const StoredValue* Value(HKEY root, const std::wstring& path, const wchar_t* name) const;
    // The key's subkey names in the registry's order: sorted without regard to case.
    std::vector<std::wstring> SubKeys(HKEY root, const std::wstring& path) const;

    void Clear();

private:
    struct Key {
        std::wstring name; // as created
        std::map<std::wstring, StoredValue> values;
        HKEY handle = nullptr;
    };
    static std::wstring Slot(HKEY root, const std::wstring& path);
    // The key at path, created with whatever it lacks; null when the registry refused a part.
    HKEY Open(HKEY root, const std::wstring& path);
    void Delete(const std::wstring& slot);

    std::map<std::wstring, Key> keys_;
    std::vector<std::wstring> created_; // slots, parents before their subkeys
};

// How often each outcome of a look-up came up.
using Outcomes = std::map<std::string, int>;

// One case of a model test: it fills the empty registry, asks the look-up, checks the answer and
// the recorder against the model, and counts the outcome.
using ModelCase = std::function<void(Generator&, ModelRegistry&, ApiRecorder&, Outcomes&)>;

// Runs `cases` cases of a model test in a sandbox whose `roots` the model writes through, under a
// platform that leaves garbage in a field too small, each from an empty registry and recorder,
// until the first failure. Then prints what was tried, and expects every outcome of `reached`.
void RunModelCases(const char* lookUp, std::uint32_t seed, int cases, std::initializer_list<HKEY> roots,
                   std::initializer_list<const char*> reached, const ModelCase& oneCase);

} // namespace registrytest
