#include "Library4/Shell/ShellRegistry.h"

#include "Library4/Shell/detail/RegistryText.h"
#include "platform/FileExtension.h"
#include "platform/SafeString.h"
#include "platform/UniqueResource.h"
#include "platform/Win32Api.h"

#include <cstring>
#include <cwchar>

namespace Library4::Shell {

using vantrel::platform::Api;
using namespace detail;

namespace {

constexpr DWORD kNameChars = MAX_PATH;
constexpr DWORD kExpansionChars = 500;

template <DWORD Chars>
void ExpandField(wchar_t (&field)[Chars])
{
    static_assert(Chars <= kExpansionChars, "the scratch buffer must hold any field");
    wchar_t scratch[kExpansionChars] = {};
    // An expansion that does not fit leaves the text as it was stored.
    if (!ExpandEnvironmentText(field, scratch, kExpansionChars)) return;
    vantrel::platform::SafeStringCchCopy(field, Chars, scratch);
}

// Reads a command or DDE text, expanding it when it is stored as REG_EXPAND_SZ and asked to.
template <DWORD Chars>
bool ReadCommandText(HKEY key, bool expand, wchar_t (&field)[Chars])
{
    const RegistryTextRead read = ReadRegistryText(key, nullptr, field, Chars, true);
    if (read.succeeded && read.type == REG_EXPAND_SZ && expand) ExpandField(field);
    return read.succeeded;
}

template <DWORD Chars>
void ReadSubKeyText(HKEY parent, const wchar_t* name, wchar_t (&field)[Chars])
{
    vantrel::platform::UniqueRegistryKey key;
    if (OpenRegistryKey(parent, name, KEY_QUERY_VALUE, &key)) ReadRegistryText(key.Get(), nullptr, field, Chars);
}

// The verb the caller named, else the shell key's default verb, else "open", else the first verb.
void ChooseVerb(HKEY shell, const wchar_t* verb, wchar_t (&chosen)[kNameChars])
{
    if (verb != nullptr) Api().lstrcpynW(chosen, verb, kNameChars);
    if (chosen[0] != L'\0') return;

    ReadRegistryText(shell, nullptr, chosen, kNameChars);
    if (chosen[0] != L'\0') {
        // The default value may list several verbs; the first one is the default.
        if (wchar_t* comma = std::wcschr(chosen, L','); comma != nullptr) *comma = L'\0';
        return;
    }

    vantrel::platform::UniqueRegistryKey open;
    if (OpenRegistryKey(shell, L"open", KEY_QUERY_VALUE, &open)) {
        vantrel::platform::SafeStringCchCopy(chosen, kNameChars, L"open");
        return;
    }

    DWORD nameChars = kNameChars;
    if (Api().RegEnumKeyExW(shell, 0, chosen, &nameChars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        chosen[0] = L'\0';
    }
}

} // namespace

bool GetShellVerbCommand(const wchar_t* path, const wchar_t* verb, bool expand, ShellVerbCommand* record)
{
    const wchar_t* extension = vantrel::platform::ExtensionOf(path);
    if (extension == nullptr) return false;

    vantrel::platform::UniqueRegistryKey classRoot;
    if (!OpenRegistryKey(HKEY_CLASSES_ROOT, nullptr, KEY_QUERY_VALUE, &classRoot)) return false;

    vantrel::platform::UniqueRegistryKey shell;
    if (!OpenFileTypeKey(classRoot.Get(), extension, L"shell", KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, &shell)) {
        return false;
    }

    wchar_t chosenVerb[kNameChars] = {};
    ChooseVerb(shell.Get(), verb, chosenVerb);
    if (chosenVerb[0] == L'\0') return false;

    vantrel::platform::UniqueRegistryKey verbKey;
    if (!OpenRegistryKey(shell.Get(), chosenVerb, KEY_QUERY_VALUE, &verbKey)) return false;

    std::memset(record, 0, sizeof(*record));

    {
        vantrel::platform::UniqueRegistryKey command;
        if (OpenRegistryKey(verbKey.Get(), L"command", KEY_QUERY_VALUE, &command)) {
            ReadCommandText(command.Get(), expand, record->Command);
        }
    }
    const bool found = record->Command[0] != L'\0';

    vantrel::platform::UniqueRegistryKey ddeExec;
    if (!OpenRegistryKey(verbKey.Get(), L"ddeexec", KEY_QUERY_VALUE, &ddeExec)) return found;
    if (!ReadCommandText(ddeExec.Get(), expand, record->DdeExec)) return found;

    ReadSubKeyText(ddeExec.Get(), L"Application", record->Application);
    ReadSubKeyText(ddeExec.Get(), L"Topic", record->Topic);
    return found;
}

} // namespace Library4::Shell
