#include "Library4/Shell/ShellRegistry.h"

#include "tests/Library4/registry/RegistryTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace registrytest {

using Library4::Shell::GetShellVerbCommand;
using Library4::Shell::ShellVerbCommand;

namespace {

constexpr wchar_t kShell[] = L"Vantrel.Document\\shell\\";

// A record full of sentinel bytes, so that a call that must not touch it shows when it does.
struct Record {
    ShellVerbCommand value;
    Record() { std::memset(&value, 0xCC, sizeof(value)); }
    bool Untouched() const
    {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
        for (std::size_t i = 0; i < sizeof(value); ++i) {
            if (bytes[i] != 0xCC) return false;
        }
        return true;
    }
};

void RegisterDocumentType(RegistrySandbox& sandbox)
{
    sandbox.SetText(HKEY_CLASSES_ROOT, L".vtx", nullptr, L"Vantrel.Document");
    sandbox.CreateKey(HKEY_CLASSES_ROOT, L"Vantrel.Document\\shell");
}

// A verb whose command line names the verb, so that the chosen verb shows in the record.
void RegisterVerb(RegistrySandbox& sandbox, const std::wstring& verb)
{
    sandbox.SetText(HKEY_CLASSES_ROOT, kShell + verb + L"\\command", nullptr, L"run-" + verb);
}

struct VerbCase {
    const char* name;
    const wchar_t* shellDefault; // null: no default value
    std::vector<std::wstring> verbs;
    const wchar_t* callerVerb;
    const wchar_t* expectedCommand; // null: false, record untouched
};

const VerbCase kVerbCases[] = {
    {"CallerVerb", L"edit", {L"edit", L"print"}, L"print", L"run-print"},
    {"CallerVerbIsNotCutAtAComma", L"edit", {L"edit", L"print"}, L"print,edit", nullptr},
    {"MissingCallerVerbDoesNotFallBack", L"edit", {L"edit", L"open"}, L"preview", nullptr},
    {"EmptyCallerVerbChoosesTheDefault", L"edit", {L"edit", L"open"}, L"", L"run-edit"},
    {"DefaultValue", L"edit", {L"open", L"edit"}, nullptr, L"run-edit"},
    {"DefaultValueCutAtTheFirstComma", L"print,edit,open", {L"open", L"edit", L"print"}, nullptr, L"run-print"},
    {"DefaultValueWithLeadingCommaIsEmpty", L",open", {L"open"}, nullptr, nullptr},
    {"DefaultValueIsNotCutAtASpace", L"print edit", {L"print", L"edit"}, nullptr, nullptr},
    {"DefaultValueNamingAKeyWithASpace", L"print all", {L"print all", L"open"}, nullptr, L"run-print all"},
    {"OpenWithoutDefaultValue", nullptr, {L"edit", L"open", L"print"}, nullptr, L"run-open"},
    {"OpenWhenTheDefaultValueIsEmpty", L"", {L"edit", L"open"}, nullptr, L"run-open"},
    {"FirstSubkeyWithoutOpen", nullptr, {L"preview"}, nullptr, L"run-preview"},
    {"NoVerbAtAll", nullptr, {}, nullptr, nullptr},
};

void PrintTo(const VerbCase& c, std::ostream* os) { *os << c.name; }

class VerbChoice : public ::testing::TestWithParam<VerbCase> {};

TEST_P(VerbChoice, ReadsTheCommandOfTheChosenVerb)
{
    const VerbCase& c = GetParam();
    RegistrySandbox sandbox;
    RegisterDocumentType(sandbox);
    if (c.shellDefault != nullptr) {
        sandbox.SetText(HKEY_CLASSES_ROOT, L"Vantrel.Document\\shell", nullptr, c.shellDefault);
    }
    for (const auto& verb : c.verbs) RegisterVerb(sandbox, verb);

    ApiRecorder recorder;
    Record record;
    const bool found = GetShellVerbCommand(L"C:\\docs\\report.vtx", c.callerVerb, false, &record.value);

    if (c.expectedCommand == nullptr) {
        EXPECT_FALSE(found);
        EXPECT_TRUE(record.Untouched());
    } else {
        EXPECT_TRUE(found);
        EXPECT_STREQ(c.expectedCommand, record.value.Command);
        EXPECT_STREQ(L"", record.value.DdeExec);
        EXPECT_STREQ(L"", record.value.Application);
        EXPECT_STREQ(L"", record.value.Topic);
    }
    EXPECT_TRUE(AllReleased(recorder));
}

INSTANTIATE_TEST_SUITE_P(Verbs, VerbChoice, ::testing::ValuesIn(kVerbCases),
                         [](const ::testing::TestParamInfo<VerbCase>& info) { return info.param.name; });

TEST(ShellVerbCommand, OpensTheClassRootItselfAndTheShellKeyForEnumeration)
{
    RegistrySandbox sandbox;
    RegisterDocumentType(sandbox);
    RegisterVerb(sandbox, L"open");

    ApiRecorder recorder;
    ShellVerbCommand record;
    ASSERT_TRUE(GetShellVerbCommand(L"report.vtx", L"open", false, &record));

    const auto& keys = recorder.OpenedKeys();
    ASSERT_GE(keys.size(), 5u);
    EXPECT_EQ(L"<null>", keys[0].name);
    EXPECT_EQ(L".vtx", keys[1].name);
    EXPECT_EQ(L"Vantrel.Document\\shell", keys[2].name);
    EXPECT_EQ(static_cast<REGSAM>(KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS), keys[2].access);
    EXPECT_EQ(L"open", keys[3].name);
    EXPECT_EQ(L"command", keys[4].name);
    EXPECT_TRUE(AllReleased(recorder));
}

TEST(ShellVerbCommand, FailuresBeforeTheVerbKeyLeaveTheRecordUntouched)
{
    RegistrySandbox sandbox;
    RegisterDocumentType(sandbox);
    RegisterVerb(sandbox, L"open");
    sandbox.CreateKey(HKEY_CLASSES_ROOT, L".noclass");
    sandbox.SetText(HKEY_CLASSES_ROOT, L".noshell", nullptr, L"Vantrel.NoShell");
    sandbox.CreateKey(HKEY_CLASSES_ROOT, L"Vantrel.NoShell");

    for (const wchar_t* path :
         {L"C:\\docs\\README", L"C:\\docs.vtx\\README", L"report.unknown", L"report.noclass", L"report.noshell"}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(path)));
        ApiRecorder recorder;
        Record record;
        EXPECT_FALSE(GetShellVerbCommand(path, nullptr, false, &record.value));
        EXPECT_TRUE(record.Untouched());
        EXPECT_TRUE(AllReleased(recorder));
    }
}

struct ExpansionCase {
    const char* name;
    DWORD type;
    bool expand;
    const wchar_t* expectedCommand;
};

const ExpansionCase kExpansionCases[] = {
    {"ExpandSzExpanded", REG_EXPAND_SZ, true, L"C:\\Vantrel Tools\\viewer.exe \"%1\""},
    {"ExpandSzKeptWhenNotAsked", REG_EXPAND_SZ, false, L"%VANTREL_TOOLS%\\viewer.exe \"%1\""},
    {"PlainTextKeptEvenWhenAsked", REG_SZ, true, L"%VANTREL_TOOLS%\\viewer.exe \"%1\""},
};

void PrintTo(const ExpansionCase& c, std::ostream* os) { *os << c.name; }

class CommandExpansion : public ::testing::TestWithParam<ExpansionCase> {};

TEST_P(CommandExpansion, ExpandsOnlyExpandableTextsWhenAsked)
{
    const ExpansionCase& c = GetParam();
    ScopedEnvironmentVariable tools(L"VANTREL_TOOLS", L"C:\\Vantrel Tools");
    RegistrySandbox sandbox;
    RegisterDocumentType(sandbox);
    const std::wstring verb = std::wstring(kShell) + L"open";
    sandbox.SetText(HKEY_CLASSES_ROOT, verb + L"\\command", nullptr, L"%VANTREL_TOOLS%\\viewer.exe \"%1\"", c.type);
    sandbox.SetText(HKEY_CLASSES_ROOT, verb + L"\\ddeexec", nullptr, L"[open(\"%VANTREL_TOOLS%\")]", c.type);
    sandbox.SetText(HKEY_CLASSES_ROOT, verb + L"\\ddeexec\\Application", nullptr, L"%VANTREL_TOOLS%", REG_EXPAND_SZ);
    sandbox.SetText(HKEY_CLASSES_ROOT, verb + L"\\ddeexec\\Topic", nullptr, L"%VANTREL_TOOLS%", REG_EXPAND_SZ);

    ShellVerbCommand record;
    ASSERT_TRUE(GetShellVerbCommand(L"report.vtx", L"open", c.expand, &record));

    EXPECT_STREQ(c.expectedCommand, record.Command);
    const bool expanded = c.type == REG_EXPAND_SZ && c.expand;
    EXPECT_STREQ(expanded ? L"[open(\"C:\\Vantrel Tools\")]" : L"[open(\"%VANTREL_TOOLS%\")]", record.DdeExec);
    EXPECT_STREQ(L"%VANTREL_TOOLS%", record.Application);
    EXPECT_STREQ(L"%VANTREL_TOOLS%", record.Topic);
}

INSTANTIATE_TEST_SUITE_P(Types, CommandExpansion, ::testing::ValuesIn(kExpansionCases),
                         [](const ::testing::TestParamInfo<ExpansionCase>& info) { return info.param.name; });

TEST(ShellVerbCommand, ExpansionThatDoesNotFitKeepsTheStoredText)
{
    ScopedEnvironmentVariable tools(L"VANTREL_TOOLS", std::wstring(600, L't'));
    RegistrySandbox sandbox;
    RegisterDocumentType(sandbox);
    sandbox.SetText(HKEY_CLASSES_ROOT, std::wstring(kShell) + L"open\\command", nullptr, L"%VANTREL_TOOLS%\\viewer.exe",
                    REG_EXPAND_SZ);

    ShellVerbCommand record;
    ASSERT_TRUE(GetShellVerbCommand(L"report.vtx", L"open", true, &record));
    EXPECT_STREQ(L"%VANTREL_TOOLS%\\viewer.exe", record.Command);
}

// The DDE text decides whether Application and Topic are read at all; a verb may also have DDE
// fields without a command. Every row registers Application and Topic below "ddeexec".
struct DdeCase {
    const char* name;
    bool registerCommand;   // "run-open" as the verb's command
    const wchar_t* ddeText; // null: "ddeexec" has no default value
    bool expectedFound;
    const wchar_t* expectedCommand;
    const wchar_t* expectedDdeExec;
    const wchar_t* expectedApplication;
    const wchar_t* expectedTopic;
};

TEST(ShellVerbCommand, DdeFieldsFollowTheDdeText)
{
    const std::wstring longDde(700, L'd');
    const DdeCase cases[] = {
        {"WithoutACommand", false, L"[open(\"%1\")]", false, L"", L"[open(\"%1\")]", L"VantrelViewer", L"System"},
        {"NoDefaultValueSkipsApplicationAndTopic", true, nullptr, true, L"run-open", L"", L"", L""},
        {"EmptyTextStillReadsApplicationAndTopic", true, L"", true, L"run-open", L"", L"VantrelViewer", L"System"},
        {"TextLargerThanItsFieldSkipsApplicationAndTopic", true, longDde.c_str(), true, L"run-open", L"", L"", L""},
    };
    for (const DdeCase& c : cases) {
        SCOPED_TRACE(c.name);
        RegistrySandbox sandbox;
        RegisterDocumentType(sandbox);
        if (c.registerCommand) RegisterVerb(sandbox, L"open");
        const std::wstring dde = std::wstring(kShell) + L"open\\ddeexec";
        if (c.ddeText != nullptr) sandbox.SetText(HKEY_CLASSES_ROOT, dde, nullptr, c.ddeText);
        sandbox.SetText(HKEY_CLASSES_ROOT, dde + L"\\Application", nullptr, L"VantrelViewer");
        sandbox.SetText(HKEY_CLASSES_ROOT, dde + L"\\Topic", nullptr, L"System");

        ApiRecorder recorder;
        registrytest::GarbageOnMoreData garbage;
        ShellVerbCommand record;
        EXPECT_EQ(c.expectedFound, GetShellVerbCommand(L"report.vtx", nullptr, false, &record));

        EXPECT_STREQ(c.expectedCommand, record.Command);
        EXPECT_STREQ(c.expectedDdeExec, record.DdeExec);
        EXPECT_STREQ(c.expectedApplication, record.Application);
        EXPECT_STREQ(c.expectedTopic, record.Topic);
        EXPECT_TRUE(AllReleased(recorder));
    }
}

TEST(ShellVerbCommand, ClassNameTooLongForTheShellKeyFindsNothing)
{
    RegistrySandbox sandbox;
    // 254 characters fit the class name buffer, but not with "\shell" after them.
    const std::wstring longClass(254, L'c');
    sandbox.SetText(HKEY_CLASSES_ROOT, L".vtx", nullptr, longClass);
    sandbox.SetText(HKEY_CLASSES_ROOT, longClass + L"\\shell\\open\\command", nullptr, L"run-open");

    ApiRecorder recorder;
    Record record;
    EXPECT_FALSE(GetShellVerbCommand(L"report.vtx", L"open", false, &record.value));
    EXPECT_TRUE(record.Untouched());
    EXPECT_TRUE(AllReleased(recorder));
}

TEST(ShellVerbCommand, TextsFillingTheirFieldsWithoutTerminatorStayInsideThem)
{
    RegistrySandbox sandbox;
    RegisterDocumentType(sandbox);
    const std::wstring verb = std::wstring(kShell) + L"open";
    // Wine adds a missing terminator to REG_SZ texts; a binary value keeps the bytes as given.
    const std::wstring command(500, L'c');
    const std::wstring application(100, L'a');
    sandbox.SetBytes(HKEY_CLASSES_ROOT, verb + L"\\command", nullptr, REG_BINARY, command.data(),
                     static_cast<DWORD>(command.size() * sizeof(wchar_t)));
    sandbox.SetText(HKEY_CLASSES_ROOT, verb + L"\\ddeexec", nullptr, L"[open]");
    sandbox.SetBytes(HKEY_CLASSES_ROOT, verb + L"\\ddeexec\\Application", nullptr, REG_BINARY, application.data(),
                     static_cast<DWORD>(application.size() * sizeof(wchar_t)));
    sandbox.SetText(HKEY_CLASSES_ROOT, verb + L"\\ddeexec\\Topic", nullptr, L"System");

    ShellVerbCommand record;
    EXPECT_TRUE(GetShellVerbCommand(L"report.vtx", L"open", true, &record));
    EXPECT_EQ(std::wstring(499, L'c'), record.Command);
    EXPECT_STREQ(L"[open]", record.DdeExec);
    EXPECT_EQ(std::wstring(99, L'a'), record.Application);
    EXPECT_STREQ(L"System", record.Topic);
}

TEST(ShellVerbCommand, ValuesLargerThanTheirFieldsLeaveThemEmpty)
{
    RegistrySandbox sandbox;
    RegisterDocumentType(sandbox);
    const std::wstring verb = std::wstring(kShell) + L"open";
    sandbox.SetText(HKEY_CLASSES_ROOT, verb + L"\\command", nullptr, std::wstring(600, L'c'));
    sandbox.SetText(HKEY_CLASSES_ROOT, verb + L"\\ddeexec", nullptr, L"[open]");
    sandbox.SetText(HKEY_CLASSES_ROOT, verb + L"\\ddeexec\\Application", nullptr, std::wstring(150, L'a'));
    sandbox.SetText(HKEY_CLASSES_ROOT, verb + L"\\ddeexec\\Topic", nullptr, L"System");

    ApiRecorder recorder;
    registrytest::GarbageOnMoreData garbage;
    ShellVerbCommand record;
    EXPECT_FALSE(GetShellVerbCommand(L"report.vtx", L"open", false, &record));

    EXPECT_STREQ(L"", record.Command);
    EXPECT_STREQ(L"[open]", record.DdeExec);
    EXPECT_STREQ(L"", record.Application);
    EXPECT_STREQ(L"System", record.Topic);
    EXPECT_TRUE(AllReleased(recorder));
}

} // namespace

} // namespace registrytest
