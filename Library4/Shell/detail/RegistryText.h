// Reading texts out of the registry into fixed arrays. The registry hands back bytes as they were
// stored: a text may lack its terminator, and a value too large for the array leaves the array in
// a state the platform does not define. These helpers always leave a terminated text behind.
// Internal to the module.
#pragma once

#include "platform/UniqueResource.h"

namespace Library4::Shell::detail {

// Opens name below parent (options 0) into key; true on success.
bool OpenRegistryKey(HKEY parent, const wchar_t* name, REGSAM access, vantrel::platform::UniqueRegistryKey* key);

struct RegistryTextRead {
    bool succeeded = false;
    DWORD type = REG_NONE; // only when the type was asked for
    DWORD bytesRead = 0;   // as the registry reported them
    DWORD length = 0;      // characters of the text left in the field, terminator excluded
};

// Reads valueName (null: the default value) into field, which holds fieldChars characters; the
// size given to the registry is the field's size in bytes. The text is taken up to its stored
// terminator or the end of the bytes read, and a text that fills the whole field loses its last
// character to the terminator. A failed read leaves the field empty. askType says whether the
// value's type is asked for.
RegistryTextRead ReadRegistryText(HKEY key, const wchar_t* valueName, wchar_t* field, DWORD fieldChars,
                                  bool askType = false);

// Opens "<class>\<subKey>" below classes, where <class> is the file type that extension names
// there (the default value of the extension's key, read into MAX_PATH characters). False when the
// extension has no class, the class name is too long to take the sub-key, or the key is missing.
bool OpenFileTypeKey(HKEY classes, const wchar_t* extension, const wchar_t* subKey, REGSAM access,
                     vantrel::platform::UniqueRegistryKey* key);

// Expands the environment references of text into dest (destChars characters). True only when the
// whole expansion, terminator included, fit; otherwise dest is left empty.
bool ExpandEnvironmentText(const wchar_t* text, wchar_t* dest, DWORD destChars);

} // namespace Library4::Shell::detail
