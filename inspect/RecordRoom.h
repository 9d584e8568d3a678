// The room the log's record gives a window's title and class name, in UTF-16 units with the
// terminator. Nothing here needs Windows: the log's reader, which builds anywhere, takes the
// longest title it can meet from the writer's own figure.
#pragma once

namespace inspect {

constexpr int kRecordTitleChars = 300;
constexpr int kRecordClassChars = 300;

} // namespace inspect
