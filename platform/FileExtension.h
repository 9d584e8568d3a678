// How the program finds a file's extension, so that every caller reads the same part of a name.
#pragma once

#include <cwchar>

namespace vantrel::platform {

// The extension of name: from its last dot on, the dot included; null when it has no dot. Every
// dot of the text counts, so a caller that hands over a whole path lets a dot in a folder name
// count too (the shell's registry look-ups have always taken a path that way); a caller that
// must not count one hands over the file name alone.
inline const wchar_t* ExtensionOf(const wchar_t* name) { return std::wcsrchr(name, L'.'); }
inline wchar_t* ExtensionOf(wchar_t* name) { return std::wcsrchr(name, L'.'); }

} // namespace vantrel::platform
