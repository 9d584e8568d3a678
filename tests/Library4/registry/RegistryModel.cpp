#include "tests/Library4/registry/RegistryModel.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace registrytest {
namespace {

bool IsAsciiSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

int DigitValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'z') return c - L'a' + 10;
    if (c >= L'A' && c <= L'Z') return c - L'A' + 10;
    return 99;
}

std::wstring RootTag(HKEY root)
{
    if (root == HKEY_CURRENT_USER) return L"cu";
    if (root == HKEY_LOCAL_MACHINE) return L"lm";
    if (root == HKEY_CLASSES_ROOT) return L"cr";
    ADD_FAILURE() << "the model knows only the three redirected roots";
    return L"??";
}

} // namespace

FieldRead ReadIntoField(const StoredValue* stored, DWORD fieldChars)
{
    FieldRead read;
    if (stored == nullptr || stored->bytes.size() > 2u * fieldChars) return read;
    read.succeeded = true;
    read.bytesRead = static_cast<DWORD>(stored->bytes.size());
    std::wstring units(stored->bytes.size() / 2, L'\0');
    if (!units.empty()) std::memcpy(&units[0], stored->bytes.data(), units.size() * 2);
    if (!units.empty() && units.back() == L'\0') {
        read.kept = static_cast<DWORD>(units.size() - 1);
    } else {
        read.kept = std::min(static_cast<DWORD>(units.size()), fieldChars - 1);
    }
    units.resize(read.kept);
    read.text = units.substr(0, units.find(L'\0'));
    return read;
}

std::int32_t ParseSigned(const std::wstring& text)
{
    std::size_t i = 0;
    while (i < text.size() && IsAsciiSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    long long value = 0;
    for (; i < text.size() && DigitValue(text[i]) < 10; ++i) {
        value = std::min(value * 10 + DigitValue(text[i]), 1LL << 40);
    }
    if (negative) value = -value;
    return static_cast<std::int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

std::uint32_t ParseUnsignedAnyBase(const std::wstring& text)
{
    std::size_t i = 0;
    while (i < text.size() && IsAsciiSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    int base = 10;
    if (i < text.size() && text[i] == L'0') {
        base = 8;
        if (i + 2 < text.size() && (text[i + 1] == L'x' || text[i + 1] == L'X') && DigitValue(text[i + 2]) < 16) {
            base = 16;
            i += 2;
        }
    }
    unsigned long long value = 0;
    bool overflow = false;
    for (; i < text.size() && DigitValue(text[i]) < base; ++i) {
        value = value * base + DigitValue(text[i]);
        if (value > 0xFFFFFFFFull) {
            overflow = true;
            value = 0;
        }
    }
    if (overflow) return 0xFFFFFFFFu;
    const auto result = static_cast<std::uint32_t>(value);
    return negative ? 0u - result : result;
}

std::wstring ExpandFully(const std::wstring& text)
{
    const DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    std::vector<wchar_t> expanded(needed + 1, L'\0');
    ::ExpandEnvironmentStringsW(text.c_str(), expanded.data(), needed + 1);
    return expanded.data();
}

std::wstring Lower(std::wstring text)
{
    for (auto& c : text) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return text;
}

const DWORD kValueTypes[6] = {REG_SZ, REG_EXPAND_SZ, REG_DWORD, REG_BINARY, REG_MULTI_SZ, REG_NONE};

const char* TypeName(DWORD type)
{
    switch (type) {
    case REG_SZ: return "REG_SZ";
    case REG_EXPAND_SZ: return "REG_EXPAND_SZ";
    case REG_DWORD: return "REG_DWORD";
    case REG_BINARY: return "REG_BINARY";
    case REG_MULTI_SZ: return "REG_MULTI_SZ";
    case REG_NONE: return "REG_NONE";
    default: return "other";
    }
}

bool Generator::Chance(double probability)
{
    return std::uniform_real_distribution<double>(0, 1)(random_) < probability;
}

int Generator::Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

std::wstring Generator::Pick(std::initializer_list<const wchar_t*> texts)
{
    return *(texts.begin() + Between(0, static_cast<int>(texts.size()) - 1));
}

DWORD Generator::AnyType() { return kValueTypes[Between(0, 5)]; }

StoredValue Generator::Frame(const std::wstring& text, DWORD fieldChars, DWORD type)
{
    static const char* const kFramings[] = {
        "terminated", "unterminated",  "inner terminator", "fills field", "fills field terminated",
        "past field", "cut at a byte", "odd length",       "empty",       "number bytes"};
    const int framing = Between(0, 9);
    ++framings_[kFramings[framing]];
    ++types_[TypeName(type)];

    std::wstring units = text;
    std::size_t byteCount = 0;
    switch (framing) {
    case 0: units.push_back(L'\0'); break;
    case 1: break;
    case 2: units += std::wstring(1, L'\0') + L"tail,9"; break;
    case 3: units.resize(fieldChars, L'p'); break;
    case 4:
        units.resize(fieldChars - 1, L'p');
        units.push_back(L'\0');
        break;
    case 5:
        units.resize(fieldChars + Between(1, 40), L'p');
        if (Chance(0.5)) units.push_back(L'\0');
        break;
    case 6: units.push_back(L'\0'); break;
    case 7:
        if (Chance(0.5)) units.resize(fieldChars - Between(0, 1), L'p');
        if (Chance(0.5)) units.push_back(L'\0');
        break;
    case 8: units.clear(); break;
    case 9:
        units.assign(2, L'\0');
        units[0] = static_cast<wchar_t>(Between(0, 0xFFFF));
        if (Chance(0.5)) units[1] = static_cast<wchar_t>(Between(0, 0xFFFF));
        break;
    }
    byteCount = units.size() * 2;
    if (framing == 6) byteCount = static_cast<std::size_t>(Between(0, static_cast<int>(byteCount)));
    if (framing == 7) byteCount = Between(0, 1) == 0 || byteCount == 0 ? byteCount + 1 : byteCount - 1;

    StoredValue value;
    value.type = type;
    units.push_back(L'\0'); // room for the odd last byte
    value.bytes.assign(reinterpret_cast<const BYTE*>(units.data()),
                       reinterpret_cast<const BYTE*>(units.data()) + byteCount);
    value.zeroFollows = Chance(0.5);
    return value;
}

StoredValue Generator::Terminated(const std::wstring& text, DWORD type)
{
    StoredValue value;
    value.type = type;
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    value.bytes.assign(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
    return value;
}

::testing::AssertionResult ModelRegistry::RedirectionHolds(registrytest::RegistrySandbox& sandbox, HKEY root)
{
    constexpr wchar_t kProbe[] = L"VantrelModelProbe";
    sandbox.CreateKey(root, kProbe);
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, kProbe, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return ::testing::AssertionFailure() << "writes through the root would not land in the sandbox";
    }
    ::RegCloseKey(key);
    ::RegDeleteKeyW(root, kProbe);
    return ::testing::AssertionSuccess();
}

std::wstring ModelRegistry::Slot(HKEY root, const std::wstring& path) { return RootTag(root) + L"\\" + Lower(path); }

bool ModelRegistry::CreateKey(HKEY root, const std::wstring& path) { return Open(root, path) != nullptr; }

HKEY ModelRegistry::Open(HKEY root, const std::wstring& path)
{
    HKEY parent = root;
    std::vector<std::wstring> madeNow;
    for (std::size_t end = path.find(L'\\');; end = path.find(L'\\', end + 1)) {
        const std::wstring prefix = path.substr(0, end);
        const std::wstring slot = Slot(root, prefix);
        auto found = keys_.find(slot);
        if (found == keys_.end()) {
            Key key;
            key.name = prefix.substr(prefix.rfind(L'\\') + 1);
            if (::RegCreateKeyExW(parent, key.name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key.handle,
                                  nullptr) != ERROR_SUCCESS) {
                // As when the whole path is refused at once: nothing of it stays.
                for (auto made = madeNow.rbegin(); made != madeNow.rend(); ++made) Delete(*made);
                return nullptr;
            }
            found = keys_.emplace(slot, std::move(key)).first;
            created_.push_back(slot);
            madeNow.push_back(slot);
        }
        parent = found->second.handle;
        if (end == std::wstring::npos) return parent;
    }
}

void ModelRegistry::Delete(const std::wstring& slot)
{
    const auto key = keys_.find(slot);
    // An empty name deletes the open key itself.
    EXPECT_EQ(ERROR_SUCCESS, ::RegDeleteKeyW(key->second.handle, L"")) << "the scratch key " << slot;
    ::RegCloseKey(key->second.handle);
    keys_.erase(key);
    created_.erase(std::find(created_.begin(), created_.end(), slot));
}

void ModelRegistry::SetValue(HKEY root, const std::wstring& path, const wchar_t* name, const StoredValue& value)
{
    const HKEY key = Open(root, path);
    ASSERT_NE(nullptr, key);

    // A unit before the bytes and one or two after them: what follows decides whether the
    // platform completes a string type's terminator.
    std::vector<BYTE> memory(2, 'G');
    memory.insert(memory.end(), value.bytes.begin(), value.bytes.end());
    memory.insert(memory.end(), 4, value.zeroFollows ? 0 : 'Q');
    const LONG written =
        ::RegSetValueExW(key, name, 0, value.type, memory.data() + 2, static_cast<DWORD>(value.bytes.size()));
    ASSERT_EQ(ERROR_SUCCESS, written);

    // Read back with room for a completed terminator, asking again only if that was not enough.
    StoredValue stored;
    stored.bytes.resize(value.bytes.size() + 8);
    DWORD size = static_cast<DWORD>(stored.bytes.size());
    LONG read = ::RegQueryValueExW(key, name, nullptr, &stored.type, stored.bytes.data(), &size);
    if (read == ERROR_MORE_DATA) {
        stored.bytes.resize(size);
        read = ::RegQueryValueExW(key, name, nullptr, &stored.type, stored.bytes.data(), &size);
    }
    ASSERT_EQ(ERROR_SUCCESS, read);
    stored.bytes.resize(size);
    keys_[Slot(root, path)].values[name != nullptr ? Lower(name) : L""] = stored;
}

bool ModelRegistry::KeyExists(HKEY root, const std::wstring& path) const { return keys_.count(Slot(root, path)) != 0; }

const StoredValue* ModelRegistry::Value(HKEY root, const std::wstring& path, const wchar_t* name) const
{
    const auto key = keys_.find(Slot(root, path));
    if (key == keys_.end()) return nullptr;
    const auto value = key->second.values.find(name != nullptr ? Lower(name) : L"");
    return value != key->second.values.end() ? &value->second : nullptr;
}

std::vector<std::wstring> ModelRegistry::SubKeys(HKEY root, const std::wstring& path) const
{
    const std::wstring prefix = Slot(root, path) + L"\\";
    std::vector<std::wstring> names;
    for (const auto& [slot, key] : keys_) {
        if (slot.compare(0, prefix.size(), prefix) == 0 && slot.find(L'\\', prefix.size()) == std::wstring::npos) {
            names.push_back(key.name);
        }
    }
    std::sort(names.begin(), names.end(),
              [](const std::wstring& a, const std::wstring& b) { return Lower(a) < Lower(b); });
    return names;
}

void ModelRegistry::Clear()
{
    // Subkeys first: the newest key never has one that is older.
    while (!created_.empty()) Delete(created_.back());
}

namespace {

// What a model test tried, so that its figures can be reported.
void ReportCoverage(const char* lookUp, std::uint32_t seed, int cases, const Generator& generator,
                    const Outcomes& outcomes)
{
    std::printf("[ model    ] %s: seed 0x%08X, %d cases\n", lookUp, static_cast<unsigned>(seed), cases);
    std::printf("[ model    ]   framings:");
    for (const auto& [name, count] : generator.Framings()) std::printf(" %s %d;", name.c_str(), count);
    std::printf("\n[ model    ]   types:");
    for (const auto& [name, count] : generator.Types()) std::printf(" %s %d;", name.c_str(), count);
    std::printf("\n[ model    ]   outcomes:");
    for (const auto& [name, count] : outcomes) std::printf(" %s %d;", name.c_str(), count);
    std::printf("\n");
}

} // namespace

void RunModelCases(const char* lookUp, std::uint32_t seed, int cases, std::initializer_list<HKEY> roots,
                   std::initializer_list<const char*> reached, const ModelCase& oneCase)
{
    RegistrySandbox sandbox;
    for (HKEY root : roots) ASSERT_TRUE(ModelRegistry::RedirectionHolds(sandbox, root));
    ModelRegistry registry;
    Generator generator(seed);
    Outcomes outcomes;

    ApiRecorder recorder;
    GarbageOnMoreData garbage;

    for (int n = 0; n < cases && !::testing::Test::HasFailure(); ++n) {
        SCOPED_TRACE(::testing::Message() << "seed 0x" << std::hex << seed << std::dec << ", case " << n);
        registry.Clear();
        recorder.Forget();
        oneCase(generator, registry, recorder, outcomes);
    }
    ReportCoverage(lookUp, seed, cases, generator, outcomes);
    // Every outcome the look-up can give was reached.
    for (const char* outcome : reached) EXPECT_GT(outcomes[outcome], 0) << outcome;
}

} // namespace registrytest
