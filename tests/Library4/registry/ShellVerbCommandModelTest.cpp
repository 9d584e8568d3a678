// Randomised model test of the shell verb command look-up: random file type registrations, each
// read with and without expansion and compared with a model of the documented behaviour, with the
// record guarded by sentinels on both sides.
#include "Library4/Shell/ShellRegistry.h"

#include "tests/Library4/registry/RegistryModel.h"
#include "tests/Library4/registry/RegistryTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

namespace registrytest {

using Library4::Shell::GetShellVerbCommand;
using Library4::Shell::ShellVerbCommand;

namespace {

constexpr std::uint32_t kVerbSeed = 0x56657262;
constexpr int kVerbCases = 3000;
const std::wstring kVerbs[] = {L"open", L"edit", L"print all", L"zoom"};

// Texts with environment references, some expanding past the 500-unit field and some right at its
// edge: %VANTREL_LONG% is 300 characters.
std::wstring CommandText(Generator& generator, bool dde)
{
    const int shape = generator.Between(0, 19);
    if (shape < 4) return L"%VANTREL_LONG%" + std::wstring(generator.Between(197, 202), L'b');
    if (shape < 5) return std::wstring(generator.Between(495, 505), L'c');
    std::wstring text;
    for (int pieces = generator.Between(1, 4); pieces > 0; --pieces) {
        text += dde ? generator.Pick({L"[open(\"%1\")]", L"%VANTREL_SHORT%", L"[print]", L"%VANTREL_LONG%",
                                      L"%UNDEFINED_VARIABLE%"})
                    : generator.Pick({L"%SystemRoot%\\system32\\notepad.exe", L" \"%1\"", L" %UNDEFINED_VARIABLE%",
                                      L"%VANTREL_LONG%", L"viewer.exe", L" /p", L"%VANTREL_SHORT%"});
    }
    return text;
}

StoredValue Stored(Generator& generator, const std::wstring& text, DWORD fieldChars, bool expandable)
{
    const DWORD type = expandable && generator.Chance(0.4) ? REG_EXPAND_SZ : generator.AnyType();
    return generator.Chance(0.4) ? Generator::Terminated(text, type) : generator.Frame(text, fieldChars, type);
}

void RegisterRandomVerb(Generator& generator, ModelRegistry& registry, const std::wstring& verbKey)
{
    registry.CreateKey(HKEY_CLASSES_ROOT, verbKey);
    if (generator.Chance(0.85)) {
        registry.CreateKey(HKEY_CLASSES_ROOT, verbKey + L"\\command");
        if (generator.Chance(0.9)) {
            registry.SetValue(HKEY_CLASSES_ROOT, verbKey + L"\\command", nullptr,
                              Stored(generator, CommandText(generator, false), 500, true));
        }
    }
    if (!generator.Chance(0.35)) return;
    const std::wstring dde = verbKey + L"\\ddeexec";
    registry.CreateKey(HKEY_CLASSES_ROOT, dde);
    if (generator.Chance(0.8)) {
        registry.SetValue(HKEY_CLASSES_ROOT, dde, nullptr, Stored(generator, CommandText(generator, true), 500, true));
    }
    for (const wchar_t* name : {L"Application", L"Topic"}) {
        if (!generator.Chance(0.7)) continue;
        registry.CreateKey(HKEY_CLASSES_ROOT, dde + L"\\" + name);
        if (generator.Chance(0.85)) {
            std::wstring text = generator.Pick({L"VantrelViewer", L"System", L"%VANTREL_SHORT%", L""});
            if (generator.Chance(0.15)) text.assign(generator.Between(97, 103), L'a');
            registry.SetValue(HKEY_CLASSES_ROOT, dde + L"\\" + name, nullptr, Stored(generator, text, 100, false));
        }
    }
}

// A class name (sometimes at the edge of what fits with "\shell"), its shell key, a default verb
// list and some of the verbs.
void RegisterRandomType(Generator& generator, ModelRegistry& registry)
{
    const int choice = generator.Between(0, 19);
    const std::wstring className = choice < 16   ? L"Vantrel.Doc"
                                   : choice < 19 ? std::wstring(generator.Between(251, 255), L'c')
                                                 : L"";
    if (generator.Chance(0.95)) {
        registry.CreateKey(HKEY_CLASSES_ROOT, L".vtx");
        if (generator.Chance(0.92)) {
            registry.SetValue(HKEY_CLASSES_ROOT, L".vtx", nullptr,
                              generator.Chance(0.7) ? Generator::Terminated(className)
                                                    : generator.Frame(className, 260));
        }
    }
    if (className.empty() || !generator.Chance(0.9)) return;
    const std::wstring shell = className + L"\\shell";
    registry.CreateKey(HKEY_CLASSES_ROOT, shell);
    if (generator.Chance(0.65)) {
        const std::wstring verbs = generator.Pick({L"edit", L"print,edit", L",open", L"open edit", L"", L"EDIT",
                                                   L"print all", L"missing", L"open,", L"zoom,print all"});
        registry.SetValue(HKEY_CLASSES_ROOT, shell, nullptr,
                          generator.Chance(0.5) ? Generator::Terminated(verbs) : generator.Frame(verbs, 260));
    }
    for (const std::wstring& verb : kVerbs) {
        if (generator.Chance(0.65)) RegisterRandomVerb(generator, registry, shell + L"\\" + verb);
    }
}

struct VerbExpectation {
    bool touched = false; // the verb's key was opened: the record is zeroed and filled
    bool found = false;
    std::wstring command, ddeExec, application, topic;
    bool expansionKept = false; // an expandable text whose expansion did not fit
};

// A text read from a key that may be absent, expanded when it is stored as REG_EXPAND_SZ and asked
// to; an expansion that does not fit the 500 units, terminator included, keeps the stored text.
FieldRead ReadText(const ModelRegistry& registry, const std::wstring& key, DWORD fieldChars, bool expand,
                   VerbExpectation& expected)
{
    if (!registry.KeyExists(HKEY_CLASSES_ROOT, key)) return {};
    const StoredValue* stored = registry.Value(HKEY_CLASSES_ROOT, key, nullptr);
    FieldRead read = ReadIntoField(stored, fieldChars);
    if (read.succeeded && expand && stored->type == REG_EXPAND_SZ) {
        const std::wstring expanded = registrytest::ExpandFully(read.text);
        if (expanded.size() + 1 <= 500) {
            read.text = expanded;
        } else {
            expected.expansionKept = true;
        }
    }
    return read;
}

VerbExpectation ExpectedVerb(const ModelRegistry& registry, const std::wstring& path, const wchar_t* verb, bool expand)
{
    VerbExpectation expected;
    const std::size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos || !registry.KeyExists(HKEY_CLASSES_ROOT, path.substr(dot))) return expected;
    const FieldRead className = ReadIntoField(registry.Value(HKEY_CLASSES_ROOT, path.substr(dot), nullptr), 260);
    // The class name and "\shell" share 260 units.
    if (!className.succeeded || className.text.size() > 253) return expected;
    const std::wstring shell = className.text + L"\\shell";
    if (!registry.KeyExists(HKEY_CLASSES_ROOT, shell)) return expected;

    // The caller's verb, cut to 259 characters; else the first of the default list; else "open";
    // else the first subkey.
    std::wstring chosen = verb != nullptr ? std::wstring(verb).substr(0, 259) : L"";
    if (chosen.empty()) {
        chosen = ReadIntoField(registry.Value(HKEY_CLASSES_ROOT, shell, nullptr), 260).text;
        if (!chosen.empty()) {
            chosen = chosen.substr(0, chosen.find(L','));
        } else if (registry.KeyExists(HKEY_CLASSES_ROOT, shell + L"\\open")) {
            chosen = L"open";
        } else {
            const auto verbs = registry.SubKeys(HKEY_CLASSES_ROOT, shell);
            if (!verbs.empty()) chosen = verbs.front();
        }
    }
    const std::wstring verbKey = shell + L"\\" + chosen;
    if (chosen.empty() || !registry.KeyExists(HKEY_CLASSES_ROOT, verbKey)) return expected;

    expected.touched = true;
    expected.command = ReadText(registry, verbKey + L"\\command", 500, expand, expected).text;
    expected.found = !expected.command.empty();
    const FieldRead dde = ReadText(registry, verbKey + L"\\ddeexec", 500, expand, expected);
    if (dde.succeeded) {
        expected.ddeExec = dde.text;
        expected.application = ReadText(registry, verbKey + L"\\ddeexec\\Application", 100, false, expected).text;
        expected.topic = ReadText(registry, verbKey + L"\\ddeexec\\Topic", 100, false, expected).text;
    }
    return expected;
}

struct GuardedRecord {
    unsigned char before[32];
    ShellVerbCommand record;
    unsigned char after[32];
};

template <std::size_t Chars>
::testing::AssertionResult FieldHolds(const wchar_t (&field)[Chars], const std::wstring& expected)
{
    const auto length = static_cast<std::size_t>(std::find(field, field + Chars, L'\0') - field);
    if (length == Chars) return ::testing::AssertionFailure() << "no terminator inside the field";
    if (std::wstring(field, length) != expected) {
        return ::testing::AssertionFailure() << ::testing::PrintToString(std::wstring(field, length))
                                             << " where the model has " << ::testing::PrintToString(expected);
    }
    return ::testing::AssertionSuccess();
}

bool AllBytes(const unsigned char* bytes, std::size_t size, unsigned char value)
{
    return std::all_of(bytes, bytes + size, [value](unsigned char b) { return b == value; });
}

TEST(RegistryModel, ShellVerbCommandAgreesWithTheModelOverRandomValues)
{
    ScopedEnvironmentVariable shortValue(L"VANTREL_SHORT", L"C:\\Vantrel Tools");
    ScopedEnvironmentVariable longValue(L"VANTREL_LONG", std::wstring(300, L'L'));
    ASSERT_EQ(0u, ::GetEnvironmentVariableW(L"UNDEFINED_VARIABLE", nullptr, 0));
    const auto oneCase = [&](Generator& generator, ModelRegistry& registry, ApiRecorder& recorder, Outcomes& outcomes) {
        RegisterRandomType(generator, registry);
        const std::wstring path = generator.Chance(0.95) ? L"C:\\docs\\report.vtx" : L"C:\\docs.vtx\\README";
        const std::wstring longVerb(300, L'v');
        const std::wstring verbText =
            generator.Pick({L"", L"open", L"open", L"edit", L"EDIT", L"print all", L"missing", L"print,edit", L"long"});
        const wchar_t* verb = generator.Chance(0.4) ? nullptr
                              : verbText == L"long" ? longVerb.c_str()
                                                    : verbText.c_str();

        for (const bool expand : {false, true}) {
            SCOPED_TRACE(expand ? "expanding" : "not expanding");
            GuardedRecord guarded;
            std::memset(&guarded, 0xCC, sizeof(guarded));
            const bool found = GetShellVerbCommand(path.c_str(), verb, expand, &guarded.record);

            const VerbExpectation expected = ExpectedVerb(registry, path, verb, expand);
            EXPECT_EQ(expected.found, found);
            if (expected.touched) {
                EXPECT_TRUE(FieldHolds(guarded.record.Command, expected.command));
                EXPECT_TRUE(FieldHolds(guarded.record.DdeExec, expected.ddeExec));
                EXPECT_TRUE(FieldHolds(guarded.record.Application, expected.application));
                EXPECT_TRUE(FieldHolds(guarded.record.Topic, expected.topic));
            } else {
                EXPECT_TRUE(
                    AllBytes(reinterpret_cast<const unsigned char*>(&guarded.record), sizeof(guarded.record), 0xCC))
                    << "the record is left as it was";
            }
            EXPECT_TRUE(AllBytes(guarded.before, sizeof(guarded.before), 0xCC));
            EXPECT_TRUE(AllBytes(guarded.after, sizeof(guarded.after), 0xCC));
            EXPECT_TRUE(AllReleased(recorder));

            ++outcomes[!expected.touched ? "untouched" : expected.found ? "command" : "no command"];
            if (!expected.ddeExec.empty()) ++outcomes["dde text"];
            if (!expected.application.empty() || !expected.topic.empty()) ++outcomes["dde application or topic"];
            if (expected.expansionKept) ++outcomes["expansion too long, stored text kept"];
        }
    };
    RunModelCases("GetShellVerbCommand (each case expanding and not)", kVerbSeed, kVerbCases, {HKEY_CLASSES_ROOT},
                  {"untouched", "command", "no command", "dde text", "dde application or topic",
                   "expansion too long, stored text kept"},
                  oneCase);
}

} // namespace

} // namespace registrytest
