// The shell utility module's registry look-ups: how the shell underlines and opens items, where a
// file type keeps its icon, what the shell runs for a verb, display texts that may be stored as a
// resource reference, and the start of a Control Panel applet. Nothing here writes the registry
// or throws. Any thread. A false result gives no reason: the registry answers through return
// values that are not kept, so GetLastError means nothing then (OpenControlPanelApplet says when
// it does).
//
// A text is read from the registry into a field of N characters: a stored value larger than the
// field (its terminator counted, when it was stored with one) leaves the field empty, as if it
// were missing; one that fills the field without a terminator loses its last character. A file
// type is found as the shell finds it: the default value of the extension's key names the class,
// and the class's sub-key path ("<class>\<sub-key>") must fit 259 characters.
#pragma once

#if !defined(UNICODE) || !defined(_UNICODE)
#error "The Library4 Shell headers need UNICODE and _UNICODE defined (the Library4Shell package defines both)"
#endif

#include <windows.h>

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

// Fills both fields of *settings (not null) on every path:
//   the shell's SHGetSettings (found at run time in shell32.dll from the system folder, loaded for
//   this call only) missing, or its SSF_DOUBLECLICKINWEBVIEW set: double-click, UnderlineNever;
//   otherwise single-click, and the underline is UnderlineHover unless the value IconUnderline of
//   HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer is the number 3
//   ("as the browser does"); then the text value "Anchor Underline" of
//   HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\Main decides: "yes" UnderlineAlways,
//   "no" UnderlineNever (in any letter case), anything else or nothing UnderlineHover.
void GetLinkUnderlineMode(LinkUnderlineSettings* settings);

// Finds the icon file and index that stand for the file at path. An executable (SHGetFileInfoW
// with SHGFI_EXETYPE answers non-zero, so the file must exist) is its own icon file at index 0.
// Anything else is looked up through its extension, the text from path's last '.' on (false
// without one): the default value of <class>\DefaultIcon below HKEY_CURRENT_USER\Software\Classes,
// else below HKEY_LOCAL_MACHINE\Software\Classes, the class looked up below the same root. That
// value (read into 270 characters, taken as stored: no environment references expanded) is
// "file,index": the index follows the last comma (a decimal number, negative for a resource id;
// 0 when there is no comma or no number) and the file is what comes before it. iconFile must hold
// the larger of 270 characters and path with its terminator. iconFile and iconIndex are written
// only when the result is true.
bool GetFileTypeIcon(const wchar_t* path, wchar_t* iconFile, int* iconIndex);

struct ShellVerbCommand {
    wchar_t Command[500];
    wchar_t DdeExec[500];
    wchar_t Application[100];
    wchar_t Topic[100];
};
static_assert(sizeof(ShellVerbCommand) == 2400, "the record is four fixed arrays, 1200 units");

// Reads what the shell runs for a verb of the file type of path's extension (the text from the
// last '.' on), below HKEY_CLASSES_ROOT\<class>\shell. The verb, in this order: verb when not null
// or empty (cut to 259 characters); else the shell key's default value, up to its first comma;
// else "open" when the shell key has that sub-key; else its first sub-key. False, with the record
// left as it was, when path has no extension, the class, its shell key or the chosen verb's key is
// missing, or there is no verb. Otherwise the record is zeroed and filled from the verb's key:
// Command from the default value of "command", DdeExec from that of "ddeexec", and when DdeExec
// was read, Application and Topic from the default values of "ddeexec\Application" and
// "ddeexec\Topic". With expand, a REG_EXPAND_SZ command or DDE text has its environment
// references expanded when the expansion fits the field, and is kept as stored when it does not.
// True when Command is not empty.
bool GetShellVerbCommand(const wchar_t* path, const wchar_t* verb, bool expand, ShellVerbCommand* record);

// Reads a display text from the key root\subKey. length holds the capacity of buffer in characters
// on entry (0 fails at once) and the text's length, terminator excluded, on success.
//   1. When referenceValueName is not null, its value (read into 290 characters) is taken as a
//      reference "@module,-id": the first character and the one after the last comma are skipped;
//      the module path, with environment references expanded, must fit 259 characters; the id is
//      read by wcstoul with base 0. The module is loaded as a data file only, for its string
//      table, and released before the return: none of its code is run, wherever it lies. The
//      string of that id, cut to fit buffer with its terminator, is the result unless it is
//      empty or missing.
//   2. Else the text of valueName (null: the default value), read into the capacity; a value of
//      no bytes fails, a stored empty text gives length 0.
// False when the key can't be opened or the capacity is 0 (buffer and length untouched), or when
// neither gives a text: then buffer holds the empty text, and length is 0 when a module was loaded
// but held no such string, else as on entry.
bool ReadRegistryDisplayString(HKEY root, const wchar_t* subKey, const wchar_t* valueName,
                               const wchar_t* referenceValueName, wchar_t* buffer, DWORD* length);

// Starts the system's rundll32.exe, named by its full path in the system folder, with the command
// line "rundll32.exe shell32.dll,Control_RunDLL <appletFile>,@<appletIndex>,<page>" (appletFile as
// given, not quoted), without waiting for it and keeping no handle. Returns the new process's id,
// or 0 when nothing was started: the command line or rundll32.exe's path, with its terminator,
// does not fit MAX_PATH characters, or CreateProcessW failed (GetLastError then holds its error).
DWORD OpenControlPanelApplet(const wchar_t* appletFile, int appletIndex, int page);

} // namespace Library4::Shell
