// The shell utility module's registry look-ups: how the shell underlines and opens items, where a
// file type keeps its icon, what the shell runs for a verb, display texts that may be stored as a
// resource reference, and the start of a Control Panel applet. Nothing here writes the registry.
#pragma once

#include "platform/WindowsHeaders.h"

#include <cstdint>

namespace Library4::Shell {

enum LinkUnderline : std::int32_t {
    UnderlineAlways = 0,
    UnderlineNever = 1,
    UnderlineHover = 2,
};

struct LinkUnderlineSettings {
    LinkUnderline Underline;
    bool SingleClick;
};

// Fills both fields on every path; when the shell's click setting cannot be asked, the answer is
// double-click mode with titles never underlined.
void GetLinkUnderlineMode(LinkUnderlineSettings* settings);

// Finds the icon file and index that stand for the file at path: an executable is its own icon
// file at index 0, anything else is looked up through its extension, per user first, then
// machine-wide. iconFile must hold the larger of 270 characters and path with its terminator.
// iconFile and iconIndex are written only when the result is true.
bool GetFileTypeIcon(const wchar_t* path, wchar_t* iconFile, int* iconIndex);

struct ShellVerbCommand {
    wchar_t Command[500];
    wchar_t DdeExec[500];
    wchar_t Application[100];
    wchar_t Topic[100];
};
static_assert(sizeof(ShellVerbCommand) == 2400, "the record is four fixed arrays, 1200 units");

// Reads what the shell runs for a verb of the file type of path's extension; a null or empty verb
// chooses the type's default verb. expand asks for REG_EXPAND_SZ command and DDE texts to have
// their environment references expanded. True when Command is not empty. The record is left as
// it was unless the verb's key exists; then it is zeroed and filled.
bool GetShellVerbCommand(const wchar_t* path, const wchar_t* verb, bool expand, ShellVerbCommand* record);

// Reads a display text below root\subKey: the string resource that referenceValueName refers to
// ("@module,-id"), else the plain text of valueName (null: the default value). length holds the
// capacity of buffer in characters on entry and the text's length on success. On failure length is
// 0 when a module was loaded but held no such string, else as on entry. The module that the
// reference names comes from the registry, so it is loaded as a data file only, for its string
// table: none of its code is ever run, wherever it lies.
bool ReadRegistryDisplayString(HKEY root, const wchar_t* subKey, const wchar_t* valueName,
                               const wchar_t* referenceValueName, wchar_t* buffer, DWORD* length);

// Starts the system's rundll32.exe on the Control Panel entry for an applet file, index and page,
// without waiting for it. Returns the new process's id, or 0 when nothing was started.
DWORD OpenControlPanelApplet(const wchar_t* appletFile, int appletIndex, int page);

} // namespace Library4::Shell
