// The log is written as ISO 8859-1; an editor may have saved it again in another encoding.
#pragma once

#include <string>
#include <string_view>

namespace report {

// The log's bytes as ISO 8859-1, whatever they arrived as: a UTF-8 byte-order mark, or a whole file
// of valid UTF-8 holding some non-ASCII byte, is taken as an editor's re-save and decoded; so is
// UTF-16 with its byte-order mark (Notepad's "Unicode"). A character beyond U+00FF becomes '?', as
// the tool itself writes it. Anything else is taken as ISO 8859-1, unchanged. `encoding` names
// what was found. The result is `bytes` itself when nothing needed decoding, else the decoded text
// in `decoded`.
std::string_view ToLatin1(std::string_view bytes, const char*& encoding, std::string& decoded);

} // namespace report
