#pragma once

namespace inspect {

// Replaces path, in place, by its long form when the system can give one that fits in capacity
// characters; otherwise path keeps exactly what it held.
void ReplaceByLongForm(wchar_t* path, int capacity);

} // namespace inspect
